// A network whose proxy server asks for a user name and password: the
// platform's password dialog over the window, then the update.
#include "Fixture.h"
#include "support/Controls.h"
#include "support/Press.h"
#include "ServiceControl.h"

namespace
{
const char kUser[] = "orvek";
const char kPassword[] = "s3cret";
const wchar_t kPasswordDialogTitle[] = L"Enter Network Password";
const char kCancelledText[] =
    "The network's proxy server needs a user name and password before the updater can download the update. "
    "Please try again and enter them, or ask the network's administrator for them.";
const char kRefusedText[] =
    "The network's proxy server did not accept the user name and password. Please try again and enter them, "
    "or ask the network's administrator for them.";
const char kServiceRequest[] = "GET http://update.orvek.example:80/device/update?version=2.0 ";
const char kServiceRequestLine[] = "GET http://update.orvek.example:80/device/update?version=2.0 HTTP/1.0";
}

class CProxyAuthTest : public CE2ETest
{
protected:
    // Waits for the platform's password dialog over the window, types the
    // name and password into its two edit boxes and presses OK.
    void AnswerPasswordDialog(const char* pszPassword)
    {
        const HWND hDialog = WaitForPasswordDialog();
        ASSERT_NE(hDialog, nullptr);
        const std::vector<HWND> arrEdits = ChildrenOfClass(hDialog, L"Edit", false);
        ASSERT_EQ(arrEdits.size(), 2u) << "edit boxes in the password dialog";
        const std::wstring strUser(kUser, kUser + sizeof(kUser) - 1);
        const std::wstring strPassword(pszPassword, pszPassword + strlen(pszPassword));
        ::SendMessageW(arrEdits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(strUser.c_str()));
        ::SendMessageW(arrEdits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(strPassword.c_str()));
        ASSERT_TRUE(PressButton(hDialog, IDOK)) << "the dialog has no OK button";
        ASSERT_TRUE(m_window.WaitUntil([hDialog](const CWindowView&) { return !::IsWindow(hDialog); },
                                       STATE_TIMEOUT_MS))
            << "the password dialog stays after OK";
    }

    HWND WaitForPasswordDialog()
    {
        const HWND hDialog = m_window.WaitForOwnedDialog(kPasswordDialogTitle, STATE_TIMEOUT_MS);
        EXPECT_NE(hDialog, nullptr) << "no password dialog owned by the window; seen:" << m_window.DescribeHistory();
        return hDialog;
    }

    std::vector<std::string> ProxyRequestLines()
    {
        std::vector<std::string> arrLines;
        EXPECT_TRUE(ServiceProxyRequestLines(arrLines));
        return arrLines;
    }
};

// Cancelled: our box, nothing written, the window ready for a retry. The
// retry asks again; with the right password the proxy lets the same request
// through, the service gets it as without a proxy, and the update completes.
TEST_F(CProxyAuthTest, CancelledPasswordDialogEndsInABoxAndARetryWithThePasswordUpdates)
{
    constexpr unsigned kImageSize = 300000;
    ASSERT_NO_FATAL_FAILURE(UseAuthProxy(kUser, kPassword));
    const std::vector<unsigned char> arrImage = ServeImage(kImageSize, 57);
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    m_window.ClickButton();

    const HWND hDialog = WaitForPasswordDialog();
    ASSERT_NE(hDialog, nullptr);
    EXPECT_EQ(ChildrenOfClass(hDialog, L"Edit", false).size(), 2u) << "edit boxes in the password dialog";
    const CWindowView clicked = CWindowView::Progress(DOWNLOAD_NOT_STARTED, 0, UPDATE_NOT_STARTED, 0);
    EXPECT_TRUE(m_window.Holds(clicked, SETTLE_MS)) << "while the dialog is up: " << m_window.Current().Describe();
    EXPECT_FALSE(m_window.Current().m_bEnabled) << "the window takes input while the dialog is up";
    ASSERT_TRUE(PressButton(hDialog, IDCANCEL)) << "the dialog has no Cancel button";
    ASSERT_NO_FATAL_FAILURE(ExpectFailureBox(kCancelledText, CWindowView::Connected()));
    EXPECT_TRUE(m_sim.RecordedBytes(DEVICE_NAME).empty());
    EXPECT_EQ(ServiceRequestCount(), 0u);
    EXPECT_EQ(ProxyRequestLines().size(), 1u) << "requests after a cancelled dialog";

    m_window.ClickButton();
    ASSERT_NO_FATAL_FAILURE(AnswerPasswordDialog(kPassword));
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Done()));
    ExpectDeviceHolds(arrImage);

    for (const std::string& strLine : ProxyRequestLines())
        EXPECT_EQ(strLine, kServiceRequestLine);
    std::vector<CServiceRequest> arrRequests;
    ASSERT_TRUE(ServiceRequests(arrRequests));
    ASSERT_EQ(arrRequests.size(), 1u);
    // The proxy sends it on in a version of its own.
    EXPECT_EQ(arrRequests[0].m_strRequestLine.rfind(kServiceRequest, 0), 0u) << arrRequests[0].m_strRequestLine;
    std::string strValue;
    EXPECT_TRUE(arrRequests[0].FindHeader("User-Agent", strValue) && strValue == "Orvek Updater") << strValue;
    EXPECT_FALSE(arrRequests[0].FindHeader("Proxy-Authorization", strValue)) << "the password went on to the service";
}

// tinyproxy refuses a wrong password with 401 and its own challenge: our
// box, not the service's status.
TEST_F(CProxyAuthTest, WrongPasswordEndsInABox)
{
    ASSERT_NO_FATAL_FAILURE(UseAuthProxy(kUser, kPassword));
    const std::vector<unsigned char> arrImage = ServeImage(50000, 58);
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    m_window.ClickButton();
    ASSERT_NO_FATAL_FAILURE(AnswerPasswordDialog("wrong"));
    ASSERT_NO_FATAL_FAILURE(ExpectFailureBox(kRefusedText, CWindowView::Connected()));
    EXPECT_TRUE(m_sim.RecordedBytes(DEVICE_NAME).empty());
    EXPECT_EQ(ServiceRequestCount(), 0u);

    m_window.ClickButton();
    ASSERT_NO_FATAL_FAILURE(AnswerPasswordDialog(kPassword));
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Done()));
    ExpectDeviceHolds(arrImage);
}

// A proxy that answers 407 to a wrong password (the stand-in plays one): the
// dialog comes back, each answer is sent as the proxy's Basic credentials,
// and after the third dialog our box.
TEST_F(CProxyAuthTest, ProxyRefusingThreeTimesEndsInABox)
{
    ASSERT_NO_FATAL_FAILURE(
        SetScenario(R"({"status": 407, "headers": [["Proxy-Authenticate", "Basic realm=\"Orvek test\""]]})"));
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    m_window.ClickButton();
    for (int nTry = 1; nTry <= 3; ++nTry)
    {
        SCOPED_TRACE("dialog " + std::to_string(nTry));
        ASSERT_NO_FATAL_FAILURE(AnswerPasswordDialog("wrong"));
    }
    ASSERT_NO_FATAL_FAILURE(ExpectFailureBox(kRefusedText, CWindowView::Connected()));
    EXPECT_TRUE(m_sim.RecordedBytes(DEVICE_NAME).empty());

    std::vector<CServiceRequest> arrRequests;
    ASSERT_TRUE(ServiceRequests(arrRequests));
    ASSERT_GE(arrRequests.size(), 4u) << "the request and one more after each dialog";
    std::string strValue;
    EXPECT_FALSE(arrRequests[0].FindHeader("Proxy-Authorization", strValue)) << "asked before any dialog: " << strValue;
    EXPECT_TRUE(arrRequests.back().FindHeader("Proxy-Authorization", strValue));
    EXPECT_EQ(strValue, "Basic b3J2ZWs6d3Jvbmc=") << "orvek:wrong";
    for (const CServiceRequest& request : arrRequests)
        EXPECT_EQ(request.m_strRequestLine, kServiceRequestLine);
}

// The service itself asking for a password is no proxy: its status, as for
// any other, and no dialog.
TEST_F(CProxyAuthTest, ServiceAskingForAPasswordShowsItsStatus)
{
    ASSERT_NO_FATAL_FAILURE(SetScenario(R"({"status": 401, "headers": [["WWW-Authenticate", "Basic realm=\"x\""]]})"));
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    m_window.ClickButton();
    ASSERT_NO_FATAL_FAILURE(ExpectFailureBox("HTTP Status Code 401", CWindowView::Connected()));
    EXPECT_EQ(ServiceRequestCount(), 1u);
}
