// CDialog: the modal run and the dialog's default commands.
#include "Dialog.h"
#include "Globals.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_pParentWnd(pParentWnd)
{
}

INT_PTR CDialog::DoModal()
{
    return ::DialogBoxParamW(AfxGetResourceHandle(), m_lpszTemplateName,
                             m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr,
                             &CDialog::AfxDlgProc, reinterpret_cast<LPARAM>(this));
}

// The dialog's own procedure sees WM_INITDIALOG; from then on the window
// runs through AfxWndProc and the message map, and whatever the map leaves
// goes back through here to the platform's default dialog handling.
INT_PTR CALLBACK CDialog::AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDialog = reinterpret_cast<CDialog*>(lParam);
    if (!pDialog->SubclassWindow(hWnd))
        return FALSE;
    RECT rectBefore;
    ::GetWindowRect(hWnd, &rectBefore);
    const MSG msg = { hWnd, message, wParam, lParam, 0, { 0, 0 } };
    const BOOL bResult = static_cast<BOOL>(AfxCallHandler(msg, [pDialog] { return pDialog->OnInitDialog(); }));
    pDialog->CenterUnlessPlaced(rectBefore);
    return bResult;
}

// The template's position is where the dialog manager put it, not a choice;
// a dialog that placed or showed itself while initialising keeps its place.
void CDialog::CenterUnlessPlaced(const RECT& rectBefore)
{
    if (m_hWnd == nullptr || (GetStyle() & (WS_VISIBLE | WS_CHILD)) != 0)
        return;
    RECT rectNow;
    GetWindowRect(&rectNow);
    if (rectNow.left != rectBefore.left || rectNow.top != rectBefore.top)
        return;
    CenterWindow();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->GetSafeHwnd()), TRUE);
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode)
{
    if (CWnd::OnCmdMsg(nID, nCode))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode);
}
