// The simulator's state and its control commands.
#include "Simulator.h"
#include <cstdlib>
#include <sstream>
#include "StateDir.h"

namespace
{
constexpr size_t kMaxNameLength = 32;

std::vector<std::string> SplitWords(const std::string& strLine)
{
    std::vector<std::string> arrWords;
    std::istringstream stream(strLine);
    std::string strWord;
    while (stream >> strWord)
        arrWords.push_back(strWord);
    return arrWords;
}

bool IsValidName(const std::string& strName)
{
    if (strName.empty() || strName.size() > kMaxNameLength || strName == "control")
        return false;
    for (char ch : strName)
        if (!((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '-'
              || ch == '_' || ch == '.'))
            return false;
    return true;
}

// The value of "key=value" among arrWords from nFirst on, or empty.
std::string FindOption(const std::vector<std::string>& arrWords, size_t nFirst, const std::string& strKey)
{
    for (size_t i = nFirst; i < arrWords.size(); ++i)
        if (arrWords[i].compare(0, strKey.size() + 1, strKey + "=") == 0)
            return arrWords[i].substr(strKey.size() + 1);
    return std::string();
}

bool ParseNumber(const std::string& strText, unsigned long long& nValue)
{
    if (strText.empty())
        return false;
    char* pEnd = nullptr;
    nValue = strtoull(strText.c_str(), &pEnd, 0);
    return *pEnd == '\0';
}

bool WriteFileAtomically(const std::string& strPath, const std::string& strContent)
{
    const std::string strTemporary = strPath + ".new";
    HANDLE hFile = ::CreateFileA(strTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD dwWritten = 0;
    const bool bWritten = ::WriteFile(hFile, strContent.data(), static_cast<DWORD>(strContent.size()), &dwWritten,
                                      nullptr) && dwWritten == strContent.size();
    ::CloseHandle(hFile);
    return bWritten && ::MoveFileExA(strTemporary.c_str(), strPath.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Waits for an overlapped read or write that bStarted tells how it began;
// false if it failed.
bool Finished(HANDLE hPipe, BOOL bStarted, OVERLAPPED& overlapped, DWORD& dwDone)
{
    return (bStarted || ::GetLastError() == ERROR_IO_PENDING) && ::GetOverlappedResult(hPipe, &overlapped, &dwDone, TRUE);
}

std::string ErrorText(DWORD dwError)
{
    return "error " + std::to_string(dwError);
}
}

CSimulator::CSimulator(const std::string& strDir, CSimulatorLog& log)
    : m_strDir(strDir), m_log(log), m_hQuit(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    ::InitializeCriticalSection(&m_lock);
}

CSimulator::~CSimulator()
{
    Shutdown();
    ::CloseHandle(m_hQuit);
    ::DeleteCriticalSection(&m_lock);
}

bool CSimulator::Start(std::string& strError)
{
    if (!WriteDevicesFile(strError))
        return false;
    if (!m_controlListener.Start(ControlPipeName(m_strDir), 4096, [this](HANDLE hPipe) {
            auto* pControl = new SControlSession{ this, hPipe };
            HANDLE hThread = ::CreateThread(nullptr, 0, ControlThread, pControl, 0, nullptr);
            if (hThread == nullptr)
            {
                ::CloseHandle(hPipe);
                delete pControl;
                return;
            }
            ::CloseHandle(hThread);
        }))
    {
        strError = "cannot serve " + ControlPipeName(m_strDir) + ", " + ErrorText(::GetLastError());
        return false;
    }
    return true;
}

void CSimulator::Shutdown()
{
    m_controlListener.Stop();
    ::EnterCriticalSection(&m_lock);
    std::vector<SEntry> arrEntries;
    arrEntries.swap(m_arrEntries);
    std::string strError;
    WriteDevicesFile(strError);
    ::LeaveCriticalSection(&m_lock);
    for (SEntry& entry : arrEntries)
        if (entry.m_pDevice)
            entry.m_pDevice->Unplug();
}

DWORD WINAPI CSimulator::ControlThread(LPVOID pParam)
{
    auto* pControl = static_cast<SControlSession*>(pParam);
    pControl->m_pSimulator->RunControlSession(pControl->m_hPipe);
    delete pControl;
    return 0;
}

// Reads command lines from one control client and answers each.
void CSimulator::RunControlSession(HANDLE hPipe)
{
    HANDLE hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::string strPending;
    for (;;)
    {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = hEvent;
        DWORD dwDone = 0;
        const size_t nNewline = strPending.find('\n');
        if (nNewline != std::string::npos)
        {
            std::string strLine = strPending.substr(0, nNewline);
            strPending.erase(0, nNewline + 1);
            if (!strLine.empty() && strLine.back() == '\r')
                strLine.pop_back();
            const std::string strReply = Execute(strLine) + "\n";
            if (!Finished(hPipe, ::WriteFile(hPipe, strReply.data(), static_cast<DWORD>(strReply.size()), nullptr,
                                             &overlapped), overlapped, dwDone))
                break;
            continue;
        }
        char buffer[4096];
        if (!Finished(hPipe, ::ReadFile(hPipe, buffer, sizeof(buffer), nullptr, &overlapped), overlapped, dwDone))
            break;
        strPending.append(buffer, dwDone);
    }
    ::DisconnectNamedPipe(hPipe);
    ::CloseHandle(hPipe);
    ::CloseHandle(hEvent);
}

std::string CSimulator::Execute(const std::string& strLine)
{
    const std::string strReply = Run(SplitWords(strLine));
    m_log.Write("> " + strLine + "  < " + strReply);
    return strReply;
}

CSimulator::SEntry* CSimulator::FindEntry(const std::string& strName)
{
    for (SEntry& entry : m_arrEntries)
        if (entry.m_strName == strName)
            return &entry;
    return nullptr;
}

std::shared_ptr<CSimulatedDevice> CSimulator::FindDevice(const std::string& strName)
{
    ::EnterCriticalSection(&m_lock);
    SEntry* pEntry = FindEntry(strName);
    std::shared_ptr<CSimulatedDevice> pDevice = pEntry != nullptr ? pEntry->m_pDevice : nullptr;
    ::LeaveCriticalSection(&m_lock);
    return pDevice;
}

// The interface path for strName, padded with 'x' to the length that a
// "length=N" option asks for.
bool CSimulator::MakePath(const std::string& strName, const std::vector<std::string>& arrOptions,
                          std::string& strPath, std::string& strError)
{
    strPath = DevicePipePath(m_strDir, strName);
    const std::string strLength = FindOption(arrOptions, 2, "length");
    if (strLength.empty())
        return true;
    unsigned long long nLength = 0;
    if (!ParseNumber(strLength, nLength) || nLength > 4096 || nLength < strPath.size())
    {
        strError = "error length must be from " + std::to_string(strPath.size()) + " to 4096";
        return false;
    }
    if (nLength > strPath.size())
    {
        strPath += '-';
        strPath.append(nLength - strPath.size(), 'x');
    }
    return true;
}

bool CSimulator::WriteDevicesFile(std::string& strError)
{
    std::string strContent;
    for (const SEntry& entry : m_arrEntries)
    {
        switch (entry.m_eKind)
        {
        case EEntryKind::Device:
        case EEntryKind::Phantom:
            strContent += "interface " + entry.m_strPath + "\r\n";
            break;
        case EEntryKind::NoDetail:
            strContent += "no-detail " + entry.m_strPath + "\r\n";
            break;
        case EEntryKind::EnumError:
            strContent += "enum-error " + std::to_string(entry.m_dwError) + "\r\n";
            break;
        }
    }
    if (!WriteFileAtomically(StateFile(m_strDir, DEVSIM_DEVICES_FILE), strContent))
    {
        strError = "error cannot write " + StateFile(m_strDir, DEVSIM_DEVICES_FILE) + ", "
                   + ErrorText(::GetLastError());
        return false;
    }
    return true;
}

std::string CSimulator::AddEntry(const std::vector<std::string>& arrWords, EEntryKind eKind)
{
    if (arrWords.size() < 2 || !IsValidName(arrWords[1]))
        return "error usage: " + arrWords[0] + " <name of 1 to 32 letters, digits, '-', '_', '.'> [options]";
    SEntry entry{ arrWords[1], eKind, std::string(), 0, nullptr };
    std::string strError;
    if (eKind == EEntryKind::EnumError)
    {
        unsigned long long nCode = ERROR_GEN_FAILURE;
        const std::string strCode = FindOption(arrWords, 2, "code");
        if (!strCode.empty() && (!ParseNumber(strCode, nCode) || nCode == 0 || nCode > 0xFFFFFFFFull))
            return "error code must be a non-zero 32-bit number";
        entry.m_dwError = static_cast<DWORD>(nCode);
    }
    else if (!MakePath(entry.m_strName, arrWords, entry.m_strPath, strError))
    {
        return strError;
    }

    ::EnterCriticalSection(&m_lock);
    std::string strReply;
    if (FindEntry(entry.m_strName) != nullptr)
    {
        strReply = "error " + entry.m_strName + " is already listed";
    }
    else
    {
        if (eKind == EEntryKind::Device)
        {
            entry.m_pDevice = std::make_shared<CSimulatedDevice>(
                entry.m_strName, entry.m_strPath, RecordedPipeFile(m_strDir, entry.m_strName), m_log);
            if (!entry.m_pDevice->Plug(strError))
                strReply = "error " + strError;
        }
        if (strReply.empty())
        {
            m_arrEntries.push_back(entry);
            if (WriteDevicesFile(strError))
            {
                strReply = entry.m_strPath.empty() ? "ok" : "ok " + entry.m_strPath;
            }
            else
            {
                m_arrEntries.pop_back();
                strReply = strError;
            }
        }
    }
    ::LeaveCriticalSection(&m_lock);
    if (strReply.compare(0, 2, "ok") != 0 && entry.m_pDevice)
        entry.m_pDevice->Unplug();
    return strReply;
}

std::string CSimulator::Run(const std::vector<std::string>& arrWords)
{
    if (arrWords.empty())
        return "error empty command";
    const std::string& strCommand = arrWords[0];
    if (strCommand == "ping")
        return "ok";
    if (strCommand == "quit")
    {
        ::SetEvent(m_hQuit);
        return "ok";
    }
    if (strCommand == "list")
    {
        std::string strReply = "ok";
        ::EnterCriticalSection(&m_lock);
        for (const SEntry& entry : m_arrEntries)
            strReply += " " + entry.m_strName;
        ::LeaveCriticalSection(&m_lock);
        return strReply;
    }
    if (strCommand == "plug")
        return AddEntry(arrWords, EEntryKind::Device);
    if (strCommand == "phantom")
        return AddEntry(arrWords, EEntryKind::Phantom);
    if (strCommand == "no-detail")
        return AddEntry(arrWords, EEntryKind::NoDetail);
    if (strCommand == "enum-error")
        return AddEntry(arrWords, EEntryKind::EnumError);

    if (arrWords.size() < 2)
        return "error usage: " + strCommand + " <name> ...";
    const std::string& strName = arrWords[1];

    if (strCommand == "unplug")
    {
        ::EnterCriticalSection(&m_lock);
        std::shared_ptr<CSimulatedDevice> pDevice;
        std::string strReply = "error " + strName + " is not listed";
        for (auto it = m_arrEntries.begin(); it != m_arrEntries.end(); ++it)
            if (it->m_strName == strName)
            {
                pDevice = it->m_pDevice;
                m_arrEntries.erase(it);
                std::string strError;
                strReply = WriteDevicesFile(strError) ? "ok" : strError;
                break;
            }
        ::LeaveCriticalSection(&m_lock);
        // Listed no more before its pipes go, as when a real device leaves.
        if (pDevice)
            pDevice->Unplug();
        return strReply;
    }

    std::shared_ptr<CSimulatedDevice> pDevice = FindDevice(strName);
    if (!pDevice)
        return "error " + strName + " is not a plugged device";

    if (strCommand == "refuse" || strCommand == "accept")
    {
        if (arrWords.size() != 3 || (arrWords[2] != "interface" && arrWords[2] != "pipe"))
            return "error usage: " + strCommand + " <name> interface|pipe";
        std::string strError;
        const EEndpoint endpoint = arrWords[2] == "interface" ? EEndpoint::Interface : EEndpoint::Pipe;
        return pDevice->SetAccepting(endpoint, strCommand == "accept", strError) ? "ok" : "error " + strError;
    }
    if (strCommand == "break-after")
    {
        unsigned long long nBytes = 0;
        if (arrWords.size() == 3 && arrWords[2] == "off")
            pDevice->SetBreakAfter(-1);
        else if (arrWords.size() == 3 && ParseNumber(arrWords[2], nBytes) && nBytes < (1ull << 62))
            pDevice->SetBreakAfter(static_cast<long long>(nBytes));
        else
            return "error usage: break-after <name> <bytes>|off";
        return "ok";
    }
    if (strCommand == "exclusive")
    {
        if (arrWords.size() != 3 || (arrWords[2] != "on" && arrWords[2] != "off"))
            return "error usage: exclusive <name> on|off";
        std::string strError;
        return pDevice->SetExclusive(arrWords[2] == "on", strError) ? "ok" : "error " + strError;
    }
    if (strCommand == "stall" || strCommand == "resume")
    {
        pDevice->SetStalled(strCommand == "stall");
        return "ok";
    }
    if (strCommand == "stats")
    {
        const CDeviceCounters counters = pDevice->Counters();
        std::string strReply = "ok";
        for (const auto& counter : g_arrDeviceCounters)
            strReply += std::string(" ") + counter.first + "=" + std::to_string(counters.*counter.second);
        return strReply + " path=" + pDevice->Path();
    }
    if (strCommand == "wait-idle")
    {
        unsigned long long nTimeout = 0;
        if (arrWords.size() != 3 || !ParseNumber(arrWords[2], nTimeout) || nTimeout > 600000)
            return "error usage: wait-idle <name> <milliseconds up to 600000>";
        return pDevice->WaitIdle(static_cast<DWORD>(nTimeout)) ? "ok" : "error timeout";
    }
    return "error unknown command " + strCommand;
}
