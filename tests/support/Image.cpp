#include "support/Image.h"
#include <algorithm>
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
    std::vector<unsigned char> stream(image.size() - IMAGE_HEAD_SIZE + IMAGE_HEAD_SEND_SIZE);
    std::copy_n(image.begin(), IMAGE_HEAD_SEND_SIZE, stream.begin());
    std::copy(image.begin() + IMAGE_HEAD_SIZE, image.end(), stream.begin() + IMAGE_HEAD_SEND_SIZE);
    return stream;
}
