// Picks or scales the drawing of the mode switch for a DPI.
#include "ui/DevicePicture.h"
#include <iterator>
#include "resource.h"
#include "ui/TransparentScale.h"

namespace
{
// The drawings after the template's, smallest first.
const struct
{
    UINT nDpi;
    UINT nIDBitmap;
} PICTURES[] = {
    { 120, IDB_DEVICE_SWITCH_120 },
    { 144, IDB_DEVICE_SWITCH_144 },
    { 168, IDB_DEVICE_SWITCH_168 },
    { 192, IDB_DEVICE_SWITCH_192 },
};

HBITMAP LoadPicture(UINT nIDBitmap)
{
    return static_cast<HBITMAP>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDBitmap), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}
}

HBITMAP LoadDevicePicture(UINT nDpi)
{
    if (nDpi <= USER_DEFAULT_SCREEN_DPI)
        return nullptr;
    UINT nIDSource = PICTURES[std::size(PICTURES) - 1].nIDBitmap;
    for (const auto& picture : PICTURES)
    {
        if (picture.nDpi == nDpi)
            return LoadPicture(picture.nIDBitmap);
        if (picture.nDpi > nDpi)
        {
            nIDSource = picture.nIDBitmap;
            break;
        }
    }
    const HBITMAP hSource = LoadPicture(nIDSource);
    if (hSource == nullptr)
        return nullptr;
    const HBITMAP hScaled =
        ScaleTransparentBitmap(hSource, ::MulDiv(DEVICE_PICTURE_WIDTH, static_cast<int>(nDpi), USER_DEFAULT_SCREEN_DPI),
                               ::MulDiv(DEVICE_PICTURE_HEIGHT, static_cast<int>(nDpi), USER_DEFAULT_SCREEN_DPI));
    ::DeleteObject(hSource);
    return hScaled;
}
