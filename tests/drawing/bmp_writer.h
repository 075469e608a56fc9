// Writes a surface as an uncompressed 24-bit bitmap file: how the drawing
// tests and benchmarks make their pictures.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace dexlora::test {

// Answers false when the file could not be written.
inline bool WriteBmp(const DirectDrawSurface7& surf, const std::string& path) {
    const int32_t width = surf.Width(), height = surf.Height();
    const int32_t rowBytes = (width * 3 + 3) / 4 * 4;
    const int32_t imageBytes = rowBytes * height;
    std::vector<uint8_t> file(54 + static_cast<size_t>(imageBytes), 0);
    auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<uint32_t>(file.size()), 4);
    put(10, 54, 4);  // offset of the pixels
    put(14, 40, 4);  // BITMAPINFOHEADER
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);  // positive: rows bottom-up
    put(26, 1, 2);                              // planes
    put(28, 24, 2);                             // bits per pixel
    put(34, static_cast<uint32_t>(imageBytes), 4);
    put(38, 2835, 4);  // 72 DPI
    put(42, 2835, 4);
    for (int32_t y = 0; y < height; ++y) {
        size_t row = 54 + static_cast<size_t>(height - 1 - y) * rowBytes;
        for (int32_t x = 0; x < width; ++x) {
            int32_t color = surf.GetPixel(x, y);
            file[row + x * 3] = static_cast<uint8_t>(color >> 16);     // blue
            file[row + x * 3 + 1] = static_cast<uint8_t>(color >> 8);  // green
            file[row + x * 3 + 2] = static_cast<uint8_t>(color);       // red
        }
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return out.good();
}

}  // namespace dexlora::test
