// The firmware image in memory: filled by the download worker, written out
// and released by the transfer worker. The synchronous reports order every
// access, so nothing locks it.
#pragma once
#include "framework/Platform.h"

// The image's bytes, allocated with new[]; null when there is no image.
extern BYTE* g_pImage;
// Its length in bytes; 0 when there is no image.
extern UINT32 g_nImageSize;

// Releases the image, if any, and empties the pair.
void ReleaseImage();
// Empties the pair but keeps the bytes for the rest of the process: a write
// that the device never ended may still read them.
void AbandonImage();
