// The device gets the image the service sends now: a cacheable answer
// leaves no copy on disk.
#include "Fixture.h"
#include <set>
#include "ServiceControl.h"

class CFreshImageTest : public CE2ETest {};

namespace
{
// Every file of nSize bytes under strFolder and its subfolders.
void FindFilesOfSize(const std::wstring& strFolder, ULONGLONG nSize, std::set<std::wstring>& setFound)
{
    WIN32_FIND_DATAW found;
    HANDLE hFind = ::FindFirstFileW((strFolder + L"\\*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do
    {
        const std::wstring strName = found.cFileName;
        if (strName == L"." || strName == L"..")
            continue;
        const std::wstring strPath = strFolder + L"\\" + strName;
        // Wine links the shell folders (Desktop, Documents...) to the Linux
        // home, outside the prefix: those links are not followed.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            FindFilesOfSize(strPath, nSize, setFound);
        else if ((static_cast<ULONGLONG>(found.nFileSizeHigh) << 32 | found.nFileSizeLow) == nSize)
            setFound.insert(strPath);
    } while (::FindNextFileW(hFind, &found));
    ::FindClose(hFind);
}

// The files of nSize bytes in every user's folder of this Wine prefix, where
// the Internet cache keeps its copies.
std::set<std::wstring> UserFilesOfSize(ULONGLONG nSize)
{
    wchar_t szProfile[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"USERPROFILE", szProfile, MAX_PATH);
    std::wstring strUsers = szProfile;
    strUsers.resize(strUsers.find_last_of(L'\\'));
    std::set<std::wstring> setFound;
    FindFilesOfSize(strUsers, nSize, setFound);
    return setFound;
}
}

// A cacheable answer, as web servers and CDNs commonly send it: the update
// works, no copy of the image stays behind, and the request is the plain one.
TEST_F(CFreshImageTest, CacheableAnswerUpdatesAndLeavesNoCopyOnDisk)
{
    constexpr unsigned kImageSize = 300007;
    ASSERT_NO_FATAL_FAILURE(SetScenario(
        R"({"body": {"size": 300007, "seed": 81}, "headers": ["Cache-Control: public, max-age=86400"]})"));
    const std::set<std::wstring> setBefore = UserFilesOfSize(kImageSize);
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    ASSERT_NO_FATAL_FAILURE(ClickForDone());
    ExpectDeviceHolds(ServiceGeneratedBody(kImageSize, 81));
    m_window.ClickButton();
    ExpectProcessEnds();

    const std::set<std::wstring> setAfter = UserFilesOfSize(kImageSize);
    EXPECT_EQ(setBefore, setAfter) << "files of the image's size in the user folders, before and after";

    std::vector<CServiceRequest> arrRequests;
    ASSERT_TRUE(ServiceRequests(arrRequests));
    ASSERT_EQ(arrRequests.size(), 1u) << ServiceRequestsJson();
    EXPECT_EQ(arrRequests[0].m_strRequestLine, "GET http://update.orvek.example:80/device/update?version=2.0 HTTP/1.0");
    const std::vector<std::string> arrHeaders = { "Host: update.orvek.example", "User-Agent: Orvek Updater" };
    EXPECT_EQ(arrRequests[0].m_arrHeaderLines, arrHeaders) << ServiceRequestsJson();
    EXPECT_TRUE(arrRequests[0].m_strBody.empty());
}
