// CWindowLayout: fits the updater window to its DPI and to the texts its
// controls can show in the language of the texts.
#pragma once
#include "framework/afxwin.h"
#include "ui/TransparentImage.h"

class CWindowLayout
{
public:
    CWindowLayout();
    ~CWindowLayout();
    CWindowLayout(const CWindowLayout&) = delete;
    CWindowLayout& operator=(const CWindowLayout&) = delete;

    // Takes the window and its picture as the template made them.
    void Attach(CDialog& dialog, CTransparentImage& picture);
    // Lays the window out for nDpi: the picture drawn for it and the title
    // bar's icon at its size; a text too long for its control on more lines
    // (a button wider), what stands below moved down, and the window grown
    // about its centre to hold it all.
    void Fit(UINT nDpi);
    // Gives the picture control back the picture it loaded itself; before
    // the window ends.
    void Detach();

private:
    // The widest and the tallest of the texts nTextIds drawn in control
    // nID's font with DrawText's uFormat, broken into lines at nWidth where
    // uFormat says so.
    SIZE TextExtent(int nID, const UINT* pTextIds, int nTexts, int nWidth, UINT uFormat) const;
    // The height of the tallest of the texts nTextIds shown in nID at nWidth.
    int TextHeight(int nID, const UINT* pTextIds, int nTexts, int nWidth) const;
    // The width the button needs for the longest of its texts.
    int ButtonWidth() const;
    RECT MapTemplateRect(int x, int y, int nWidth, int nHeight) const;
    void FitPicture(UINT nDpi, const RECT& rectArea);
    void FitIcon(UINT nDpi);
    void GrowWindow(int nClientHeight);

    CDialog* m_pDialog;
    CTransparentImage* m_pPicture;
    // The picture the static control loaded from the template, and the
    // one of another DPI shown in its place, if any.
    HBITMAP m_hTemplatePicture;
    CBitmap m_bmpPicture;
    // The title bar's icon at the window's DPI.
    HICON m_hSmallIcon;
};
