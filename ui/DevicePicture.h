// The picture of the device's mode switch for a display of a given DPI.
#pragma once
#include "framework/afxwin.h"

// The picture's size at 96 dpi, in pixels.
constexpr int DEVICE_PICTURE_WIDTH = 268;
constexpr int DEVICE_PICTURE_HEIGHT = 62;

// The picture drawn for nDpi; for a DPI with no drawing of its own, the
// nearest larger drawing scaled down (the largest scaled up above it).
// Null at 96 dpi, whose picture the template's control loads itself, and
// on failure. The caller deletes the bitmap.
HBITMAP LoadDevicePicture(UINT nDpi);
