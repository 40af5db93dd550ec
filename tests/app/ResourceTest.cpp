// The resources inside the built exe, read back as the system reads them:
// the dialog template field by field, the icon group, the device bitmap, the
// manifest, the version, the application's title and the texts in every
// language.
#include "app/TextLanguage.h"
#include "app/UserTexts.h"
#include "resource.h"
#include "support/ChildProcess.h"
#include "support/ProgramTexts.h"
#include <regex>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace
{
class ProgramResources : public testing::Test
{
protected:
    void SetUp() override
    {
        m_strPath = PathNextToThisProgram(L"OrvekUpdater.exe");
        m_hModule = ::LoadLibraryExW(m_strPath.c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(nullptr, m_hModule) << "error " << ::GetLastError();
    }
    void TearDown() override
    {
        if (m_hModule != nullptr)
            ::FreeLibrary(m_hModule);
    }

    // The raw bytes of one resource, empty if it is missing.
    std::vector<BYTE> Resource(LPCWSTR pszType, LPCWSTR pszName) const
    {
        HRSRC hInfo = ::FindResourceW(m_hModule, pszName, pszType);
        if (hInfo == nullptr)
            return {};
        const BYTE* pData = static_cast<const BYTE*>(::LockResource(::LoadResource(m_hModule, hInfo)));
        return std::vector<BYTE>(pData, pData + ::SizeofResource(m_hModule, hInfo));
    }

    std::wstring m_strPath;
    HMODULE m_hModule = nullptr;
};

// Reads a dialog template the way the dialog manager walks it.
class TemplateReader
{
public:
    explicit TemplateReader(const std::vector<BYTE>& data) : m_data(data) {}

    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return Take<short>(); }
    BYTE Byte() { return Take<BYTE>(); }
    std::wstring String()
    {
        std::wstring str;
        for (WORD ch = Word(); ch != 0 && !m_bOverrun; ch = Word())
            str += static_cast<wchar_t>(ch);
        return str;
    }
    // A name or an ordinal: ordinals come back as "#<number>", and the
    // predefined classes' ordinals by their names.
    std::wstring NameOrOrdinal()
    {
        if (Peek() != 0xFFFF)
            return String();
        Word();
        const WORD nOrdinal = Word();
        switch (nOrdinal)
        {
        case 0x0080: return L"BUTTON";
        case 0x0082: return L"STATIC";
        default: return L"#" + std::to_wstring(nOrdinal);
        }
    }
    void AlignToDword() { m_nOffset = (m_nOffset + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t nBytes) { m_nOffset += nBytes; }
    bool Overrun() const { return m_bOverrun || m_nOffset > m_data.size(); }

private:
    template <class T>
    T Take()
    {
        T value = T();
        if (m_nOffset + sizeof(T) > m_data.size())
        {
            m_bOverrun = true;
            return value;
        }
        memcpy(&value, m_data.data() + m_nOffset, sizeof(T));
        m_nOffset += sizeof(T);
        return value;
    }
    WORD Peek()
    {
        const size_t nOffset = m_nOffset;
        const WORD nValue = Word();
        m_nOffset = nOffset;
        return nValue;
    }

    const std::vector<BYTE>& m_data;
    size_t m_nOffset = 0;
    bool m_bOverrun = false;
};

std::wstring Upper(std::wstring str)
{
    for (wchar_t& ch : str)
        ch = static_cast<wchar_t>(towupper(ch));
    return str;
}

#pragma pack(push, 2)
struct GroupIconEntry
{
    BYTE bWidth;
    BYTE bHeight;
    BYTE bColorCount;
    BYTE bReserved;
    WORD wPlanes;
    WORD wBitCount;
    DWORD dwBytesInRes;
    WORD nId;
};
#pragma pack(pop)
}

TEST_F(ProgramResources, DialogTemplateIsTheUpdatersLayout)
{
    const std::vector<BYTE> data = Resource(RT_DIALOG, MAKEINTRESOURCEW(102));
    ASSERT_FALSE(data.empty()) << "no dialog 102";
    TemplateReader reader(data);
    EXPECT_EQ(1, reader.Word()) << "extended template version";
    EXPECT_EQ(0xFFFF, reader.Word()) << "extended template signature";
    EXPECT_EQ(0u, reader.Dword()) << "help id";
    EXPECT_EQ(0x00040000u, reader.Dword()) << "extended style";
    EXPECT_EQ(0x90C800C8u, reader.Dword()) << "style";
    const WORD nControls = reader.Word();
    EXPECT_EQ(0, reader.Short());
    EXPECT_EQ(0, reader.Short());
    EXPECT_EQ(265, reader.Short());
    EXPECT_EQ(162, reader.Short());
    EXPECT_EQ(L"", reader.NameOrOrdinal()) << "menu";
    EXPECT_EQ(L"", reader.NameOrOrdinal()) << "window class";
    EXPECT_EQ(L"Orvek Updater", reader.String());
    EXPECT_EQ(8, reader.Word()) << "point size";
    EXPECT_EQ(0, reader.Word()) << "weight";
    EXPECT_EQ(0, reader.Byte()) << "italic";
    EXPECT_EQ(1, reader.Byte()) << "character set";
    EXPECT_EQ(L"MS Shell Dlg", reader.String());

    const struct
    {
        DWORD nId;
        LPCWSTR pszClass;
        LPCWSTR pszText;
        short x, y, cx, cy;
        DWORD dwStyle;
    } expected[] = {
        { 1000, L"STATIC", L"#129", 43, 61, 179, 38, 0x5000000E },
        { IDOK, L"BUTTON", L"Update Orvek Now!", 92, 67, 81, 23, 0x50010001 },
        { 1002, L"MSCTLS_PROGRESS32", L"", 36, 52, 193, 14, 0x50800000 },
        { 1003, L"MSCTLS_PROGRESS32", L"", 36, 100, 193, 14, 0x50800000 },
        { 1004, L"STATIC", L"Download progess...", 36, 41, 193, 8, 0x50020001 },
        { 1005, L"STATIC", L"Update progress...", 36, 89, 193, 8, 0x50020001 },
        { 1006, L"STATIC", L"...", 36, 50, 193, 8, 0x50020001 },
    };
    ASSERT_EQ(std::size(expected), nControls);
    for (const auto& control : expected)
    {
        SCOPED_TRACE(testing::Message() << "control " << control.nId);
        reader.AlignToDword();
        EXPECT_EQ(0u, reader.Dword()) << "help id";
        EXPECT_EQ(0u, reader.Dword()) << "extended style";
        const DWORD dwStyle = reader.Dword();
        EXPECT_EQ(control.dwStyle, dwStyle) << std::hex << "got 0x" << dwStyle;
        EXPECT_EQ(control.x, reader.Short());
        EXPECT_EQ(control.y, reader.Short());
        EXPECT_EQ(control.cx, reader.Short());
        EXPECT_EQ(control.cy, reader.Short());
        EXPECT_EQ(control.nId, reader.Dword());
        EXPECT_EQ(control.pszClass, Upper(reader.NameOrOrdinal()));
        EXPECT_EQ(control.pszText, reader.NameOrOrdinal());
        reader.Skip(reader.Word());
        ASSERT_FALSE(reader.Overrun());
    }
}

TEST_F(ProgramResources, IconGroupHasFourSizesAtEightAndThirtyTwoBits)
{
    const std::vector<BYTE> group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(128));
    ASSERT_GE(group.size(), 6u) << "no icon group 128";
    WORD header[3];
    memcpy(header, group.data(), sizeof(header));
    EXPECT_EQ(0, header[0]);
    EXPECT_EQ(1, header[1]) << "resource type icon";
    ASSERT_EQ(6u + header[2] * sizeof(GroupIconEntry), group.size());

    std::set<std::pair<int, int>> images;
    for (WORD i = 0; i < header[2]; ++i)
    {
        GroupIconEntry entry;
        memcpy(&entry, group.data() + 6 + i * sizeof(entry), sizeof(entry));
        const int nSize = entry.bWidth == 0 ? 256 : entry.bWidth;
        SCOPED_TRACE(testing::Message() << "image " << nSize << " px, " << entry.wBitCount << " bpp");
        EXPECT_EQ(entry.bWidth, entry.bHeight);
        images.insert({ nSize, entry.wBitCount });

        // The image itself says the same as its directory entry.
        const std::vector<BYTE> image = Resource(RT_ICON, MAKEINTRESOURCEW(entry.nId));
        ASSERT_EQ(entry.dwBytesInRes, image.size());
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER info;
        memcpy(&info, image.data(), sizeof(info));
        EXPECT_EQ(sizeof(BITMAPINFOHEADER), info.biSize);
        EXPECT_EQ(nSize, info.biWidth);
        EXPECT_EQ(2 * nSize, info.biHeight) << "image and mask";
        EXPECT_EQ(entry.wBitCount, info.biBitCount);
    }
    const std::set<std::pair<int, int>> expected = { { 16, 8 }, { 16, 32 }, { 24, 8 }, { 24, 32 },
                                                     { 32, 8 }, { 32, 32 }, { 48, 8 }, { 48, 32 } };
    EXPECT_EQ(expected, images);
    EXPECT_EQ(8u, header[2]);

    HICON hIcon = static_cast<HICON>(::LoadImageW(m_hModule, MAKEINTRESOURCEW(128), IMAGE_ICON, 48, 48, 0));
    EXPECT_NE(nullptr, hIcon);
    ::DestroyIcon(hIcon);
}

TEST_F(ProgramResources, DeviceBitmapsAreTwentyFourBitsAtEachDpi)
{
    const struct
    {
        int nId;
        LONG nWidth;
        LONG nHeight;
    } bitmaps[] = { { 129, 268, 62 }, { 130, 402, 93 }, { 131, 536, 124 } };
    for (const auto& b : bitmaps)
    {
        SCOPED_TRACE(testing::Message() << "bitmap " << b.nId);
        const std::vector<BYTE> data = Resource(RT_BITMAP, MAKEINTRESOURCEW(b.nId));
        ASSERT_GE(data.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER info;
        memcpy(&info, data.data(), sizeof(info));
        EXPECT_EQ(b.nWidth, info.biWidth);
        EXPECT_EQ(b.nHeight, info.biHeight);
        EXPECT_EQ(24, info.biBitCount);
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), info.biCompression);
        const size_t nStride = (b.nWidth * 3 + 3) & ~3u;
        EXPECT_EQ(sizeof(BITMAPINFOHEADER) + nStride * b.nHeight, data.size());
    }
}

TEST_F(ProgramResources, ManifestAsksForCommonControlsSixNoElevationAndPerMonitorDpi)
{
    const std::vector<BYTE> data = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(data.empty()) << "no application manifest";
    const std::string strManifest(data.begin(), data.end());
    const size_t nDependency = strManifest.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(std::string::npos, nDependency) << strManifest;
    const size_t nStart = strManifest.rfind("<assemblyIdentity", nDependency);
    const size_t nEnd = strManifest.find("/>", nDependency);
    ASSERT_NE(std::string::npos, nStart);
    const std::string strIdentity = strManifest.substr(nStart, nEnd - nStart);
    EXPECT_NE(std::string::npos, strIdentity.find("version=\"6.0.0.0\"")) << strIdentity;
#ifdef _WIN64
    const char* pszArchitecture = "processorArchitecture=\"amd64\"";
#else
    const char* pszArchitecture = "processorArchitecture=\"x86\"";
#endif
    EXPECT_NE(std::string::npos, strIdentity.find(pszArchitecture)) << strIdentity;
    const size_t nOwn = strManifest.find("<assemblyIdentity");
    const std::string strOwnIdentity = strManifest.substr(nOwn, strManifest.find("/>", nOwn) - nOwn);
    EXPECT_NE(std::string::npos, strOwnIdentity.find(pszArchitecture)) << strOwnIdentity;
    EXPECT_NE(std::string::npos, strIdentity.find("publicKeyToken=\"6595b64144ccf1df\"")) << strIdentity;
    EXPECT_NE(std::string::npos, strManifest.find("level=\"asInvoker\"")) << strManifest;
    EXPECT_NE(std::string::npos, strManifest.find("uiAccess=\"false\"")) << strManifest;
    EXPECT_NE(std::string::npos, strManifest.find(">PerMonitorV2, System</dpiAwareness>")) << strManifest;
    EXPECT_NE(std::string::npos, strManifest.find(">true</dpiAware>")) << strManifest;
}

TEST_F(ProgramResources, VersionIsTwoZeroZeroOneForTheOrvekUpdater)
{
    DWORD dwHandle = 0;
    const DWORD dwSize = ::GetFileVersionInfoSizeW(m_strPath.c_str(), &dwHandle);
    ASSERT_NE(0u, dwSize);
    std::vector<BYTE> data(dwSize);
    ASSERT_TRUE(::GetFileVersionInfoW(m_strPath.c_str(), 0, dwSize, data.data()));

    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT nLength = 0;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&pFixed), &nLength));
    EXPECT_EQ(MAKELONG(0, 2), pFixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(1, 0), pFixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(0, 2), pFixed->dwProductVersionMS);
    EXPECT_EQ(MAKELONG(1, 0), pFixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), pFixed->dwFileType);

    const struct
    {
        LPCWSTR pszName;
        LPCWSTR pszValue;
    } strings[] = {
        { L"FileDescription", L"Orvek Updater" },
        { L"FileVersion", L"2.0.0.1" },
        { L"ProductVersion", L"2.0.0.1" },
    };
    for (const auto& s : strings)
    {
        SCOPED_TRACE(s.pszName);
        LPCWSTR pszValue = nullptr;
        const std::wstring strQuery = std::wstring(L"\\StringFileInfo\\040904b0\\") + s.pszName;
        ASSERT_TRUE(::VerQueryValueW(data.data(), strQuery.c_str(), reinterpret_cast<void**>(
                                                                         const_cast<LPWSTR*>(&pszValue)),
                                     &nLength));
        EXPECT_STREQ(s.pszValue, pszValue);
    }
}

TEST_F(ProgramResources, ApplicationTitleIsTheBoxesCaption)
{
    wchar_t szTitle[64] = {};
    EXPECT_EQ(13, ::LoadStringW(m_hModule, 0xE000, szTitle, 64));
    EXPECT_STREQ(L"Orvek Updater", szTitle);
}

namespace
{
// Every text the user reads, with its English original.
const struct
{
    UINT nID;
    const wchar_t* pszEnglish;
} kUserTexts[] = {
    { IDS_SWITCH_TO_DL, SWITCH_TO_DL_TEXT }, { IDS_CONNECTED, CONNECTED_TEXT },
    { IDS_UPDATE_BUTTON, UPDATE_BUTTON_TEXT }, { IDS_UPDATED, UPDATED_TEXT },
    { IDS_DONE_BUTTON, DONE_BUTTON_TEXT }, { IDS_PICTURE, PICTURE_TEXT },
    { IDS_DOWNLOAD_NOT_STARTED, DOWNLOAD_NOT_STARTED_TEXT }, { IDS_DOWNLOADING, DOWNLOADING_TEXT },
    { IDS_DOWNLOAD_COMPLETE, DOWNLOAD_COMPLETE_TEXT }, { IDS_UPDATE_NOT_STARTED, UPDATE_NOT_STARTED_TEXT },
    { IDS_UPDATING, UPDATING_TEXT }, { IDS_UPDATE_COMPLETE, UPDATE_COMPLETE_TEXT },
    { IDS_STOP_QUESTION, STOP_QUESTION_TEXT }, { IDS_SHUTDOWN_REASON, SHUTDOWN_REASON_TEXT },
    { IDS_RUNNING_ELSEWHERE, RUNNING_ELSEWHERE_TEXT }, { IDS_HTTP_STATUS_FORMAT, HTTP_STATUS_FORMAT },
    { IDS_INTERNET_ERROR_FORMAT, INTERNET_ERROR_FORMAT }, { IDS_PROXY_CANCELLED, PROXY_CANCELLED_TEXT },
    { IDS_PROXY_REFUSED, PROXY_REFUSED_TEXT }, { IDS_TOO_MANY_REDIRECTS, TOO_MANY_REDIRECTS_TEXT },
    { IDS_DOWNGRADE, DOWNGRADE_TEXT }, { IDS_ENCODED, ENCODED_TEXT }, { IDS_NO_LENGTH, NO_LENGTH_TEXT },
    { IDS_TOO_LONG, TOO_LONG_TEXT }, { IDS_TOO_SHORT, TOO_SHORT_TEXT }, { IDS_NO_MEMORY, NO_MEMORY_TEXT },
    { IDS_WEB_PAGE, WEB_PAGE_TEXT }, { IDS_DOWNLOAD_START_FAILED, DOWNLOAD_START_FAILED_TEXT },
    { IDS_TRANSFER_START_FAILED, TRANSFER_START_FAILED_TEXT }, { IDS_OUT_OF_MEMORY, OUT_OF_MEMORY_TEXT },
    { IDS_INTERNAL_ERROR, INTERNAL_ERROR_TEXT }, { IDS_TRANSFER_FAILED, TRANSFER_FAILED_TEXT },
    { IDS_DEVICE_STALLED, DEVICE_STALLED_TEXT }, { IDS_DEVICE_UNPLUGGED, DEVICE_UNPLUGGED_TEXT },
    { IDS_INVALID_IMAGE, INVALID_IMAGE_TEXT }, { IDS_NO_INTERNET_LIBRARY, NO_INTERNET_LIBRARY_TEXT },
};

// The printf placeholders of a text, in order.
std::vector<std::wstring> Placeholders(const std::wstring& strText)
{
    static const std::wregex kPlaceholder(L"%[-+ #0]*[0-9]*(\\.[0-9]+)?[a-zA-Z%]");
    std::vector<std::wstring> arrFound;
    for (std::wsregex_iterator it(strText.begin(), strText.end(), kPlaceholder), end; it != end; ++it)
        arrFound.push_back(it->str());
    return arrFound;
}
}

TEST_F(ProgramResources, EveryLanguageHasEveryTextWithTheEnglishPlaceholders)
{
    for (const auto& text : kUserTexts)
    {
        SCOPED_TRACE(testing::Message() << "text " << text.nID);
        EXPECT_EQ(TableText(m_hModule, LANGID_ENGLISH, text.nID), text.pszEnglish);
        for (const CTextLanguage& language : kTextLanguages)
        {
            const std::wstring strText = TableText(m_hModule, language.m_langId, text.nID);
            ASSERT_FALSE(strText.empty()) << language.m_pszTag;
            EXPECT_EQ(Placeholders(strText), Placeholders(text.pszEnglish)) << language.m_pszTag;
            // Read from the right whatever the control's own layout.
            if (PRIMARYLANGID(language.m_langId) == LANG_ARABIC)
            {
                EXPECT_TRUE(strText.front() == L'\x202B' && strText.back() == L'\x202C') << "one embedding";
            }
        }
    }
}
