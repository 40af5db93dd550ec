// Where the shipped program takes WinInet from: never from the folder it
// was started from, as a copy downloaded into a user's Downloads would be.
#include "Fixture.h"
#include <filesystem>
#include "ServiceControl.h"

namespace
{
// What the planted DLLs leave when they are loaded.
const char kWininetMark[] = "wininet.dll.loaded";
const char kMprMark[] = "mpr.dll.loaded";

// A folder of the test's own holding a copy of the shipped exe and the
// device stand-in's setupapi.dll, removed again at the end.
class CExeFolder
{
public:
    explicit CExeFolder(const std::string& strName)
    {
        char szTemp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, szTemp);
        m_strPath = std::string(szTemp) + strName + "\\";
        Clear();
        ::CreateDirectoryA(m_strPath.c_str(), nullptr);
    }
    ~CExeFolder() { Clear(); }

    bool CopyIn(const std::string& strSource, const char* pszName)
    {
        return ::CopyFileA(strSource.c_str(), (m_strPath + pszName).c_str(), FALSE) != FALSE;
    }
    bool CopyProgram(const char* pszExeName)
    {
        return CopyIn(ProgramFolder() + "OrvekUpdater.exe", pszExeName)
               && CopyIn(ProgramFolder() + "setupapi.dll", "setupapi.dll");
    }
    bool Holds(const char* pszName) const
    {
        return ::GetFileAttributesA((m_strPath + pszName).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    const std::string& Path() const { return m_strPath; }

private:
    void Clear()
    {
        std::error_code error;
        std::filesystem::remove_all(m_strPath, error);
    }

    std::string m_strPath;
};
}

class CLibraryLoadingTest : public CE2ETest {};

// Wine told to prefer a wininet.dll beside the exe, as Windows does for a
// DLL that is not a known DLL: the planted one is never loaded, nor one
// named as a DLL that Wine's WinInet imports (mpr), and the update goes
// through the system's WinInet.
TEST_F(CLibraryLoadingTest, WininetBesideTheExeIsNeverLoadedAndTheUpdateWorks)
{
    CExeFolder folder("orvek-planted-wininet");
    ASSERT_TRUE(folder.CopyProgram("OrvekUpdater.exe")) << folder.Path();
    ASSERT_TRUE(folder.CopyIn(ProgramFolder() + "planted\\wininet.dll", "wininet.dll"));
    ASSERT_TRUE(folder.CopyIn(ProgramFolder() + "planted\\wininet.dll", "mpr.dll"));
    UseFolder(folder.Path(), "OrvekUpdater.exe");
    CLoadOrder wininet("OrvekUpdater.exe", "wininet", "native,builtin");
    CLoadOrder mpr("OrvekUpdater.exe", "mpr", "native,builtin");
    ASSERT_TRUE(wininet.IsSet() && mpr.IsSet());

    const std::vector<unsigned char> arrImage = ServeImage(300000, 71);
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    ASSERT_NO_FATAL_FAILURE(ClickForDone());
    ExpectDeviceHolds(arrImage);
    m_window.ClickButton();
    ExpectProcessEnds();
    EXPECT_FALSE(folder.Holds(kWininetMark)) << "the wininet.dll beside the exe was loaded";
    EXPECT_FALSE(folder.Holds(kMprMark)) << "the mpr.dll beside the exe was loaded";
}

// No WinInet to be had: the window works as ever, and the download ends in
// a box that says what is missing, with nothing sent and nothing written.
// The copy has a name of its own, so that no other run of the program can
// meet the disabled WinInet.
TEST_F(CLibraryLoadingTest, WithoutWininetTheDownloadEndsInABox)
{
    CExeFolder folder("orvek-no-wininet");
    ASSERT_TRUE(folder.CopyProgram("OrvekUpdaterNoWinInet.exe")) << folder.Path();
    UseFolder(folder.Path(), "OrvekUpdaterNoWinInet.exe");
    CLoadOrder wininet("OrvekUpdaterNoWinInet.exe", "wininet", "");
    ASSERT_TRUE(wininet.IsSet());

    ASSERT_NO_FATAL_FAILURE(ServeImage(20000, 72));
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    m_window.ClickButton();
    ASSERT_NO_FATAL_FAILURE(ExpectFailureBox(
        "The Internet functions of Windows (wininet.dll in the system folder) could not be loaded.",
        CWindowView::Connected()));
    EXPECT_EQ(ServiceRequestCount(), 0u);
    EXPECT_TRUE(m_sim.RecordedBytes(DEVICE_NAME).empty());
    ExpectNoSuccessShown();
}
