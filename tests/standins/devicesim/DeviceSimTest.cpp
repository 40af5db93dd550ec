// Tests of the device stand-in: the stand-in setupapi.dll as the updater
// calls it, and the simulator's pipes and misbehaviours, through real
// CreateFileA/WriteFile on its named pipes.
#include <windows.h>
#include <setupapi.h>
#include <gtest/gtest.h>
#include <cstddef>
#include <string>
#include <vector>
#include "DeviceSimControl.h"
#include "support/DeviceStats.h"
#include "support/Wait.h"

namespace
{
const GUID kDownloadModeClass =
    { 0x8E120C45, 0x4968, 0x4188, { 0xBA, 0x19, 0x9A, 0x82, 0x36, 0x1C, 0x8F, 0xA8 } };
constexpr DWORD kFlags = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;

HANDLE OpenShared(const std::string& strPath)
{
    return ::CreateFileA(strPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
}

// Opens the path and closes it again; true if it opened, else the last
// error says why.
bool Opens(const std::string& strPath)
{
    HANDLE hFile = OpenShared(strPath);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(hFile);
    return true;
}

// What one enumeration index gives: the error (0 on success) and the path.
struct SEnumerated
{
    DWORD m_dwError;
    std::string m_strPath;
};

std::vector<SEnumerated> EnumerateAll(const GUID& interfaceClass = kDownloadModeClass)
{
    std::vector<SEnumerated> arrResult;
    HDEVINFO hDevInfo = ::SetupDiGetClassDevsA(&interfaceClass, nullptr, nullptr, kFlags);
    EXPECT_NE(hDevInfo, INVALID_HANDLE_VALUE);
    SP_DEVICE_INTERFACE_DATA data;
    data.cbSize = sizeof(data);
    for (DWORD dwIndex = 0; dwIndex < 100; ++dwIndex)
    {
        if (!::SetupDiEnumDeviceInterfaces(hDevInfo, nullptr, &interfaceClass, dwIndex, &data))
        {
            const DWORD dwError = ::GetLastError();
            if (dwError == ERROR_NO_MORE_ITEMS)
                break;
            arrResult.push_back({ dwError, std::string() });
            continue;
        }
        DWORD dwSize = 0;
        ::SetupDiGetDeviceInterfaceDetailA(hDevInfo, &data, nullptr, 0, &dwSize, nullptr);
        std::vector<BYTE> buffer(dwSize);
        auto* pDetail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
        pDetail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (!::SetupDiGetDeviceInterfaceDetailA(hDevInfo, &data, pDetail, dwSize, nullptr, nullptr))
            arrResult.push_back({ ::GetLastError(), std::string() });
        else
            arrResult.push_back({ 0, pDetail->DevicePath });
    }
    EXPECT_TRUE(::SetupDiDestroyDeviceInfoList(hDevInfo));
    return arrResult;
}

bool WriteAll(HANDLE hPipe, const std::vector<unsigned char>& bytes)
{
    DWORD dwWritten = 0;
    return ::WriteFile(hPipe, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr)
           && dwWritten == bytes.size();
}

std::vector<unsigned char> Pattern(size_t nSize, unsigned char nSeed)
{
    std::vector<unsigned char> bytes(nSize);
    for (size_t i = 0; i < nSize; ++i)
        bytes[i] = static_cast<unsigned char>(nSeed + i * 7 + (i >> 8));
    return bytes;
}

// Writes m_bytes in pieces of 2048 bytes on a thread of its own.
struct SWriter
{
    HANDLE m_hPipe;
    std::vector<unsigned char> m_bytes;
    bool m_bOk;
};

DWORD WINAPI WriterThread(LPVOID pParam)
{
    auto* pWriter = static_cast<SWriter*>(pParam);
    pWriter->m_bOk = true;
    for (size_t nDone = 0; nDone < pWriter->m_bytes.size() && pWriter->m_bOk; nDone += 2048)
    {
        DWORD dwWritten = 0;
        pWriter->m_bOk = ::WriteFile(pWriter->m_hPipe, pWriter->m_bytes.data() + nDone, 2048, &dwWritten, nullptr) != FALSE;
    }
    return 0;
}

class DeviceSimTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_simulator.Start()) << m_simulator.LastReply(); }
    CDeviceSimulator m_simulator;
};
}

TEST(DeviceSimNoSimulator, ListsNothingWithoutAStateFolder)
{
    ::SetEnvironmentVariableA("ORVEK_DEVSIM_DIR", nullptr);
    EXPECT_TRUE(EnumerateAll().empty());
}

TEST_F(DeviceSimTest, ListsPresentDevicesInPlugOrder)
{
    std::string strFirst, strSecond;
    ASSERT_TRUE(m_simulator.Plug("first", &strFirst)) << m_simulator.LastReply();
    ASSERT_TRUE(m_simulator.Plug("second", &strSecond)) << m_simulator.LastReply();
    EXPECT_EQ(strFirst.compare(0, 15, "\\\\.\\pipe\\orvek-"), 0) << strFirst;

    std::vector<SEnumerated> arrFound = EnumerateAll();
    ASSERT_EQ(arrFound.size(), 2u);
    EXPECT_EQ(arrFound[0].m_strPath, strFirst);
    EXPECT_EQ(arrFound[1].m_strPath, strSecond);

    ASSERT_TRUE(m_simulator.Unplug("first"));
    arrFound = EnumerateAll();
    ASSERT_EQ(arrFound.size(), 1u);
    EXPECT_EQ(arrFound[0].m_strPath, strSecond);

    ASSERT_TRUE(m_simulator.Plug("first", &strFirst));
    arrFound = EnumerateAll();
    ASSERT_EQ(arrFound.size(), 2u);
    EXPECT_EQ(arrFound[1].m_strPath, strFirst) << "a device plugged again comes last";
}

TEST_F(DeviceSimTest, OtherInterfaceClassesAndFlagsListNothing)
{
    ASSERT_TRUE(m_simulator.Plug("dev1"));
    const GUID otherClass = { 0x8E120C45, 0x4968, 0x4188, { 0xBA, 0x19, 0x9A, 0x82, 0x36, 0x1C, 0x8F, 0xA9 } };
    EXPECT_TRUE(EnumerateAll(otherClass).empty());

    HDEVINFO hDevInfo = ::SetupDiGetClassDevsA(&kDownloadModeClass, nullptr, nullptr, DIGCF_PRESENT);
    SP_DEVICE_INTERFACE_DATA data;
    data.cbSize = sizeof(data);
    EXPECT_FALSE(::SetupDiEnumDeviceInterfaces(hDevInfo, nullptr, &kDownloadModeClass, 0, &data));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    ::SetupDiDestroyDeviceInfoList(hDevInfo);
}

TEST_F(DeviceSimTest, DetailAndEnumerationFollowSetupApiErrorRules)
{
    std::string strPath;
    ASSERT_TRUE(m_simulator.Plug("dev1", &strPath));
    HDEVINFO hDevInfo = ::SetupDiGetClassDevsA(&kDownloadModeClass, nullptr, nullptr, kFlags);
    SP_DEVICE_INTERFACE_DATA data;
    data.cbSize = sizeof(data) + 4;
    EXPECT_FALSE(::SetupDiEnumDeviceInterfaces(hDevInfo, nullptr, &kDownloadModeClass, 0, &data));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
    data.cbSize = sizeof(data);
    ASSERT_TRUE(::SetupDiEnumDeviceInterfaces(hDevInfo, nullptr, &kDownloadModeClass, 0, &data));

    DWORD dwSize = 0;
    EXPECT_FALSE(::SetupDiGetDeviceInterfaceDetailA(hDevInfo, &data, nullptr, 0, &dwSize, nullptr));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(dwSize, offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + strPath.size() + 1);

    std::vector<BYTE> buffer(dwSize);
    auto* pDetail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    // The other architecture's record size is refused.
#ifdef _WIN64
    pDetail->cbSize = 5;
#else
    pDetail->cbSize = 8;
#endif
    EXPECT_FALSE(::SetupDiGetDeviceInterfaceDetailA(hDevInfo, &data, pDetail, dwSize, nullptr, nullptr));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
    pDetail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    EXPECT_FALSE(::SetupDiGetDeviceInterfaceDetailA(hDevInfo, &data, pDetail, dwSize - 1, nullptr, nullptr));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_TRUE(::SetupDiGetDeviceInterfaceDetailA(hDevInfo, &data, pDetail, dwSize, nullptr, nullptr));
    EXPECT_EQ(std::string(pDetail->DevicePath), strPath);

    EXPECT_TRUE(::SetupDiDestroyDeviceInfoList(hDevInfo));
    EXPECT_FALSE(::SetupDiDestroyDeviceInfoList(INVALID_HANDLE_VALUE));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(DeviceSimTest, TestOnlyEntriesFailWhereTheyAreListed)
{
    std::string strPhantom, strDevice;
    ASSERT_TRUE(m_simulator.AddEnumError("e1", 13));
    ASSERT_TRUE(m_simulator.AddNoDetail("n1"));
    ASSERT_TRUE(m_simulator.AddPhantom("p1", 300, &strPhantom));
    ASSERT_TRUE(m_simulator.Plug("dev1", &strDevice));

    const std::vector<SEnumerated> arrFound = EnumerateAll();
    ASSERT_EQ(arrFound.size(), 4u);
    EXPECT_EQ(arrFound[0].m_dwError, 13u);
    EXPECT_EQ(arrFound[1].m_dwError, static_cast<DWORD>(ERROR_NO_SUCH_DEVINST));
    EXPECT_EQ(arrFound[2].m_dwError, 0u);
    EXPECT_EQ(arrFound[2].m_strPath.size(), 300u);
    EXPECT_EQ(arrFound[2].m_strPath, strPhantom);
    EXPECT_EQ(arrFound[3].m_strPath, strDevice);
}

TEST_F(DeviceSimTest, LogsEverySetWithItsFlagsAndItsRelease)
{
    EnumerateAll();
    EnumerateAll();
    EXPECT_EQ(m_simulator.EnumerationCount(), 2u);
    EXPECT_EQ(m_simulator.ReleasedSetCount(), 2u);
    const std::vector<std::string> arrLog = m_simulator.SetupApiLog();
    ASSERT_FALSE(arrLog.empty());
    EXPECT_NE(arrLog[0].find("flags=0x12 class=dlmode enumerator=none parent=none"), std::string::npos) << arrLog[0];
}

TEST_F(DeviceSimTest, RecordsPipeBytesAndCountsOpensAndCloses)
{
    std::string strPath;
    ASSERT_TRUE(m_simulator.Plug("dev1", &strPath));
    HANDLE hInterface = OpenShared(strPath);
    ASSERT_NE(hInterface, INVALID_HANDLE_VALUE) << ::GetLastError();
    ::CloseHandle(hInterface);

    HANDLE hPipe = OpenShared(strPath + "\\PIPE00");
    ASSERT_NE(hPipe, INVALID_HANDLE_VALUE) << ::GetLastError();
    const std::vector<unsigned char> head = Pattern(20, 1);
    const std::vector<unsigned char> body = Pattern(100000, 9);
    EXPECT_TRUE(WriteAll(hPipe, head));
    for (size_t nDone = 0; nDone < body.size(); nDone += 2048)
    {
        const std::vector<unsigned char> piece(body.begin() + nDone,
                                               body.begin() + std::min(body.size(), nDone + 2048));
        ASSERT_TRUE(WriteAll(hPipe, piece)) << "at " << nDone << ", error " << ::GetLastError();
    }
    ::CloseHandle(hPipe);

    ASSERT_TRUE(m_simulator.WaitIdle("dev1")) << m_simulator.LastReply();
    std::vector<unsigned char> expected = head;
    expected.insert(expected.end(), body.begin(), body.end());
    EXPECT_EQ(m_simulator.RecordedBytes("dev1"), expected);

    const CDeviceStats stats = SettledStats(m_simulator, "dev1");
    EXPECT_EQ(stats.m_nInterfaceOpens, 1u);
    EXPECT_EQ(stats.m_nInterfaceCloses, 1u);
    EXPECT_EQ(stats.m_nPipeOpens, 1u);
    EXPECT_EQ(stats.m_nPipeCloses, 1u);
    EXPECT_EQ(stats.m_nPipeBytes, expected.size());
    EXPECT_EQ(stats.m_strPath, strPath);
}

TEST_F(DeviceSimTest, EveryOpenGetsAFreshInstance)
{
    std::string strPath;
    ASSERT_TRUE(m_simulator.Plug("dev1", &strPath));
    for (int i = 0; i < 50; ++i)
    {
        ASSERT_TRUE(Opens(strPath)) << "open " << i << ", error " << ::GetLastError();
        ASSERT_TRUE(m_simulator.WaitIdle("dev1"));
    }
    std::vector<HANDLE> arrOpen;
    for (int i = 0; i < 20; ++i)
    {
        arrOpen.push_back(OpenShared(strPath));
        EXPECT_NE(arrOpen.back(), INVALID_HANDLE_VALUE) << "open " << i << " held with the others";
    }
    for (HANDLE h : arrOpen)
        ::CloseHandle(h);
    const CDeviceStats stats = SettledStats(m_simulator, "dev1");
    EXPECT_EQ(stats.m_nInterfaceOpens, 70u);
    EXPECT_EQ(stats.m_nInterfaceCloses, 70u);
}

TEST_F(DeviceSimTest, RefusedOpensFailUntilAcceptedAgain)
{
    std::string strPath;
    ASSERT_TRUE(m_simulator.Plug("dev1", &strPath));
    ASSERT_TRUE(m_simulator.RefuseInterface("dev1"));
    ASSERT_TRUE(m_simulator.RefusePipe("dev1"));
    EXPECT_EQ(OpenShared(strPath), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenShared(strPath + "\\PIPE00"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(EnumerateAll().size(), 1u) << "a refusing device is still present";

    ASSERT_TRUE(m_simulator.AcceptInterface("dev1"));
    EXPECT_TRUE(Opens(strPath));
    EXPECT_EQ(OpenShared(strPath + "\\PIPE00"), INVALID_HANDLE_VALUE);
    ASSERT_TRUE(m_simulator.AcceptPipe("dev1"));
    EXPECT_TRUE(Opens(strPath + "\\PIPE00"));
}

// An exclusive device refuses its interface while PIPE00 is open, and
// takes opens again once it is closed.
TEST_F(DeviceSimTest, ExclusiveDeviceRefusesItsInterfaceWhilePipeIsOpen)
{
    std::string strPath;
    ASSERT_TRUE(m_simulator.Plug("dev1", &strPath));
    ASSERT_TRUE(m_simulator.Exclusive("dev1"));
    const auto InterfaceOpens = [&strPath] { return Opens(strPath); };
    EXPECT_TRUE(InterfaceOpens());

    HANDLE hPipe = OpenShared(strPath + "\\PIPE00");
    ASSERT_NE(hPipe, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WaitFor([&] { return !InterfaceOpens(); }, 5000, 10)) << "opens while the pipe is open";
    EXPECT_EQ(EnumerateAll().size(), 1u) << "a busy device is still present";
    ::CloseHandle(hPipe);
    EXPECT_TRUE(WaitFor(InterfaceOpens, 5000, 10)) << "refused after the pipe closed";

    ASSERT_TRUE(m_simulator.Exclusive("dev1", false));
    hPipe = OpenShared(strPath + "\\PIPE00");
    ASSERT_NE(hPipe, INVALID_HANDLE_VALUE);
    ::Sleep(100);
    EXPECT_TRUE(InterfaceOpens()) << "a shared device refused its interface";
    ::CloseHandle(hPipe);
}

TEST_F(DeviceSimTest, BrokenPipeKeepsExactlyTheBytesBeforeTheBreak)
{
    std::string strPath;
    ASSERT_TRUE(m_simulator.Plug("dev1", &strPath));
    ASSERT_TRUE(m_simulator.BreakAfter("dev1", 5000));
    HANDLE hPipe = OpenShared(strPath + "\\PIPE00");
    ASSERT_NE(hPipe, INVALID_HANDLE_VALUE);
    const std::vector<unsigned char> body = Pattern(64 * 2048, 3);
    size_t nAccepted = 0;
    for (size_t nDone = 0; nDone < body.size(); nDone += 2048)
    {
        const std::vector<unsigned char> piece(body.begin() + nDone, body.begin() + nDone + 2048);
        if (!WriteAll(hPipe, piece))
            break;
        nAccepted += piece.size();
    }
    EXPECT_LT(nAccepted, body.size()) << "writes go on failing once the pipe is broken";
    DWORD dwWritten = 0;
    EXPECT_FALSE(::WriteFile(hPipe, body.data(), 2048, &dwWritten, nullptr));
    ::CloseHandle(hPipe);

    ASSERT_TRUE(m_simulator.WaitIdle("dev1"));
    EXPECT_EQ(m_simulator.RecordedBytes("dev1"), std::vector<unsigned char>(body.begin(), body.begin() + 5000));
    EXPECT_EQ(SettledStats(m_simulator, "dev1").m_nPipeBreaks, 1u);
}

TEST_F(DeviceSimTest, StalledDeviceHoldsTheWriterUntilResumed)
{
    std::string strPath;
    ASSERT_TRUE(m_simulator.Plug("dev1", &strPath));
    ASSERT_TRUE(m_simulator.Stall("dev1"));
    SWriter writer{ OpenShared(strPath + "\\PIPE00"), Pattern(256 * 1024, 5), false };
    ASSERT_NE(writer.m_hPipe, INVALID_HANDLE_VALUE);
    HANDLE hThread = ::CreateThread(nullptr, 0, WriterThread, &writer, 0, nullptr);
    ASSERT_NE(hThread, nullptr);
    EXPECT_EQ(::WaitForSingleObject(hThread, 1000), static_cast<DWORD>(WAIT_TIMEOUT))
        << "256 KiB went into a pipe that reads nothing";
    ASSERT_TRUE(m_simulator.Resume("dev1"));
    EXPECT_EQ(::WaitForSingleObject(hThread, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
    ::CloseHandle(hThread);
    EXPECT_TRUE(writer.m_bOk);
    ::CloseHandle(writer.m_hPipe);
    ASSERT_TRUE(m_simulator.WaitIdle("dev1"));
    EXPECT_EQ(m_simulator.RecordedBytes("dev1"), writer.m_bytes);
}

TEST_F(DeviceSimTest, UnplugBreaksOpenPipesAndListsTheDeviceNoMore)
{
    std::string strPath;
    ASSERT_TRUE(m_simulator.Plug("dev1", &strPath));
    HANDLE hPipe = OpenShared(strPath + "\\PIPE00");
    ASSERT_NE(hPipe, INVALID_HANDLE_VALUE);
    const std::vector<unsigned char> piece = Pattern(2048, 1);
    EXPECT_TRUE(WriteAll(hPipe, piece));
    ASSERT_TRUE(m_simulator.Unplug("dev1"));
    EXPECT_FALSE(WriteAll(hPipe, piece));
    ::CloseHandle(hPipe);
    EXPECT_EQ(OpenShared(strPath), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(EnumerateAll().empty());
}

TEST_F(DeviceSimTest, LongPathsAsFarAsEightBitPathsReach)
{
    const struct { size_t m_nLength; bool m_bPipeOpens; } arrRows[] = { { 252, true }, { 253, false }, { 259, false } };
    for (const auto& row : arrRows)
    {
        SCOPED_TRACE("path of " + std::to_string(row.m_nLength) + " characters");
        const std::string strName = "long" + std::to_string(row.m_nLength);
        std::string strPath;
        ASSERT_TRUE(m_simulator.Plug(strName, &strPath, row.m_nLength)) << m_simulator.LastReply();
        EXPECT_EQ(strPath.size(), row.m_nLength);
        EXPECT_TRUE(Opens(strPath)) << ::GetLastError();
        EXPECT_EQ(Opens(strPath + "\\PIPE00"), row.m_bPipeOpens) << ::GetLastError();
    }
}
