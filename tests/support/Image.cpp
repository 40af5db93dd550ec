#include "support/Image.h"
#include "device/FirmwareTransfer.h"

std::vector<unsigned char> MakeImage(size_t nSize)
{
    std::vector<unsigned char> image(nSize);
    UINT32 nState = static_cast<UINT32>(nSize) * 2654435761u + 1;
    for (unsigned char& by : image)
    {
        nState = nState * 1103515245u + 12345u;
        by = static_cast<unsigned char>(nState >> 16);
    }
    return image;
}

std::vector<unsigned char> DeviceStream(const std::vector<unsigned char>& image)
{
    std::vector<unsigned char> stream(image.begin(), image.begin() + IMAGE_HEAD_SEND_SIZE);
    stream.insert(stream.end(), image.begin() + IMAGE_HEAD_SIZE, image.end());
    return stream;
}
