// The taskbar button through a recorder of the taskbar list's calls (Wine's
// list is a stub): progress of the bar in view, the error state while a
// failure box is up, nothing when the window waits, a flash at the end.
#include <string>
#include <vector>
#include "app/Notifications.h"
#include "resource.h"
#include "Fixture.h"

namespace
{
std::vector<std::string> g_arrCalls;

// Records SetProgressState and SetProgressValue; the rest is never called.
class CTaskbarListRecorder : public ITaskbarList3
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override
    {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE HrInit() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG ullCompleted, ULONGLONG ullTotal) override
    {
        g_arrCalls.push_back("value " + std::to_string(ullCompleted) + "/" + std::to_string(ullTotal));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG nFlags) override
    {
        static const char* const kNames[] = { "none", "indeterminate", "normal", "?", "error" };
        g_arrCalls.push_back(std::string("state ") + (nFlags <= TBPF_ERROR ? kNames[nFlags] : "paused"));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return E_NOTIMPL; }
};

CTaskbarListRecorder g_recorder;

ITaskbarList3* CreateRecorder()
{
    return &g_recorder;
}

ITaskbarList3* CreateNothing()
{
    return nullptr;
}

BOOL WINAPI RecordFlash(PFLASHWINFO pInfo)
{
    g_arrCalls.push_back(pInfo->dwFlags == (FLASHW_TRAY | FLASHW_TIMERNOFG) ? "flash" : "flash of other kind");
    return TRUE;
}

class WindowTaskbarTest : public CWindowFixture
{
protected:
    void SetUp() override
    {
        g_arrCalls.clear();
        g_pfnCreateTaskbarList = CreateRecorder;
        g_pfnFlashWindowEx = RecordFlash;
    }
    void TearDown() override
    {
        g_pfnCreateTaskbarList = m_pfnSavedFactory;
        g_pfnFlashWindowEx = m_pfnSavedFlash;
    }

    // The taskbar has made the window's button.
    void ButtonCreated() const
    {
        ::SendMessageW(m_run.Window(), ::RegisterWindowMessageW(L"TaskbarButtonCreated"), 0, 0);
    }

    // Puts another window in front of the updater's; the caller destroys it.
    static HWND OtherWindowInFront()
    {
        const HWND hOther = ::CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                              100, nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(hOther);
        return hOther;
    }

private:
    TaskbarListFactory m_pfnSavedFactory = g_pfnCreateTaskbarList;
    FlashWindowExFunction m_pfnSavedFlash = g_pfnFlashWindowEx;
};
}

TEST_F(WindowTaskbarTest, ButtonFollowsTheBarInViewTurnsRedForTheFailureBoxAndFlashesOutOfSight)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    m_run.Notify(UWM_DOWNLOAD_BEGIN);
    m_run.Notify(UWM_DOWNLOAD_PROGRESS, 30);
    // A button made in the middle of a download shows it at once.
    ButtonCreated();
    m_run.Notify(UWM_DOWNLOAD_PROGRESS, 100);
    m_run.Notify(UWM_UPDATE_BEGIN);
    m_run.Notify(UWM_UPDATE_PROGRESS, 40);
    const HWND hOther = OtherWindowInFront();
    m_run.Notify(UWM_FAILURE_SHOWN);
    // The poll goes on while the box is up; the red stays until it is closed.
    m_run.SetState(STATE_NONE);
    m_run.Notify(UWM_UPDATE_COMPLETE, 0);
    ::DestroyWindow(hOther);
    EXPECT_EQ(m_run.State(), STATE_CONNECTED);
    // The next attempt starts from nothing.
    m_run.SetState(STATE_DOWNLOADING);

    const std::vector<std::string> kExpected = {
        "state normal", "value 30/100", "value 100/100", "value 0/100", "value 40/100",
        "state error", "value 40/100", "flash", "state none", "state normal", "value 0/100",
    };
    EXPECT_EQ(g_arrCalls, kExpected);
}

TEST_F(WindowTaskbarTest, DoneBehindAnotherWindowShowsNoProgressAndFlashes)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    ButtonCreated();
    m_run.Notify(UWM_DOWNLOAD_BEGIN);
    m_run.Notify(UWM_UPDATE_BEGIN);
    m_run.Notify(UWM_UPDATE_PROGRESS, 99);
    const HWND hOther = OtherWindowInFront();
    m_run.Notify(UWM_UPDATE_COMPLETE, 1);
    ::DestroyWindow(hOther);
    EXPECT_EQ(m_run.State(), STATE_DONE);
    const std::vector<std::string> kExpected = { "state normal", "value 0/100", "value 99/100", "state none", "flash" };
    EXPECT_EQ(g_arrCalls, kExpected);
}

// The window in front at the end: no flash either.
TEST_F(WindowTaskbarTest, WithoutATaskbarListTheUpdateGoesOnAsBefore)
{
    g_pfnCreateTaskbarList = CreateNothing;
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    ButtonCreated();
    m_run.Notify(UWM_DOWNLOAD_BEGIN);
    m_run.Notify(UWM_DOWNLOAD_PROGRESS, 50);
    EXPECT_EQ(m_run.Position(IDC_PROGRESS_DOWNLOAD), 50);
    m_run.Notify(UWM_UPDATE_BEGIN);
    ::SetForegroundWindow(m_run.Window());
    m_run.Notify(UWM_UPDATE_COMPLETE, 1);
    EXPECT_EQ(m_run.State(), STATE_DONE);
    EXPECT_EQ(g_arrCalls, std::vector<std::string>());
}
