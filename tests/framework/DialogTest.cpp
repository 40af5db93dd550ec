// CDialog run modally from the program's real template: data exchange binds
// and subclasses the controls, the dialog's commands end it, commands it does
// not handle go on to the application, and the platform's dialog handling
// still answers what the map leaves.
#include "framework/afxwin.h"
#include "resource.h"
#include <functional>
#include <gtest/gtest.h>

namespace
{
const UINT kMsgCheck = WM_APP + 10;
const UINT kIdDialogCommand = 4400;

class CPaintCountingStatic : public CStatic
{
public:
    int m_nPaints = 0;

    void OnPaint()
    {
        ++m_nPaints;
        CStatic::OnPaint();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintCountingStatic, CStatic)
    ON_WM_PAINT()
END_MESSAGE_MAP()

class CTemplateDialog : public CDialog
{
public:
    CTemplateDialog() : CDialog(IDD_UPDATER_DIALOG) {}

    CPaintCountingStatic m_staticStatus;
    CButton m_btnUpdate;
    int m_nLoads = 0;
    int m_nSaves = 0;
    int m_nCommands = 0;
    // Runs once the dialog is up and its modal loop is running.
    std::function<void(CTemplateDialog&)> m_check;
    // Runs at the end of OnInitDialog, when set.
    std::function<void(CTemplateDialog&)> m_init;

    void OnDialogCommand() { ++m_nCommands; }
    LRESULT OnCheck(WPARAM, LPARAM)
    {
        m_check(*this);
        return 0;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        ++(pDX->m_bSaveAndValidate ? m_nSaves : m_nLoads);
        DDX_Control(pDX, IDC_STATIC_STATUS, m_staticStatus);
        DDX_Control(pDX, IDOK, m_btnUpdate);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_init)
            m_init(*this);
        PostMessage(kMsgCheck);
        return TRUE;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTemplateDialog, CDialog)
    ON_COMMAND(kIdDialogCommand, &CTemplateDialog::OnDialogCommand)
    ON_MESSAGE(kMsgCheck, OnCheck)
END_MESSAGE_MAP()
}

TEST(CDialog, DataExchangeBindsTheMembersToTheTemplatesControls)
{
    CTemplateDialog dlg;
    HWND hWndStatus = nullptr;
    dlg.m_check = [&](CTemplateDialog& d) {
        EXPECT_EQ(&d, CWnd::FromHandlePermanent(d.m_hWnd));
        hWndStatus = ::GetDlgItem(d.m_hWnd, IDC_STATIC_STATUS);
        EXPECT_EQ(hWndStatus, d.m_staticStatus.m_hWnd);
        EXPECT_EQ(&d.m_staticStatus, CWnd::FromHandlePermanent(hWndStatus));
        EXPECT_EQ(::GetDlgItem(d.m_hWnd, IDOK), d.m_btnUpdate.m_hWnd);
        // A second exchange does not attach the members again.
        d.UpdateData(FALSE);
        EXPECT_EQ(hWndStatus, d.m_staticStatus.m_hWnd);
        d.EndDialog(77);
    };
    EXPECT_EQ(77, dlg.DoModal());
    EXPECT_EQ(2, dlg.m_nLoads);
    EXPECT_EQ(0, dlg.m_nSaves);
    EXPECT_FALSE(::IsWindow(hWndStatus));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_staticStatus.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_btnUpdate.m_hWnd);
}

TEST(CDialog, SubclassedControlPaintsThroughItsOwnMap)
{
    CTemplateDialog dlg;
    dlg.m_check = [](CTemplateDialog& d) {
        EXPECT_TRUE(d.m_staticStatus.IsWindowVisible());
        d.m_staticStatus.m_nPaints = 0;
        d.m_staticStatus.Invalidate();
        d.m_staticStatus.UpdateWindow();
        EXPECT_EQ(1, d.m_staticStatus.m_nPaints);
        // Passed on to the static control, the paint validated the control.
        EXPECT_FALSE(::GetUpdateRect(d.m_staticStatus.m_hWnd, nullptr, FALSE));
        d.EndDialog(IDABORT);
    };
    EXPECT_EQ(IDABORT, dlg.DoModal());
}

TEST(CDialog, ButtonClickEndsWithOkAfterASavingExchange)
{
    CTemplateDialog dlg;
    dlg.m_check = [](CTemplateDialog& d) { d.m_btnUpdate.SendMessage(BM_CLICK); };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(1, dlg.m_nSaves);
}

TEST(CDialog, CloseEndsWithCancelAndNoExchange)
{
    CTemplateDialog dlg;
    dlg.m_check = [](CTemplateDialog& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE); };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(0, dlg.m_nSaves);
}

TEST(CDialog, CommandsTheDialogLeavesGoOnToTheApplication)
{
    CTemplateDialog dlg;
    dlg.m_check = [](CTemplateDialog& d) {
        d.SendMessage(WM_COMMAND, MAKEWPARAM(kIdDialogCommand, 0));
        EXPECT_EQ(1, d.m_nCommands);
        // The application's map has the help command; nobody has this one.
        EXPECT_TRUE(d.OnCmdMsg(ID_HELP, 0));
        EXPECT_TRUE(AfxGetApp()->OnCmdMsg(ID_HELP, 0));
        EXPECT_FALSE(d.OnCmdMsg(kIdDialogCommand + 1, 0));
        EXPECT_FALSE(AfxGetApp()->OnCmdMsg(kIdDialogCommand, 0));
        d.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0));
        EXPECT_TRUE(::IsWindow(d.m_hWnd));
        d.EndDialog(IDABORT);
    };
    EXPECT_EQ(IDABORT, dlg.DoModal());
}

TEST(CDialog, PlatformDialogHandlingAnswersWhatTheMapLeaves)
{
    CTemplateDialog dlg;
    dlg.m_check = [](CTemplateDialog& d) {
        EXPECT_EQ(MAKELRESULT(IDOK, DC_HASDEFID), d.SendMessage(DM_GETDEFID));
        d.EndDialog(IDABORT);
    };
    EXPECT_EQ(IDABORT, dlg.DoModal());
}

TEST(CDialog, OpensCentredOnTheWorkAreaUnlessItPlacedItself)
{
    RECT rectWork;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rectWork, 0));
    CTemplateDialog centred;
    RECT rectCentred = {};
    centred.m_check = [&](CTemplateDialog& d) {
        d.GetWindowRect(&rectCentred);
        d.EndDialog(IDABORT);
    };
    ASSERT_EQ(IDABORT, centred.DoModal());
    EXPECT_NEAR((rectCentred.left + rectCentred.right) / 2, (rectWork.left + rectWork.right) / 2, 2);
    EXPECT_NEAR((rectCentred.top + rectCentred.bottom) / 2, (rectWork.top + rectWork.bottom) / 2, 2);

    CTemplateDialog placed;
    RECT rectPlaced = {};
    placed.m_init = [](CTemplateDialog& d) {
        ::SetWindowPos(d.m_hWnd, nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    placed.m_check = [&](CTemplateDialog& d) {
        d.GetWindowRect(&rectPlaced);
        d.EndDialog(IDABORT);
    };
    ASSERT_EQ(IDABORT, placed.DoModal());
    EXPECT_EQ(7, rectPlaced.left);
    EXPECT_EQ(9, rectPlaced.top);
}

TEST(CDialog, MissingTemplateFailsWithMinusOne)
{
    CDialog dlg(9999);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}
