// Plays the user in the demo when there is no display to show the updater
// on: waits for the updater window, plugs the device in, clicks "Update Orvek
// Now!", follows both bars to "Orvek successfully updated!", saves a picture
// of each state on the way and clicks "Done!".
//   DemoDriver.exe FOLDER DEVICE_DIR DEVICE
// FOLDER\screenshot-disconnected.bmp, screenshot-1-connected.bmp ...
// screenshot-5-done.bmp; DEVICE is plugged into the simulator serving DEVICE_DIR.
// Exit code 0 when the update finished, 1 when it did not (the program's
// message box, if any, is printed, pictured and dismissed), 2 for bad usage.
#include <windows.h>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "ControlChannel.h"
#include "StateDir.h"
#include "support/Pixels.h"
#include "support/ProgramTexts.h"
#include "support/Wait.h"
#include "support/UpdaterWindow.h"

namespace
{
constexpr DWORD kWindowTimeoutMs = 60000;
constexpr DWORD kStepTimeoutMs = 300000;
constexpr DWORD kSettledMs = 300;
constexpr DWORD kSettleLimitMs = 3000;
constexpr DWORD kSimulatorTimeoutMs = 10000;

// Saves the screen's pixels under the window, frame included, as a 24-bit
// BMP file.
bool SaveWindowShot(HWND hWnd, const std::string& strPath)
{
    RECT rect;
    if (!::GetWindowRect(hWnd, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return false;
    // The screen's own context: the window with its frame, as it is shown.
    const CPixels shot = ReadWindow(nullptr, rect);
    if (shot.colors.empty())
        return false;

    // A 24-bit BMP file: rows from the bottom up, each padded to 4 bytes.
    const DWORD dwStride = (static_cast<DWORD>(shot.nWidth) * 3 + 3) & ~3u;
    std::vector<BYTE> bits(static_cast<size_t>(dwStride) * shot.nHeight);
    for (int y = 0; y < shot.nHeight; ++y)
    {
        BYTE* pRow = &bits[static_cast<size_t>(shot.nHeight - 1 - y) * dwStride];
        for (int x = 0; x < shot.nWidth; ++x)
        {
            const COLORREF color = shot.At(x, y);
            *pRow++ = GetBValue(color);
            *pRow++ = GetGValue(color);
            *pRow++ = GetRValue(color);
        }
    }
    BITMAPINFOHEADER header = { sizeof(header), shot.nWidth, shot.nHeight, 1, 24, BI_RGB,
                                static_cast<DWORD>(bits.size()), 0, 0, 0, 0 };
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;

    FILE* pFile = fopen(strPath.c_str(), "wb");
    if (pFile == nullptr)
        return false;
    const bool bWritten = fwrite(&file, sizeof(file), 1, pFile) == 1 && fwrite(&header, sizeof(header), 1, pFile) == 1
                          && fwrite(bits.data(), bits.size(), 1, pFile) == 1;
    return fclose(pFile) == 0 && bWritten;
}

struct SStep
{
    const char* m_pszName;
    const char* m_pszWhat;
    bool m_bPictured;
    std::function<bool(const CWindowView&)> m_bReached;
};

class CDemo
{
public:
    CDemo(const std::string& strFolder, const std::string& strDeviceDir, const std::string& strDevice)
        : m_strFolder(strFolder), m_strDeviceDir(strDeviceDir), m_strDevice(strDevice)
    {
    }

    int Run()
    {
        HWND hWnd = nullptr;
        if (!WaitFor([&] { return (hWnd = CUpdaterWindow::FindAnyUpdaterWindow()) != nullptr; }, kWindowTimeoutMs, 50))
        {
            Fail("the updater window did not appear");
            return 1;
        }
        m_window.Attach(hWnd);
        // Found as soon as it exists: its first picture waits until it has
        // been shown for a while, or it may lack its text.
        WaitUntilSettled(hWnd);

        if (!Reach({ "disconnected", "waiting for the Orvek", true,
                     [&](const CWindowView& view) { return IsDisconnectedInSomeLanguage(view); } })
            || !Plug())
            return 1;
        if (!Reach({ "1-connected", "the updater sees the Orvek", true,
                     [&](const CWindowView& view) { return view == Shown(CWindowView::Connected()); } }))
            return 1;
        printf("demo driver: clicking \"Update Orvek Now!\"\n");
        m_window.ClickButton();
        if (!Reach({ "2-download-not-started", "waiting for the update service", false,
                     [&](const CWindowView& view) { return view.m_downloadCaption.m_strText == Shown(DOWNLOAD_NOT_STARTED); } })
            || !Reach({ "3-downloading", "downloading", true,
                        [&](const CWindowView& view) {
                            return view.m_downloadCaption.m_strText == Shown(DOWNLOADING) && view.m_downloadBar.m_nPos >= 40;
                        } })
            || !Reach({ "4-updating", "writing to the Orvek", true,
                        [&](const CWindowView& view) {
                            return view.m_updateCaption.m_strText == Shown(UPDATING) && view.m_updateBar.m_nPos >= 40;
                        } })
            || !Reach({ "5-done", "finished", true,
                        [&](const CWindowView& view) { return view == Shown(CWindowView::Done()); } }))
            return 1;
        printf("demo driver: clicking \"Done!\"\n");
        m_window.ClickButton();
        if (m_window.WaitUntilGone(10000))
            return 0;
        Fail("the updater window did not close");
        return 1;
    }

private:
    // Waits for the step's view and pictures it; false if the update went
    // elsewhere first.
    bool Reach(const SStep& step)
    {
        const bool bReached = m_window.WaitUntil(
            [&step, this](const CWindowView& view) {
                return step.m_bReached(view) || view == CWindowView::Done() || m_window.FindMessageBox() != nullptr;
            },
            kStepTimeoutMs);
        if (HWND hBox = m_window.FindMessageBox())
        {
            WaitUntilSettled(hBox);
            Shoot("failure", hBox);
            fprintf(stderr, "demo driver: the updater says \"%s\"\n",
                    Narrow(ReadControlText(hBox, 0xFFFF)).c_str());
            DismissBox(hBox);
            return false;
        }
        if (!bReached)
        {
            Fail(std::string("the window never showed ") + step.m_pszName + "; last " + m_window.Current().Describe());
            return false;
        }
        if (!step.m_bReached(m_window.Current()))
        {
            printf("demo driver: %s went by too fast%s\n", step.m_pszName, step.m_bPictured ? " for a picture" : "");
            return true;
        }
        if (step.m_bPictured)
        {
            // The view can be read before the window has painted it.
            ::RedrawWindow(m_window.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            Shoot(step.m_pszName, m_window.Handle());
        }
        printf("demo driver: %s (%s): %s\n", step.m_pszName, step.m_pszWhat, m_window.Current().Describe().c_str());
        return true;
    }

    // A window is found as soon as it exists, before it is placed and
    // drawn: waits until it has been shown at one place for a while.
    static void WaitUntilSettled(HWND hBox)
    {
        RECT rectLast = {};
        DWORD dwSettledSince = ::GetTickCount();
        const bool bSettled = WaitFor(
            [&] {
                RECT rect = {};
                if (::IsWindowVisible(hBox) && ::GetWindowRect(hBox, &rect) && ::EqualRect(&rect, &rectLast))
                    return ::GetTickCount() - dwSettledSince >= kSettledMs;
                rectLast = rect;
                dwSettledSince = ::GetTickCount();
                return false;
            },
            kSettleLimitMs, 20);
        if (bSettled)
            ::RedrawWindow(hBox, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }

    // The device comes in as a user plugs it, with the window already up.
    bool Plug()
    {
        CControlChannel channel;
        std::string strReply;
        if (!channel.Connect(ControlPipeName(NormalizeStateDir(m_strDeviceDir)), kSimulatorTimeoutMs)
            || !channel.Transact("plug " + m_strDevice, strReply) || strReply.compare(0, 2, "ok") != 0)
        {
            Fail("the device simulator did not plug " + m_strDevice + ": " + strReply);
            return false;
        }
        printf("demo driver: plugged in %s\n", m_strDevice.c_str());
        return true;
    }

    void Shoot(const char* pszName, HWND hWnd)
    {
        const std::string strPath = m_strFolder + "\\screenshot-" + pszName + ".bmp";
        if (!SaveWindowShot(hWnd, strPath))
            fprintf(stderr, "demo driver: cannot save %s\n", strPath.c_str());
    }

    static void Fail(const std::string& strWhy)
    {
        fprintf(stderr, "demo driver: %s\n", strWhy.c_str());
    }

    // The window waits for the device in one of its languages, which is
    // then the language of every later view.
    bool IsDisconnectedInSomeLanguage(const CWindowView& view)
    {
        for (const CTextLanguage& language : kTextLanguages)
            if (view == TranslatedView(CWindowView::Disconnected(), language.m_langId))
            {
                m_langShown = language.m_langId;
                return true;
            }
        return false;
    }
    CWindowView Shown(const CWindowView& english) const { return TranslatedView(english, m_langShown); }
    std::wstring Shown(const wchar_t* pszEnglish) const { return TranslatedText(pszEnglish, m_langShown); }

    LANGID m_langShown = 0;
    std::string m_strFolder;
    std::string m_strDeviceDir;
    std::string m_strDevice;
    CUpdaterWindow m_window;
};
}

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        fprintf(stderr, "usage: DemoDriver FOLDER DEVICE_DIR DEVICE\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    ::CreateDirectoryA(argv[1], nullptr);
    return CDemo(argv[1], argv[2], argv[3]).Run();
}
