// What the updater window shows at one moment, read from outside the
// program as a user sees it: which controls are visible, their texts and
// the bars' positions. Hidden controls count as blank, since the user sees
// nothing of them.
#pragma once
#include <windows.h>
#include <string>
#include "support/Controls.h"

// The captions above the bars.
constexpr wchar_t DOWNLOAD_NOT_STARTED[] = L"Download not started.";
constexpr wchar_t DOWNLOADING[] = L"Downloading updates from the Internet...";
constexpr wchar_t DOWNLOAD_COMPLETE[] = L"Download complete!";
constexpr wchar_t UPDATE_NOT_STARTED[] = L"Update not started.";
constexpr wchar_t UPDATING[] = L"Updating your Orvek with latest updates...";

struct CControlView
{
    bool m_bVisible = false;
    std::wstring m_strText;
    int m_nPos = 0;

    bool operator==(const CControlView& other) const;
};

class CWindowView
{
public:
    // The rows the window can show; texts as the user reads them.
    static CWindowView Disconnected();
    static CWindowView Connected();
    static CWindowView Progress(const wchar_t* pszDownloadCaption, int nDownloadPos, const wchar_t* pszUpdateCaption,
                                int nUpdatePos);
    static CWindowView Done();

    // Reads the window; false when it is gone. Reads until two readings
    // around a round trip through the window's thread agree but for the
    // bars, so that a state switch half done is never taken for a view.
    static bool Read(HWND hDialog, CWindowView& view);

    bool operator==(const CWindowView& other) const;
    bool operator!=(const CWindowView& other) const { return !(*this == other); }
    // One line for failure messages.
    std::string Describe() const;

    CControlView m_status;
    CControlView m_picture;
    CControlView m_button;
    CControlView m_downloadCaption;
    CControlView m_downloadBar;
    CControlView m_updateCaption;
    CControlView m_updateBar;
    // The window takes input (false while a message box of the program is up).
    // Not part of the comparison.
    bool m_bEnabled = true;
    // GetTickCount when the view was first seen. Not part of the comparison.
    DWORD m_dwSeenTick = 0;
};
