// Scaling of a picture whose pure white is drawn transparent.
#pragma once
#include "framework/afxwin.h"

// hSource resized to nWidth x nHeight by averaging the area each pixel
// covers. A pixel is pure white (transparent) exactly where most of its
// area is, and then takes none of the drawing's colour; no other pixel is
// pure white. A new 24-bit DIB section, or null on failure.
HBITMAP ScaleTransparentBitmap(HBITMAP hSource, int nWidth, int nHeight);
