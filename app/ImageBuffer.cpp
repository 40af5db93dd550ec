// The image buffer pair.
#include "app/ImageBuffer.h"

BYTE* g_pImage = nullptr;
UINT32 g_nImageSize = 0;

void ReleaseImage()
{
    delete[] g_pImage;
    g_pImage = nullptr;
    g_nImageSize = 0;
}

void AbandonImage()
{
    g_pImage = nullptr;
    g_nImageSize = 0;
}
