// Plays the user in the demo when there is no display to show the updater
// on: waits for the updater window, clicks "Update Orvek Now!", follows both
// bars to "Orvek successfully updated!", saves a picture of each state on
// the way and clicks "Done!".
//   DemoDriver.exe FOLDER      FOLDER\1-connected.bmp ... FOLDER\5-done.bmp
// Exit code 0 when the update finished, 1 when it did not (the program's
// message box, if any, is printed, pictured and dismissed), 2 for bad usage.
#include <windows.h>
#include <cstdio>
#include <functional>
#include <string>
#include "common/Wait.h"
#include "e2e/UpdaterWindow.h"
#include "e2e/WindowShot.h"

namespace
{
constexpr DWORD kWindowTimeoutMs = 60000;
constexpr DWORD kStepTimeoutMs = 300000;
constexpr DWORD kSettledMs = 300;
constexpr DWORD kSettleLimitMs = 3000;

struct SStep
{
    const char* m_pszName;
    const char* m_pszWhat;
    std::function<bool(const CWindowView&)> m_bReached;
};

class CDemo
{
public:
    explicit CDemo(const std::string& strFolder) : m_strFolder(strFolder) {}

    int Run()
    {
        HWND hWnd = nullptr;
        if (!WaitFor([&] { return (hWnd = CUpdaterWindow::FindAnyUpdaterWindow()) != nullptr; }, kWindowTimeoutMs, 50))
        {
            Fail("the updater window did not appear");
            return 1;
        }
        m_window.Attach(hWnd);

        if (!Reach({ "1-connected", "the updater sees the Orvek",
                     [](const CWindowView& view) { return view == CWindowView::Connected(); } }))
            return 1;
        printf("demo driver: clicking \"Update Orvek Now!\"\n");
        m_window.ClickButton();
        if (!Reach({ "2-download-not-started", "waiting for the update service",
                     [](const CWindowView& view) { return view.m_downloadCaption.m_strText == DOWNLOAD_NOT_STARTED; } })
            || !Reach({ "3-downloading", "downloading",
                        [](const CWindowView& view) {
                            return view.m_downloadCaption.m_strText == DOWNLOADING && view.m_downloadBar.m_nPos >= 40;
                        } })
            || !Reach({ "4-updating", "writing to the Orvek",
                        [](const CWindowView& view) {
                            return view.m_updateCaption.m_strText == UPDATING && view.m_updateBar.m_nPos >= 40;
                        } })
            || !Reach({ "5-done", "finished", [](const CWindowView& view) { return view == CWindowView::Done(); } }))
            return 1;
        printf("demo driver: clicking \"Done!\"\n");
        m_window.ClickButton();
        if (m_window.WaitUntilGone(10000))
            return 0;
        Fail("the updater window did not close");
        return 1;
    }

private:
    // Waits for the step's view and pictures it; false if the update went
    // elsewhere first.
    bool Reach(const SStep& step)
    {
        const bool bReached = m_window.WaitUntil(
            [&step, this](const CWindowView& view) {
                return step.m_bReached(view) || view == CWindowView::Done() || m_window.FindMessageBox() != nullptr;
            },
            kStepTimeoutMs);
        if (HWND hBox = m_window.FindMessageBox())
        {
            WaitUntilSettled(hBox);
            Shoot("failure", hBox);
            fprintf(stderr, "demo driver: the updater says \"%s\"\n",
                    Narrow(ReadControlText(hBox, 0xFFFF)).c_str());
            CUpdaterWindow::DismissMessageBox(hBox);
            return false;
        }
        if (!bReached)
        {
            Fail(std::string("the window never showed ") + step.m_pszName + "; last " + m_window.Current().Describe());
            return false;
        }
        if (!step.m_bReached(m_window.Current()))
        {
            printf("demo driver: %s went by too fast for a picture\n", step.m_pszName);
            return true;
        }
        // The view can be read before the window has painted it.
        ::RedrawWindow(m_window.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Shoot(step.m_pszName, m_window.Handle());
        printf("demo driver: %s (%s): %s\n", step.m_pszName, step.m_pszWhat, m_window.Current().Describe().c_str());
        return true;
    }

    // A box is found as soon as it exists, before it is placed and drawn:
    // waits until it has been shown at one place for a while.
    static void WaitUntilSettled(HWND hBox)
    {
        RECT rectLast = {};
        DWORD dwSettledSince = ::GetTickCount();
        const bool bSettled = WaitFor(
            [&] {
                RECT rect = {};
                if (::IsWindowVisible(hBox) && ::GetWindowRect(hBox, &rect) && ::EqualRect(&rect, &rectLast))
                    return ::GetTickCount() - dwSettledSince >= kSettledMs;
                rectLast = rect;
                dwSettledSince = ::GetTickCount();
                return false;
            },
            kSettleLimitMs, 20);
        if (bSettled)
            ::RedrawWindow(hBox, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }

    void Shoot(const char* pszName, HWND hWnd)
    {
        const std::string strPath = m_strFolder + "\\" + pszName + ".bmp";
        if (!SaveWindowShot(hWnd, strPath))
            fprintf(stderr, "demo driver: cannot save %s\n", strPath.c_str());
    }

    static void Fail(const std::string& strWhy)
    {
        fprintf(stderr, "demo driver: %s\n", strWhy.c_str());
    }

    std::string m_strFolder;
    CUpdaterWindow m_window;
};
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        fprintf(stderr, "usage: DemoDriver FOLDER\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    ::CreateDirectoryA(argv[1], nullptr);
    return CDemo(argv[1]).Run();
}
