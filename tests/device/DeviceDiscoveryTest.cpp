// Device discovery and pipe opening against the device simulator: the real
// search code, the stand-in setupapi.dll and real CreateFileA on the
// simulator's named pipes.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "device/DeviceDiscovery.h"
#include "device/FirmwareTransfer.h"
#include "DeviceSimControl.h"
#include "support/DeviceStats.h"

namespace
{
const char kMarker[] = "left by an earlier search";

std::string DevicePath()
{
    return std::string(g_szDevicePath, strnlen(g_szDevicePath, DEVICE_PATH_SIZE));
}

class DeviceDiscoveryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sim.Start()) << m_sim.LastReply();
        strcpy(g_szDevicePath, kMarker);
    }

    // Closes a handle that the search code opened; true if it opened one.
    static bool Opened(HANDLE hDevice)
    {
        if (hDevice == INVALID_HANDLE_VALUE)
            return false;
        ::CloseHandle(hDevice);
        return true;
    }
    // Opens and closes the probe's handle as the window does; true if a device answered.
    static bool Probe() { return Opened(OpenDevice()); }

    CDeviceSimulator m_sim;
};

bool WriteAll(HANDLE hPipe, const std::vector<unsigned char>& bytes)
{
    return WriteDevice(hPipe, bytes.data(), static_cast<DWORD>(bytes.size())) == bytes.size();
}
}

TEST_F(DeviceDiscoveryTest, NoDeviceFindsNothingAndAppendsNothing)
{
    EXPECT_EQ(OpenDevice(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenDevicePipe("PIPE00"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(DevicePath(), kMarker);
    EXPECT_EQ(m_sim.EnumerationCount(), 2u);
    EXPECT_EQ(m_sim.ReleasedSetCount(), 2u);
}

TEST_F(DeviceDiscoveryTest, SearchAsksForPresentInterfacesOfTheClassAndReleasesEverySet)
{
    ASSERT_TRUE(m_sim.Plug("dev1"));
    ASSERT_TRUE(m_sim.AddPhantom("gone"));
    ASSERT_TRUE(Probe());
    ASSERT_TRUE(Opened(OpenDevicePipe("PIPE00")));
    ASSERT_TRUE(m_sim.Unplug("dev1"));
    EXPECT_FALSE(Probe());

    const std::vector<std::string> arrLog = m_sim.SetupApiLog();
    ASSERT_EQ(arrLog.size(), 6u);
    for (size_t i = 0; i < arrLog.size(); i += 2)
    {
        SCOPED_TRACE("search " + std::to_string(i / 2 + 1));
        EXPECT_NE(arrLog[i].find("flags=0x12 class=dlmode enumerator=none parent=none"), std::string::npos)
            << arrLog[i];
        const std::string strSet = arrLog[i].substr(arrLog[i].find("pid="), arrLog[i].find(" flags") - arrLog[i].find("pid="));
        EXPECT_EQ(arrLog[i + 1], "destroy " + strSet);
    }
}

TEST_F(DeviceDiscoveryTest, GuidIsTheDownloadModeClass)
{
    const GUID expected = { 0x8E120C45, 0x4968, 0x4188, { 0xBA, 0x19, 0x9A, 0x82, 0x36, 0x1C, 0x8F, 0xA8 } };
    EXPECT_TRUE(IsEqualGUID(GUID_DEVINTERFACE_DLMODE, expected));
}

TEST_F(DeviceDiscoveryTest, FirstDeviceInEnumerationOrderWinsAndOnlyItIsOpened)
{
    std::string strFirst;
    ASSERT_TRUE(m_sim.Plug("first", &strFirst));
    ASSERT_TRUE(m_sim.Plug("second"));
    EXPECT_TRUE(Probe());
    EXPECT_EQ(DevicePath(), strFirst);
    EXPECT_EQ(SettledStats(m_sim, "first").m_nInterfaceOpens, 1u);
    EXPECT_EQ(SettledStats(m_sim, "second").m_nInterfaceOpens, 0u);
}

TEST_F(DeviceDiscoveryTest, InterfaceThatDoesNotOpenIsPassedOver)
{
    const struct
    {
        const char* m_pszCase;
        bool m_bPhantom;
    } arrRows[] = { { "first device refuses the open", false }, { "first interface has no server", true } };
    for (const auto& row : arrRows)
    {
        SCOPED_TRACE(row.m_pszCase);
        ASSERT_TRUE(m_sim.Start()) << m_sim.LastReply();
        if (row.m_bPhantom)
            ASSERT_TRUE(m_sim.AddPhantom("first"));
        else
            ASSERT_TRUE(m_sim.Plug("first") && m_sim.RefuseInterface("first")) << m_sim.LastReply();
        std::string strSecond;
        ASSERT_TRUE(m_sim.Plug("second", &strSecond));

        EXPECT_TRUE(Probe());
        EXPECT_EQ(DevicePath(), strSecond);
        EXPECT_EQ(SettledStats(m_sim, "second").m_nInterfaceOpens, 1u);
        EXPECT_TRUE(Opened(OpenDevicePipe("PIPE00"))) << ::GetLastError();
        EXPECT_EQ(DevicePath(), strSecond + "\\PIPE00");
    }
}

TEST_F(DeviceDiscoveryTest, FailedSearchLeavesTheLastFetchedPath)
{
    std::string strFirst, strLast;
    ASSERT_TRUE(m_sim.Plug("first", &strFirst));
    ASSERT_TRUE(m_sim.RefuseInterface("first"));
    ASSERT_TRUE(m_sim.AddPhantom("last", 0, &strLast));
    EXPECT_FALSE(Probe());
    EXPECT_EQ(DevicePath(), strLast);
}

TEST_F(DeviceDiscoveryTest, DetailRecordThatCannotBeFetchedLeavesThePathAsItWas)
{
    ASSERT_TRUE(m_sim.AddNoDetail("unreadable"));
    EXPECT_FALSE(Probe());
    EXPECT_EQ(OpenDevicePipe("PIPE00"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(DevicePath(), kMarker);

    std::string strDevice;
    ASSERT_TRUE(m_sim.Plug("dev1", &strDevice));
    EXPECT_TRUE(Probe()) << "the unreadable interface is passed over";
    EXPECT_EQ(DevicePath(), strDevice);
}

TEST_F(DeviceDiscoveryTest, EnumerationErrorAtOneIndexIsPassedOver)
{
    const DWORD arrErrors[] = { ERROR_GEN_FAILURE, ERROR_INVALID_DATA, ERROR_INVALID_USER_BUFFER };
    for (DWORD dwError : arrErrors)
    {
        SCOPED_TRACE("error " + std::to_string(dwError));
        ASSERT_TRUE(m_sim.Start()) << m_sim.LastReply();
        ASSERT_TRUE(m_sim.AddEnumError("broken", dwError));
        EXPECT_FALSE(Probe()) << "the search ends at the end of the list";
        std::string strDevice;
        ASSERT_TRUE(m_sim.Plug("dev1", &strDevice));
        EXPECT_TRUE(Probe());
        EXPECT_EQ(DevicePath(), strDevice);
    }
}

// An error that does not go away would fail every index there is.
TEST_F(DeviceDiscoveryTest, EnumerationErrorsInARowEndTheSearch)
{
    for (DWORD n = 0; n < ENUM_ERROR_LIMIT; ++n)
        ASSERT_TRUE(m_sim.AddEnumError("broken" + std::to_string(n), ERROR_GEN_FAILURE));
    ASSERT_TRUE(m_sim.Plug("dev1"));
    EXPECT_FALSE(Probe()) << "the search went on past " << ENUM_ERROR_LIMIT << " errors in a row";
}

TEST_F(DeviceDiscoveryTest, ProbesLeaveNoHandleOpen)
{
    ASSERT_TRUE(m_sim.Plug("dev1"));
    for (int i = 0; i < 5; ++i)
    {
        ASSERT_TRUE(Probe()) << "probe " << i;
        // The probes the window makes are a second apart; the simulator
        // takes each connection before the next.
        ASSERT_TRUE(m_sim.WaitIdle("dev1")) << "probe " << i;
    }
    const CDeviceStats stats = SettledStats(m_sim, "dev1");
    EXPECT_EQ(stats.m_nInterfaceOpens, 5u);
    EXPECT_EQ(stats.m_nInterfaceCloses, 5u);
    EXPECT_EQ(stats.m_nPipeOpens, 0u);
}

TEST_F(DeviceDiscoveryTest, PipeOpensAtTheFoundPathAndTheNextSearchOverwritesIt)
{
    std::string strPath;
    ASSERT_TRUE(m_sim.Plug("dev1", &strPath));
    HANDLE hPipe = OpenDevicePipe("PIPE00");
    ASSERT_NE(hPipe, INVALID_HANDLE_VALUE) << ::GetLastError();
    EXPECT_EQ(DevicePath(), strPath + "\\PIPE00");

    const std::vector<unsigned char> bytes = { 'O', 'r', 'v', 'e', 'k', 0, 1, 2, 255 };
    EXPECT_TRUE(WriteAll(hPipe, bytes));
    ::CloseHandle(hPipe);
    const CDeviceStats stats = SettledStats(m_sim, "dev1");
    EXPECT_EQ(stats.m_nInterfaceOpens, 1u) << "the search opened the interface once";
    EXPECT_EQ(stats.m_nInterfaceCloses, 1u);
    EXPECT_EQ(stats.m_nPipeOpens, 1u);
    EXPECT_EQ(stats.m_nPipeCloses, 1u);
    EXPECT_EQ(m_sim.RecordedBytes("dev1"), bytes);

    EXPECT_TRUE(Probe());
    EXPECT_EQ(DevicePath(), strPath);
}

TEST_F(DeviceDiscoveryTest, PipeOpensOnTheDeviceThatAFreshSearchFinds)
{
    ASSERT_TRUE(m_sim.Plug("old"));
    EXPECT_TRUE(Probe());
    ASSERT_TRUE(m_sim.Unplug("old"));
    std::string strNew;
    ASSERT_TRUE(m_sim.Plug("new", &strNew));
    ASSERT_TRUE(Opened(OpenDevicePipe("PIPE00")));
    EXPECT_EQ(DevicePath(), strNew + "\\PIPE00");
    EXPECT_EQ(SettledStats(m_sim, "new").m_nPipeOpens, 1u);
}

TEST_F(DeviceDiscoveryTest, DeviceGoneOrRefusingThePipeGivesNoHandle)
{
    std::string strPath;
    ASSERT_TRUE(m_sim.Plug("dev1", &strPath));
    ASSERT_TRUE(m_sim.RefusePipe("dev1"));
    EXPECT_EQ(OpenDevicePipe("PIPE00"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(DevicePath(), strPath + "\\PIPE00") << "the path is extended before the open";
    const CDeviceStats stats = SettledStats(m_sim, "dev1");
    EXPECT_EQ(stats.m_nInterfaceOpens, stats.m_nInterfaceCloses);

    ASSERT_TRUE(m_sim.Unplug("dev1"));
    EXPECT_EQ(OpenDevicePipe("PIPE00"), INVALID_HANDLE_VALUE);
}

// Interface paths around the capacity of g_szDevicePath: 259 characters
// for a probe, 252 when the backslash and "PIPE00" are to follow.
TEST_F(DeviceDiscoveryTest, PathsThatDoNotFitArePassedOverWithoutOverflow)
{
    const struct
    {
        size_t m_nLength;
        bool m_bServed;      // a plugged device; else listed but not served
        bool m_bProbeFinds;  // the probe uses it
        bool m_bPipeFinds;   // OpenDevicePipe uses it
    } arrRows[] = {
        { 252, true, true, true },
        { 253, true, true, false },
        { 259, true, true, false },
        { 260, false, false, false },
        { 300, false, false, false },
    };
    for (const auto& row : arrRows)
    {
        SCOPED_TRACE("interface path of " + std::to_string(row.m_nLength) + " characters");
        ASSERT_TRUE(m_sim.Start()) << m_sim.LastReply();
        std::string strLong;
        if (row.m_bServed)
            ASSERT_TRUE(m_sim.Plug("long", &strLong, row.m_nLength)) << m_sim.LastReply();
        else
            ASSERT_TRUE(m_sim.AddPhantom("long", row.m_nLength, &strLong)) << m_sim.LastReply();
        ASSERT_EQ(strLong.size(), row.m_nLength);

        // Alone: what the probe and the pipe opening make of it.
        strcpy(g_szDevicePath, kMarker);
        EXPECT_EQ(Probe(), row.m_bProbeFinds);
        EXPECT_EQ(DevicePath(), row.m_bProbeFinds ? strLong : std::string(kMarker));
        const bool bPipeOpened = Opened(OpenDevicePipe("PIPE00"));
        EXPECT_EQ(bPipeOpened, row.m_bPipeFinds);
        if (bPipeOpened)
        {
            EXPECT_EQ(DevicePath(), strLong + "\\PIPE00");
            EXPECT_EQ(DevicePath().size(), DEVICE_PATH_SIZE - 1);
        }
        else
        {
            EXPECT_EQ(DevicePath(), row.m_bProbeFinds ? strLong : std::string(kMarker))
                << "nothing is appended to a path passed over";
        }

        // Followed by a device with a short path, which is used instead when the long one does not fit.
        std::string strShort;
        ASSERT_TRUE(m_sim.Plug("short", &strShort));
        ASSERT_TRUE(Opened(OpenDevicePipe("PIPE00")));
        EXPECT_EQ(DevicePath(), (row.m_bPipeFinds ? strLong : strShort) + "\\PIPE00");
        EXPECT_TRUE(Probe());
        EXPECT_EQ(DevicePath(), row.m_bProbeFinds ? strLong : strShort);
    }
}
