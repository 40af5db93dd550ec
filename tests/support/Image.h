// Firmware images for the tests: made up, and as the device must receive them.
#pragma once
#include <cstddef>
#include <vector>

// nSize bytes of a fixed pseudo-random sequence that depends on the size.
std::vector<unsigned char> MakeImage(size_t nSize);
// What a correct transfer of the image leaves in the device: its 20 head
// bytes, then everything from offset 1024.
std::vector<unsigned char> DeviceStream(const std::vector<unsigned char>& image);
