// The updater window's layout: the template's places at the window's DPI,
// made room in for texts that need more than the English ones.
#include "ui/WindowLayout.h"
#include "app/UserText.h"
#include "framework/WindowDpi.h"
#include "ui/DevicePicture.h"
#include <algorithm>

// The texts each control shows in one state or another.
static const UINT STATUS_TEXTS[] = { IDS_SWITCH_TO_DL, IDS_CONNECTED, IDS_UPDATED };
static const UINT DOWNLOAD_CAPTION_TEXTS[] = { IDS_DOWNLOAD_NOT_STARTED, IDS_DOWNLOADING, IDS_DOWNLOAD_COMPLETE };
static const UINT UPDATE_CAPTION_TEXTS[] = { IDS_UPDATE_NOT_STARTED, IDS_UPDATING, IDS_UPDATE_COMPLETE };
static const UINT BUTTON_TEXTS[] = { IDS_UPDATE_BUTTON, IDS_DONE_BUTTON };
// Room on each side of a button's text, in dialog units.
static const int BUTTON_MARGIN = 4;

CWindowLayout::CWindowLayout()
    : m_pDialog(nullptr), m_pPicture(nullptr), m_hTemplatePicture(nullptr), m_hSmallIcon(nullptr)
{
}

CWindowLayout::~CWindowLayout()
{
    if (m_hSmallIcon != nullptr)
        ::DestroyIcon(m_hSmallIcon);
}

void CWindowLayout::Attach(CDialog& dialog, CTransparentImage& picture)
{
    m_pDialog = &dialog;
    m_pPicture = &picture;
    m_hTemplatePicture = picture.GetBitmap();
    // In a mirrored window the picture keeps its own direction: its labels
    // read left to right. The texts read right to left, with a Latin word's
    // punctuation on the sentence's side.
    const HWND hPicture = picture.GetSafeHwnd();
    ::SetWindowLongPtrW(hPicture, GWL_EXSTYLE, ::GetWindowLongPtrW(hPicture, GWL_EXSTYLE) & ~WS_EX_LAYOUTRTL);
    if ((::GetWindowLongPtrW(dialog.GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) == 0)
        return;
    for (int nID : { IDC_STATIC_STATUS, IDC_STATIC_DOWNLOAD, IDC_STATIC_UPDATE, IDOK })
    {
        const HWND hControl = ::GetDlgItem(dialog.GetSafeHwnd(), nID);
        ::SetWindowLongPtrW(hControl, GWL_EXSTYLE, ::GetWindowLongPtrW(hControl, GWL_EXSTYLE) | WS_EX_RTLREADING);
    }
}

void CWindowLayout::Detach()
{
    // The static control ends with the picture it loaded itself; the one
    // of another DPI is this window's to delete.
    if (m_hTemplatePicture != nullptr)
        m_pPicture->SetBitmap(m_hTemplatePicture);
    m_bmpPicture.DeleteObject();
}

RECT CWindowLayout::MapTemplateRect(int x, int y, int nWidth, int nHeight) const
{
    // As the dialog manager places a control: its size is mapped apart from its corner.
    RECT rect = { x, y, nWidth, nHeight };
    ::MapDialogRect(m_pDialog->GetSafeHwnd(), &rect);
    return { rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom };
}

SIZE CWindowLayout::TextExtent(int nID, const UINT* pTextIds, int nTexts, int nWidth, UINT uFormat) const
{
    const HWND hControl = ::GetDlgItem(m_pDialog->GetSafeHwnd(), nID);
    const HDC hDC = ::GetDC(hControl);
    const HGDIOBJ hOldFont = ::SelectObject(hDC, reinterpret_cast<HGDIOBJ>(::SendMessageW(hControl, WM_GETFONT, 0, 0)));
    SIZE size = { 0, 0 };
    for (int iText = 0; iText < nTexts; ++iText)
    {
        RECT rect = { 0, 0, nWidth, 0 };
        ::DrawTextW(hDC, UserText(pTextIds[iText]), -1, &rect, DT_CALCRECT | uFormat);
        size.cx = std::max(size.cx, rect.right - rect.left);
        size.cy = std::max(size.cy, rect.bottom - rect.top);
    }
    ::SelectObject(hDC, hOldFont);
    ::ReleaseDC(hControl, hDC);
    return size;
}

int CWindowLayout::TextHeight(int nID, const UINT* pTextIds, int nTexts, int nWidth) const
{
    // As the static control draws a centred text.
    return TextExtent(nID, pTextIds, nTexts, nWidth, DT_WORDBREAK | DT_CENTER | DT_EXPANDTABS).cy;
}

int CWindowLayout::ButtonWidth() const
{
    const RECT rectMargin = MapTemplateRect(0, 0, BUTTON_MARGIN, 0);
    return TextExtent(IDOK, BUTTON_TEXTS, _countof(BUTTON_TEXTS), 0, DT_SINGLELINE).cx + 2 * rectMargin.right;
}

// Moves control nID to rect, in the window's client coordinates.
static void PlaceControl(HWND hDialog, int nID, const RECT& rect)
{
    ::SetWindowPos(::GetDlgItem(hDialog, nID), nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Makes rect nHeight tall if it is less, and returns by how much it grew.
static int GrowToHeight(RECT& rect, int nHeight)
{
    const int nGrowth = std::max(0, nHeight - static_cast<int>(rect.bottom - rect.top));
    rect.bottom += nGrowth;
    return nGrowth;
}

void CWindowLayout::Fit(UINT nDpi)
{
    const HWND hDialog = m_pDialog->GetSafeHwnd();

    // The status line, and below it the picture or the button.
    RECT rectStatus = MapTemplateRect(STATUS_RECT);
    const int nStatusGrowth = GrowToHeight(
        rectStatus, TextHeight(IDC_STATIC_STATUS, STATUS_TEXTS, _countof(STATUS_TEXTS), rectStatus.right - rectStatus.left));
    RECT rectArea = MapTemplateRect(PICTURE_LEFT, PICTURE_TOP, PICTURE_WIDTH, PICTURE_HEIGHT);
    ::OffsetRect(&rectArea, 0, nStatusGrowth);
    RECT rectButton = MapTemplateRect(UPDATE_BUTTON_RECT);
    ::OffsetRect(&rectButton, 0, nStatusGrowth);
    const int nButtonGrowth = std::max(0, ButtonWidth() - static_cast<int>(rectButton.right - rectButton.left));
    ::InflateRect(&rectButton, (nButtonGrowth + 1) / 2, 0);

    // The two captions, each above its bar.
    RECT rectDownloadCaption = MapTemplateRect(DOWNLOAD_CAPTION_RECT);
    const int nWidth = rectDownloadCaption.right - rectDownloadCaption.left;
    const int nDownloadGrowth = GrowToHeight(
        rectDownloadCaption, TextHeight(IDC_STATIC_DOWNLOAD, DOWNLOAD_CAPTION_TEXTS, _countof(DOWNLOAD_CAPTION_TEXTS), nWidth));
    RECT rectDownloadBar = MapTemplateRect(DOWNLOAD_BAR_RECT);
    ::OffsetRect(&rectDownloadBar, 0, nDownloadGrowth);
    RECT rectUpdateCaption = MapTemplateRect(UPDATE_CAPTION_RECT);
    ::OffsetRect(&rectUpdateCaption, 0, nDownloadGrowth);
    const int nUpdateGrowth = GrowToHeight(
        rectUpdateCaption, TextHeight(IDC_STATIC_UPDATE, UPDATE_CAPTION_TEXTS, _countof(UPDATE_CAPTION_TEXTS), nWidth));
    RECT rectUpdateBar = MapTemplateRect(UPDATE_BAR_RECT);
    ::OffsetRect(&rectUpdateBar, 0, nDownloadGrowth + nUpdateGrowth);

    PlaceControl(hDialog, IDC_STATIC_STATUS, rectStatus);
    PlaceControl(hDialog, IDOK, rectButton);
    PlaceControl(hDialog, IDC_STATIC_DOWNLOAD, rectDownloadCaption);
    PlaceControl(hDialog, IDC_PROGRESS_DOWNLOAD, rectDownloadBar);
    PlaceControl(hDialog, IDC_STATIC_UPDATE, rectUpdateCaption);
    PlaceControl(hDialog, IDC_PROGRESS_UPDATE, rectUpdateBar);
    FitPicture(nDpi, rectArea);
    FitIcon(nDpi);

    // The margin the template leaves below its lowest control stays below
    // the lowest one now.
    const RECT rectTemplateBar = MapTemplateRect(UPDATE_BAR_RECT);
    const RECT rectTemplateDialog = MapTemplateRect(0, 0, DIALOG_WIDTH, DIALOG_HEIGHT);
    RECT rectPicture;
    ::GetWindowRect(m_pPicture->GetSafeHwnd(), &rectPicture);
    ::MapWindowPoints(nullptr, hDialog, reinterpret_cast<POINT*>(&rectPicture), 2);
    const LONG nLowest = std::max({ rectUpdateBar.bottom, rectButton.bottom, rectPicture.bottom });
    GrowWindow(rectTemplateDialog.bottom + std::max(0L, nLowest - rectTemplateBar.bottom));
}

void CWindowLayout::FitPicture(UINT nDpi, const RECT& rectArea)
{
    HBITMAP hPicture = m_hTemplatePicture;
    if (nDpi > USER_DEFAULT_SCREEN_DPI)
        hPicture = LoadDevicePicture(nDpi);
    // Without the picture for this DPI, the one shown stays.
    if (hPicture != nullptr && hPicture != m_pPicture->GetBitmap())
    {
        m_pPicture->SetBitmap(hPicture);
        m_bmpPicture.DeleteObject();
        if (hPicture != m_hTemplatePicture)
            m_bmpPicture.Attach(hPicture);
    }

    // At the top of its area and across its middle, as the 96 dpi picture
    // sits in the template.
    BITMAP bitmap;
    if (::GetObjectW(m_pPicture->GetBitmap(), sizeof(bitmap), &bitmap) != 0)
        ::SetWindowPos(m_pPicture->GetSafeHwnd(), nullptr, (rectArea.left + rectArea.right - bitmap.bmWidth) / 2,
                       rectArea.top, bitmap.bmWidth, bitmap.bmHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowLayout::FitIcon(UINT nDpi)
{
    // The title bar's own image of the icon, not the large one shrunk.
    const HICON hSmallIcon = static_cast<HICON>(::LoadImageW(
        AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
        GetSystemMetricsAtDpi(SM_CXSMICON, nDpi), GetSystemMetricsAtDpi(SM_CYSMICON, nDpi), LR_DEFAULTCOLOR));
    if (hSmallIcon == nullptr)
        return;
    m_pDialog->SetIcon(hSmallIcon, FALSE);
    if (m_hSmallIcon != nullptr)
        ::DestroyIcon(m_hSmallIcon);
    m_hSmallIcon = hSmallIcon;
}

void CWindowLayout::GrowWindow(int nClientHeight)
{
    const HWND hDialog = m_pDialog->GetSafeHwnd();
    RECT rectClient;
    ::GetClientRect(hDialog, &rectClient);
    const int nGrowth = nClientHeight - rectClient.bottom;
    if (nGrowth <= 0)
        return;
    // A window not shown yet is centred once it is laid out.
    const int nShift = ::IsWindowVisible(hDialog) ? nGrowth / 2 : 0;
    RECT rectWindow;
    ::GetWindowRect(hDialog, &rectWindow);
    ::SetWindowPos(hDialog, nullptr, rectWindow.left, rectWindow.top - nShift, rectWindow.right - rectWindow.left,
                   rectWindow.bottom - rectWindow.top + nGrowth, SWP_NOZORDER | SWP_NOACTIVATE);
}
