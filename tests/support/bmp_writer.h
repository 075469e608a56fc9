// Writes a surface as an uncompressed 32-bit top-down bitmap file: how the
// tests and the frame benchmarks make their pictures.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace dexlora::test {

// Answers false when the file could not be written.
inline bool WriteBmp(const DirectDrawSurface7& surf, const std::string& path) {
    const int64_t w = surf.Width(), h = surf.Height();
    std::vector<uint8_t> file{'B', 'M'};
    // File size, reserved, pixel offset, info header size, width, height
    // (negative: rows top-down), planes 1 and 32 bits; the rest stays zero.
    for (int64_t field : {54 + 4 * w * h, int64_t{0}, int64_t{54}, int64_t{40}, w, -h, int64_t{1 | 32 << 16}})
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(field >> (8 * i)));
    file.resize(54);
    for (int32_t i = 0; i < w * h; ++i) {
        const int32_t c = surf.GetPixel(i % w, i / w);  // packed red + 256 green + 65536 blue
        file.insert(file.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 0});
    }
    return static_cast<bool>(std::ofstream(path, std::ios::binary).write(
        reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size())));
}

}  // namespace dexlora::test
