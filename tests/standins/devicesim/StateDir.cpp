// Where the device stand-in keeps its state.
#include "StateDir.h"
#include <windows.h>
#include <algorithm>

std::string NormalizeStateDir(const std::string& strDir)
{
    std::string strResult = strDir;
    if (!strResult.empty() && strResult[0] == '/')
        strResult = "Z:" + strResult;
    for (char& ch : strResult)
        if (ch == '/')
            ch = '\\';
    // One spelling per folder, since the pipe names derive from it.
    char szFull[MAX_PATH];
    const DWORD dwLength = ::GetFullPathNameA(strResult.c_str(), MAX_PATH, szFull, nullptr);
    if (dwLength > 0 && dwLength < MAX_PATH)
        strResult = szFull;
    while (strResult.size() > 3 && strResult.back() == '\\')
        strResult.pop_back();
    return strResult;
}

std::string StateDirFromEnvironment()
{
    char szDir[MAX_PATH];
    const DWORD dwLength = ::GetEnvironmentVariableA(DEVSIM_DIR_VARIABLE, szDir, MAX_PATH);
    if (dwLength == 0 || dwLength >= MAX_PATH)
        return std::string();
    return NormalizeStateDir(szDir);
}

std::string StateFile(const std::string& strDir, const std::string& strName)
{
    return strDir + "\\" + strName;
}

std::string RecordedPipeFile(const std::string& strDir, const std::string& strDevice)
{
    return StateFile(strDir, strDevice + ".PIPE00.bin");
}

bool ReadWholeFile(const std::string& strPath, std::string& strContent)
{
    HANDLE hFile = ::CreateFileA(strPath.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    strContent.clear();
    char buffer[65536];
    DWORD dwRead = 0;
    bool bOk = true;
    for (;;)
    {
        if (!::ReadFile(hFile, buffer, sizeof(buffer), &dwRead, nullptr))
        {
            bOk = false;
            break;
        }
        if (dwRead == 0)
            break;
        strContent.append(buffer, dwRead);
    }
    ::CloseHandle(hFile);
    return bOk;
}

std::vector<std::string> ReadLines(const std::string& strPath)
{
    std::string strContent;
    std::vector<std::string> arrLines;
    ReadWholeFile(strPath, strContent);
    for (size_t nStart = 0; nStart < strContent.size();)
    {
        const size_t nEnd = std::min(strContent.find('\n', nStart), strContent.size());
        arrLines.push_back(strContent.substr(nStart, nEnd - nStart));
        if (!arrLines.back().empty() && arrLines.back().back() == '\r')
            arrLines.back().pop_back();
        nStart = nEnd + 1;
    }
    return arrLines;
}

namespace
{
// Pipe names are global to the Wine session: the folder's hash keeps the
// simulators of tests running side by side apart.
std::string PipePrefix(const std::string& strDir)
{
    unsigned int nHash = 2166136261u;
    for (char ch : strDir)
    {
        nHash ^= static_cast<unsigned char>(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch);
        nHash *= 16777619u;
    }
    char szPrefix[32];
    wsprintfA(szPrefix, "\\\\.\\pipe\\orvek-%08x-", nHash);
    return szPrefix;
}
}

std::string ControlPipeName(const std::string& strDir)
{
    return PipePrefix(strDir) + "control";
}

std::string DevicePipePath(const std::string& strDir, const std::string& strDevice)
{
    return PipePrefix(strDir) + strDevice;
}
