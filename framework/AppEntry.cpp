// The program's entry point: runs the one application object.
#include "Globals.h"
#include "ProcessHardening.h"
#include "WinApp.h"

int AFXAPI AfxWinMain(HINSTANCE hInstance)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
    AfxSetInstanceHandle(hInstance);
    pApp->m_hInstance = hInstance;
    if (!pApp->InitApplication())
        return pApp->ExitInstance();
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}

extern "C" int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/,
                               LPWSTR /*lpCmdLine*/, int /*nCmdShow*/)
{
    AfxHardenProcess();
    return AfxWinMain(hInstance);
}
