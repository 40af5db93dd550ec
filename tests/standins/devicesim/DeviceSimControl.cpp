// Test programs' control of the device stand-in.
#include "DeviceSimControl.h"
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include "StateDir.h"

namespace
{
constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kStopTimeoutMs = 10000;

LONG g_nNextFolder = 0;

std::string WithLength(const std::string& strCommand, size_t nPathLength)
{
    return nPathLength == 0 ? strCommand : strCommand + " length=" + std::to_string(nPathLength);
}
}

CDeviceSimulator::~CDeviceSimulator()
{
    Stop();
}

bool CDeviceSimulator::Start()
{
    Stop();
    char szTemp[MAX_PATH];
    const DWORD dwLength = ::GetTempPathA(MAX_PATH, szTemp);
    if (dwLength == 0 || dwLength >= MAX_PATH)
        return false;
    char szName[64];
    snprintf(szName, sizeof(szName), "orvek-devsim-%lu-%ld", ::GetCurrentProcessId(),
             ::InterlockedIncrement(&g_nNextFolder));
    m_strDir = NormalizeStateDir(std::string(szTemp) + szName);
    RemoveStateDir();

    const std::string strProgram = ProgramFolder() + "DeviceSimulator.exe";
    const std::string strArguments =
        "--dir \"" + m_strDir + "\" --parent " + std::to_string(::GetCurrentProcessId());
    // The simulator gets no handles of ours, so that it never holds the
    // output of a test run open, and no console, so that Wine starts no
    // console host beside it.
    if (!m_process.Start(Widen(strProgram), Widen(strArguments), CHILD_OUTPUT_NONE, L"", DETACHED_PROCESS))
    {
        m_strLastReply = "error cannot start " + strProgram + " " + strArguments + ", error "
                         + std::to_string(m_process.LastError());
        return false;
    }
    if (!m_channel.Connect(ControlPipeName(m_strDir), kStartTimeoutMs) || !IsOk("ping"))
    {
        m_strLastReply = "error the simulator did not come up in " + m_strDir;
        Stop();
        return false;
    }
    ::SetEnvironmentVariableA(DEVSIM_DIR_VARIABLE, m_strDir.c_str());
    return true;
}

void CDeviceSimulator::Stop()
{
    if (!m_process.IsStarted())
        return;
    std::string strReply;
    m_channel.Transact("quit", strReply);
    m_channel.Close();
    // Ours to end if it does not end by itself.
    m_process.End(kStopTimeoutMs);
    ::SetEnvironmentVariableA(DEVSIM_DIR_VARIABLE, nullptr);
    char szKeep[8];
    if (::GetEnvironmentVariableA("ORVEK_DEVSIM_KEEP", szKeep, sizeof(szKeep)) == 0)
        RemoveStateDir();
}

void CDeviceSimulator::RemoveStateDir()
{
    WIN32_FIND_DATAA found;
    HANDLE hFind = ::FindFirstFileA(StateFile(m_strDir, "*").c_str(), &found);
    if (hFind != INVALID_HANDLE_VALUE)
    {
        do
        {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileA(StateFile(m_strDir, found.cFileName).c_str());
        } while (::FindNextFileA(hFind, &found));
        ::FindClose(hFind);
    }
    ::RemoveDirectoryA(m_strDir.c_str());
}

std::string CDeviceSimulator::Command(const std::string& strLine)
{
    if (!m_channel.Transact(strLine, m_strLastReply))
        m_strLastReply = "error the simulator does not answer";
    return m_strLastReply;
}

bool CDeviceSimulator::IsOk(const std::string& strLine)
{
    return Command(strLine).compare(0, 2, "ok") == 0;
}

bool CDeviceSimulator::AddEntry(const std::string& strCommand, std::string* pstrPath)
{
    if (!IsOk(strCommand))
        return false;
    if (pstrPath != nullptr)
        *pstrPath = m_strLastReply.substr(3);
    return true;
}

bool CDeviceSimulator::Plug(const std::string& strName, std::string* pstrPath, size_t nPathLength)
{
    return AddEntry(WithLength("plug " + strName, nPathLength), pstrPath);
}

bool CDeviceSimulator::Unplug(const std::string& strName)
{
    return IsOk("unplug " + strName);
}

bool CDeviceSimulator::AddPhantom(const std::string& strName, size_t nPathLength, std::string* pstrPath)
{
    return AddEntry(WithLength("phantom " + strName, nPathLength), pstrPath);
}

bool CDeviceSimulator::AddNoDetail(const std::string& strName)
{
    return IsOk("no-detail " + strName);
}

bool CDeviceSimulator::AddEnumError(const std::string& strName, DWORD dwError)
{
    return IsOk("enum-error " + strName + " code=" + std::to_string(dwError));
}

bool CDeviceSimulator::RefuseInterface(const std::string& strName)
{
    return IsOk("refuse " + strName + " interface");
}

bool CDeviceSimulator::AcceptInterface(const std::string& strName)
{
    return IsOk("accept " + strName + " interface");
}

bool CDeviceSimulator::RefusePipe(const std::string& strName)
{
    return IsOk("refuse " + strName + " pipe");
}

bool CDeviceSimulator::AcceptPipe(const std::string& strName)
{
    return IsOk("accept " + strName + " pipe");
}

bool CDeviceSimulator::BreakAfter(const std::string& strName, unsigned long long nBytes)
{
    return IsOk("break-after " + strName + " " + std::to_string(nBytes));
}

bool CDeviceSimulator::NoBreak(const std::string& strName)
{
    return IsOk("break-after " + strName + " off");
}

bool CDeviceSimulator::Exclusive(const std::string& strName, bool bExclusive)
{
    return IsOk("exclusive " + strName + (bExclusive ? " on" : " off"));
}

bool CDeviceSimulator::Stall(const std::string& strName)
{
    return IsOk("stall " + strName);
}

bool CDeviceSimulator::Resume(const std::string& strName)
{
    return IsOk("resume " + strName);
}

bool CDeviceSimulator::GetStats(const std::string& strName, CDeviceStats& stats)
{
    if (!IsOk("stats " + strName))
        return false;
    std::istringstream stream(m_strLastReply.substr(3));
    std::string strField;
    while (stream >> strField)
    {
        const size_t nEquals = strField.find('=');
        const std::string strKey = strField.substr(0, nEquals);
        const std::string strValue = nEquals == std::string::npos ? std::string() : strField.substr(nEquals + 1);
        for (const auto& counter : g_arrDeviceCounters)
            if (strKey == counter.first)
                stats.*counter.second = strtoull(strValue.c_str(), nullptr, 10);
        if (strKey == "path")
            stats.m_strPath = strValue;
    }
    return true;
}

bool CDeviceSimulator::WaitIdle(const std::string& strName, DWORD dwTimeoutMs)
{
    return IsOk("wait-idle " + strName + " " + std::to_string(dwTimeoutMs));
}

std::vector<unsigned char> CDeviceSimulator::RecordedBytes(const std::string& strName)
{
    std::string strContent;
    ReadWholeFile(RecordedPipeFile(m_strDir, strName), strContent);
    return std::vector<unsigned char>(strContent.begin(), strContent.end());
}

std::vector<std::string> CDeviceSimulator::SetupApiLog()
{
    return ReadLines(StateFile(m_strDir, DEVSIM_SETUPAPI_LOG));
}

unsigned long CDeviceSimulator::CountLogLines(const std::string& strStart)
{
    unsigned long nCount = 0;
    for (const std::string& strLine : SetupApiLog())
        if (strLine.compare(0, strStart.size(), strStart) == 0)
            ++nCount;
    return nCount;
}
