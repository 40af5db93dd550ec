// Message maps on a real window: registered-message entries, chaining to the
// base class's map, passing messages on to the window's own procedure, and
// detaching when either side goes first.
#include "support/Wait.h"
#include "framework/afxwin.h"
#include <gtest/gtest.h>

namespace
{
// Zero until a test registers it, as a variable set after the map is built.
UINT g_nProbeMessage = 0;

const UINT kMsgBaseOnly = WM_APP + 1;
const UINT kMsgOverridden = WM_APP + 2;
const UINT kMsgPassedOn = WM_APP + 3;
const UINT kMsgClassOnly = WM_APP + 4;
const UINT kIdProbeCommand = 4321;

// The window's own procedure answers what the object passes on.
LRESULT CALLBACK ClassWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kMsgPassedOn)
        return 100 + static_cast<LRESULT>(wParam);
    if (message == kMsgClassOnly)
        return 0x5151;
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

class CProbeWnd : public CWnd
{
public:
    int m_nProbes = 0;
    WPARAM m_wLastParam = 0;
    LPARAM m_lLastParam = 0;
    UINT_PTR m_nLastTimer = 0;
    int m_nCommands = 0;
    bool m_bPostNcDestroy = false;

    LRESULT OnProbe(WPARAM wParam, LPARAM lParam)
    {
        ++m_nProbes;
        m_wLastParam = wParam;
        m_lLastParam = lParam;
        return 42;
    }
    LRESULT OnBaseOnly(WPARAM, LPARAM) { return 1; }
    LRESULT OnOverridden(WPARAM, LPARAM) { return 2; }
    LRESULT OnPassedOn(WPARAM, LPARAM) { return Default() + 1; }
    void OnTimer(UINT_PTR nIDEvent)
    {
        m_nLastTimer = nIDEvent;
        KillTimer(nIDEvent);
    }
    void OnProbeCommand() { ++m_nCommands; }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_hDragIcon); }

    HICON m_hDragIcon = nullptr;

protected:
    void PostNcDestroy() override { m_bPostNcDestroy = true; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
    ON_REGISTERED_MESSAGE(g_nProbeMessage, OnProbe)
    ON_MESSAGE(kMsgBaseOnly, OnBaseOnly)
    ON_MESSAGE(kMsgOverridden, OnOverridden)
    ON_MESSAGE(kMsgPassedOn, OnPassedOn)
    ON_WM_TIMER()
    ON_WM_QUERYDRAGICON()
    ON_COMMAND(kIdProbeCommand, &CProbeWnd::OnProbeCommand)
END_MESSAGE_MAP()

class CDerivedProbeWnd : public CProbeWnd
{
public:
    LRESULT OnOverriddenHere(WPARAM, LPARAM) { return 3; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbeWnd, CProbeWnd)
    ON_MESSAGE(kMsgOverridden, OnOverriddenHere)
END_MESSAGE_MAP()

class MessageMapTest : public testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &ClassWndProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrvekMessageMapTest";
        ::RegisterClassW(&wc);
        m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10,
                                   nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, m_hWnd);
    }
    void TearDown() override
    {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        g_nProbeMessage = 0;
    }

    HWND m_hWnd = nullptr;
};
}

TEST_F(MessageMapTest, RegisteredEntryMatchesTheVariablesValueWhenTheMessageArrives)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(m_hWnd));

    // Unregistered, the entry holds 0 and must not catch WM_NULL.
    EXPECT_EQ(0, ::SendMessageW(m_hWnd, WM_NULL, 0, 0));
    EXPECT_EQ(0, wnd.m_nProbes);

    g_nProbeMessage = ::RegisterWindowMessageW(L"OrvekFrameworkTest.Probe");
    ASSERT_GE(g_nProbeMessage, 0xC000u);
    EXPECT_EQ(42, ::SendMessageW(m_hWnd, g_nProbeMessage, 5, 7));
    EXPECT_EQ(1, wnd.m_nProbes);
    EXPECT_EQ(5u, wnd.m_wLastParam);
    EXPECT_EQ(7, wnd.m_lLastParam);

    const UINT nOldMessage = g_nProbeMessage;
    g_nProbeMessage = ::RegisterWindowMessageW(L"OrvekFrameworkTest.OtherProbe");
    ASSERT_NE(nOldMessage, g_nProbeMessage);
    EXPECT_EQ(0, ::SendMessageW(m_hWnd, nOldMessage, 0, 0));
    EXPECT_EQ(42, ::SendMessageW(m_hWnd, g_nProbeMessage, 0, 0));
    EXPECT_EQ(2, wnd.m_nProbes);
}

TEST_F(MessageMapTest, DerivedMapIsSearchedBeforeItsBase)
{
    g_nProbeMessage = ::RegisterWindowMessageW(L"OrvekFrameworkTest.Probe");
    CDerivedProbeWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(m_hWnd));
    EXPECT_EQ(3, ::SendMessageW(m_hWnd, kMsgOverridden, 0, 0));
    EXPECT_EQ(1, ::SendMessageW(m_hWnd, kMsgBaseOnly, 0, 0));
    EXPECT_EQ(42, ::SendMessageW(m_hWnd, g_nProbeMessage, 0, 0));
}

TEST_F(MessageMapTest, WhatTheMapLeavesReachesTheWindowsOwnProcedure)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(m_hWnd));
    EXPECT_EQ(0x5151, ::SendMessageW(m_hWnd, kMsgClassOnly, 0, 0));
    // The handler hands the same message on with Default() and adds one.
    EXPECT_EQ(100 + 9 + 1, ::SendMessageW(m_hWnd, kMsgPassedOn, 9, 0));
}

TEST_F(MessageMapTest, TimerAndCommandEntriesGetTheirIds)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(m_hWnd));
    ASSERT_NE(0u, wnd.SetTimer(7, 10, nullptr));
    EXPECT_TRUE(PumpUntil([&] { return wnd.m_nLastTimer != 0; }));
    EXPECT_EQ(7u, wnd.m_nLastTimer);

    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(kIdProbeCommand, BN_CLICKED), 0);
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(kIdProbeCommand + 1, BN_CLICKED), 0);
    EXPECT_EQ(1, wnd.m_nCommands);
    EXPECT_TRUE(wnd.OnCmdMsg(kIdProbeCommand, 0));
    EXPECT_FALSE(wnd.OnCmdMsg(kIdProbeCommand + 1, 0));
}

TEST_F(MessageMapTest, HandleFromAHandlerIsTheMessagesResult)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(m_hWnd));
    wnd.m_hDragIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    EXPECT_EQ(reinterpret_cast<LRESULT>(wnd.m_hDragIcon), ::SendMessageW(m_hWnd, WM_QUERYDRAGICON, 0, 0));
}

TEST_F(MessageMapTest, WindowAttachesToOneObjectOnly)
{
    CProbeWnd wnd;
    CProbeWnd other;
    ASSERT_TRUE(wnd.SubclassWindow(m_hWnd));
    EXPECT_FALSE(other.SubclassWindow(m_hWnd));
    EXPECT_FALSE(wnd.SubclassWindow(m_hWnd));
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(m_hWnd));
    EXPECT_EQ(&wnd, CWnd::FromHandle(m_hWnd));
}

TEST_F(MessageMapTest, ObjectGoneFirstGivesTheWindowBackItsProcedure)
{
    {
        CProbeWnd wnd;
        ASSERT_TRUE(wnd.SubclassWindow(m_hWnd));
    }
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(m_hWnd));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&ClassWndProc), ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
    EXPECT_EQ(0, ::SendMessageW(m_hWnd, kMsgBaseOnly, 0, 0));

    // A window without an object of its own gets a wrapper that routes nothing.
    CWnd* pWrapper = CWnd::FromHandle(m_hWnd);
    ASSERT_NE(nullptr, pWrapper);
    EXPECT_EQ(m_hWnd, pWrapper->m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(m_hWnd));
}

TEST_F(MessageMapTest, WindowGoneFirstDetachesTheObject)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(m_hWnd));
    ASSERT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_TRUE(wnd.m_bPostNcDestroy);
}
