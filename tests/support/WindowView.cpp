// Reading the updater window from another process.
#include "support/WindowView.h"
#include "resource.h"

namespace
{
constexpr DWORD kAnswerTimeoutMs = 5000;
constexpr int kReadAttempts = 50;

const wchar_t kDisconnectedText[] = L"Switch Orvek to D/L mode and connect it to your computer.";

CControlView Shown(const wchar_t* pszText, int nPos = 0)
{
    CControlView control;
    control.m_bVisible = true;
    control.m_strText = pszText;
    control.m_nPos = nPos;
    return control;
}

CWindowView StatusAndButton(const wchar_t* pszStatus, const wchar_t* pszButton)
{
    CWindowView view;
    view.m_status = Shown(pszStatus);
    view.m_button = Shown(pszButton);
    return view;
}

// Synchronous: answered only when the window's thread is between messages.
bool RoundTrip(HWND hDialog)
{
    DWORD_PTR dwResult = 0;
    return ::SendMessageTimeoutW(hDialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &dwResult) != 0;
}

CControlView ReadControl(HWND hDialog, int nId, bool bBar)
{
    CControlView control;
    HWND hControl = ::GetDlgItem(hDialog, nId);
    if (hControl == nullptr || !::IsWindowVisible(hControl))
        return control;
    control.m_bVisible = true;
    if (bBar)
        control.m_nPos = ReadBarPos(hDialog, nId);
    else
        control.m_strText = ReadControlText(hDialog, nId);
    return control;
}

bool ReadOnce(HWND hDialog, CWindowView& view)
{
    if (!::IsWindow(hDialog))
        return false;
    view.m_status = ReadControl(hDialog, IDC_STATIC_STATUS, false);
    view.m_picture = ReadControl(hDialog, IDC_PICTURE, false);
    // The picture's text is the bitmap's resource reference, not something shown.
    view.m_picture.m_strText.clear();
    view.m_button = ReadControl(hDialog, IDOK, false);
    view.m_downloadCaption = ReadControl(hDialog, IDC_STATIC_DOWNLOAD, false);
    view.m_downloadBar = ReadControl(hDialog, IDC_PROGRESS_DOWNLOAD, true);
    view.m_updateCaption = ReadControl(hDialog, IDC_STATIC_UPDATE, false);
    view.m_updateBar = ReadControl(hDialog, IDC_PROGRESS_UPDATE, true);
    view.m_bEnabled = ::IsWindowEnabled(hDialog) != FALSE;
    return ::IsWindow(hDialog) != FALSE;
}

// Equal but for the bars' positions. A bar moves in one step; a state
// switch hides and shows controls one by one.
bool SameShape(const CWindowView& first, const CWindowView& second)
{
    CWindowView moved = second;
    moved.m_downloadBar.m_nPos = first.m_downloadBar.m_nPos;
    moved.m_updateBar.m_nPos = first.m_updateBar.m_nPos;
    return moved == first && moved.m_bEnabled == first.m_bEnabled;
}

void Describe(std::string& strOut, const char* pszName, const CControlView& control, bool bBar)
{
    if (!control.m_bVisible)
        return;
    if (!strOut.empty())
        strOut += ", ";
    strOut += pszName;
    if (bBar)
        strOut += " at " + std::to_string(control.m_nPos);
    else if (!control.m_strText.empty())
        strOut += " \"" + Narrow(control.m_strText) + "\"";
}
}

bool CControlView::operator==(const CControlView& other) const
{
    return m_bVisible == other.m_bVisible && m_strText == other.m_strText && m_nPos == other.m_nPos;
}

CWindowView CWindowView::Disconnected()
{
    CWindowView view;
    view.m_status = Shown(kDisconnectedText);
    view.m_picture = Shown(L"");
    return view;
}

CWindowView CWindowView::Connected()
{
    return StatusAndButton(L"Orvek connected!", L"Update Orvek Now!");
}

CWindowView CWindowView::Progress(const wchar_t* pszDownloadCaption, int nDownloadPos,
                                  const wchar_t* pszUpdateCaption, int nUpdatePos)
{
    CWindowView view;
    view.m_downloadCaption = Shown(pszDownloadCaption);
    view.m_downloadBar = Shown(L"", nDownloadPos);
    view.m_updateCaption = Shown(pszUpdateCaption);
    view.m_updateBar = Shown(L"", nUpdatePos);
    return view;
}

CWindowView CWindowView::Done()
{
    return StatusAndButton(L"Orvek successfully updated!", L"Done!");
}

bool CWindowView::Read(HWND hDialog, CWindowView& view)
{
    CWindowView first;
    if (!ReadOnce(hDialog, first))
        return false;
    for (int nAttempt = 0; nAttempt < kReadAttempts; ++nAttempt)
    {
        if (!RoundTrip(hDialog))
            return false;
        CWindowView second;
        if (!ReadOnce(hDialog, second))
            return false;
        if (SameShape(first, second))
        {
            view = second;
            return true;
        }
        first = second;
    }
    // Changing faster than it can be read: the last reading is as good as any.
    view = first;
    return true;
}

bool CWindowView::operator==(const CWindowView& other) const
{
    return m_status == other.m_status && m_picture == other.m_picture && m_button == other.m_button
           && m_downloadCaption == other.m_downloadCaption && m_downloadBar == other.m_downloadBar
           && m_updateCaption == other.m_updateCaption && m_updateBar == other.m_updateBar;
}

std::string CWindowView::Describe() const
{
    std::string strOut;
    ::Describe(strOut, "status", m_status, false);
    ::Describe(strOut, "picture", m_picture, false);
    ::Describe(strOut, "button", m_button, false);
    ::Describe(strOut, "download caption", m_downloadCaption, false);
    ::Describe(strOut, "download bar", m_downloadBar, true);
    ::Describe(strOut, "update caption", m_updateCaption, false);
    ::Describe(strOut, "transfer bar", m_updateBar, true);
    if (strOut.empty())
        strOut = "nothing shown";
    if (!m_bEnabled)
        strOut += " (disabled)";
    return "[" + strOut + "]";
}
