// A whole update on the shipped program, checked row by row against what
// the window must show, ending with the bytes the device received.
#include "Fixture.h"
#include <set>
#include "ServiceControl.h"

namespace
{
// The rows of a normal update, in the order the window passes them.
enum ERow
{
    ROW_CONNECTED,
    ROW_CLICKED,
    ROW_DOWNLOAD_BEGIN,
    ROW_DOWNLOAD_PROGRESS,
    ROW_DOWNLOAD_COMPLETE,
    ROW_UPDATE_BEGIN,
    ROW_UPDATE_PROGRESS,
    ROW_UPDATE_COMPLETE,
    ROW_DONE,
    ROW_NONE
};

const char* const kRowNames[] = { "connected", "clicked", "download begin", "download progress",
                                  "download complete", "update begin", "update progress", "update complete", "done" };

bool IsProgress(const CWindowView& view, const wchar_t* pszDownload, const wchar_t* pszUpdate)
{
    return view == CWindowView::Progress(pszDownload, view.m_downloadBar.m_nPos, pszUpdate, view.m_updateBar.m_nPos);
}

ERow RowOf(const CWindowView& view)
{
    if (view == CWindowView::Connected())
        return ROW_CONNECTED;
    if (view == CWindowView::Done())
        return ROW_DONE;
    const int nDownload = view.m_downloadBar.m_nPos;
    const int nUpdate = view.m_updateBar.m_nPos;
    if (IsProgress(view, DOWNLOAD_NOT_STARTED, UPDATE_NOT_STARTED) && nDownload == 0 && nUpdate == 0)
        return ROW_CLICKED;
    if (IsProgress(view, DOWNLOADING, UPDATE_NOT_STARTED) && nUpdate == 0)
    {
        if (nDownload == 0)
            return ROW_DOWNLOAD_BEGIN;
        if (nDownload <= 100)
            return ROW_DOWNLOAD_PROGRESS;
    }
    if (IsProgress(view, DOWNLOAD_COMPLETE, UPDATE_NOT_STARTED) && nDownload == 100 && nUpdate == 0)
        return ROW_DOWNLOAD_COMPLETE;
    if (IsProgress(view, DOWNLOAD_COMPLETE, UPDATING) && nDownload == 100)
    {
        if (nUpdate == 0)
            return ROW_UPDATE_BEGIN;
        // 100: read between the completion handler's first step and its state switch.
        if (nUpdate <= 100)
            return ROW_UPDATE_PROGRESS;
    }
    if (IsProgress(view, DOWNLOAD_COMPLETE, L"Update complete!") && nDownload == 100 && nUpdate == 100)
        return ROW_UPDATE_COMPLETE;
    return ROW_NONE;
}
}

class CNormalUpdateTest : public CE2ETest {};

// A realistic image, paced so that each row lasts long enough to be seen:
// the service waits a second before it answers, the body comes in small
// pieces, and the device takes nothing until the window has been seen at
// the start of the transfer.
TEST_F(CNormalUpdateTest, NormalUpdateFollowsTheTableRowByRow)
{
    constexpr unsigned kImageSize = 3 * 1024 * 1024 + 777;
    CPacing pacing;
    pacing.m_dDelay = 1.0;
    pacing.m_nChunkSize = 8192;
    pacing.m_dChunkDelay = 0.01;
    const std::vector<unsigned char> arrImage = ServeImage(kImageSize, 11, pacing);
    ASSERT_NO_FATAL_FAILURE(PlugDevice());
    ASSERT_TRUE(m_sim.Stall(DEVICE_NAME)) << m_sim.LastReply();

    ASSERT_NO_FATAL_FAILURE(StartUpdater(CWindowView::Connected()));
    m_window.ClickButton();
    const CWindowView clicked = CWindowView::Progress(DOWNLOAD_NOT_STARTED, 0, UPDATE_NOT_STARTED, 0);
    ASSERT_NO_FATAL_FAILURE(WaitForView(clicked));
    EXPECT_TRUE(m_window.Holds(clicked, 300)) << "while the service had not answered: " << m_window.Current().Describe();

    const CWindowView updateBegin = CWindowView::Progress(DOWNLOAD_COMPLETE, 100, UPDATING, 0);
    ASSERT_NO_FATAL_FAILURE(WaitForView(updateBegin));
    EXPECT_TRUE(m_window.Holds(updateBegin, 500)) << "while the device took nothing: " << m_window.Current().Describe();
    ASSERT_TRUE(m_sim.Resume(DEVICE_NAME)) << m_sim.LastReply();
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Done()));

    // Every view seen is a row of the table, the rows come in order, and
    // each bar only moves forward within its rows.
    std::set<int> setRows;
    std::set<int> setDownloadPositions;
    std::set<int> setUpdatePositions;
    int nLastRow = ROW_CONNECTED;
    int nLastPos = 0;
    for (const CWindowView& view : m_window.History())
    {
        const ERow row = RowOf(view);
        ASSERT_NE(row, ROW_NONE) << "a view that is no row of a normal update: " << view.Describe()
                                 << "\nseen:" << m_window.DescribeHistory();
        ASSERT_GE(row, nLastRow) << kRowNames[row] << " after " << kRowNames[nLastRow] << "\nseen:"
                                 << m_window.DescribeHistory();
        const int nPos = row <= ROW_DOWNLOAD_PROGRESS ? view.m_downloadBar.m_nPos : view.m_updateBar.m_nPos;
        if (row == nLastRow)
        {
            ASSERT_GE(nPos, nLastPos) << "a bar moved back in " << kRowNames[row];
        }
        if (row == ROW_DOWNLOAD_PROGRESS)
            setDownloadPositions.insert(nPos);
        if (row == ROW_UPDATE_PROGRESS)
            setUpdatePositions.insert(nPos);
        setRows.insert(row);
        nLastRow = row;
        nLastPos = nPos;
    }
    for (int row : { ROW_CONNECTED, ROW_CLICKED, ROW_DOWNLOAD_PROGRESS, ROW_UPDATE_BEGIN, ROW_UPDATE_PROGRESS, ROW_DONE })
        EXPECT_EQ(setRows.count(row), 1u) << "never saw the row " << kRowNames[row] << "\nseen:" << m_window.DescribeHistory();
    // Rows that last only as long as the reports take are checked by order
    // above when they are caught; the bars must be seen moving in steps.
    EXPECT_GE(setDownloadPositions.size(), 10u) << "download bar positions seen";
    EXPECT_GE(setUpdatePositions.size(), 3u) << "transfer bar positions seen; seen:" << m_window.DescribeHistory();

    ASSERT_NO_FATAL_FAILURE(ExpectDeviceHolds(arrImage));

    std::vector<CServiceRequest> arrRequests;
    ASSERT_TRUE(ServiceRequests(arrRequests));
    ASSERT_EQ(arrRequests.size(), 1u) << ServiceRequestsJson();
    EXPECT_EQ(arrRequests[0].m_strRequestLine, "GET http://update.orvek.example:80/device/update?version=2.0 HTTP/1.0");

    // "Done!" ends the program.
    m_window.ClickButton();
    ExpectProcessEnds();
}
