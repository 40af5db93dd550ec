// CBitmap's creation and the wrappers for bitmaps owned elsewhere.
#include "Bitmap.h"
#include "DC.h"
#include <memory>
#include <unordered_map>

namespace
{
struct NonOwningBitmap : CBitmap
{
    ~NonOwningBitmap() override { Detach(); }
};
}

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap)
{
    if (hBitmap == nullptr)
        return nullptr;
    thread_local std::unordered_map<HBITMAP, std::unique_ptr<NonOwningBitmap>> s_wrappers;
    std::unique_ptr<NonOwningBitmap>& pWrapper = s_wrappers[hBitmap];
    if (!pWrapper)
    {
        pWrapper = std::make_unique<NonOwningBitmap>();
        pWrapper->m_hObject = hBitmap;
    }
    return pWrapper.get();
}

// Refused while the object holds a bitmap, before a new one is made that
// could not be attached.
BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    if (m_hObject != nullptr)
        return FALSE;
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    if (m_hObject != nullptr)
        return FALSE;
    return Attach(::CreateCompatibleBitmap(pDC->GetSafeHdc(), nWidth, nHeight));
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const
{
    return ::GetObjectW(m_hObject, sizeof(BITMAP), pBitMap);
}
