// Bitmaps and wave files written byte by byte for the media tests.
#include "tests/media/media_files.h"

#include <cmath>

namespace dexlora::test {

std::string Le16(uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

namespace {

std::string BitmapHeaders(int width, int height, int bpp, uint32_t compression,
                          const std::vector<uint32_t>& palette, size_t pixelBytes) {
    const uint32_t paletteBytes = static_cast<uint32_t>(palette.size() * 4);
    const uint32_t offset = 14 + 40 + paletteBytes;
    std::string b = "BM" + Le32(static_cast<uint32_t>(offset + pixelBytes)) + Le32(0) + Le32(offset);
    b += Le32(40) + Le32(static_cast<uint32_t>(width)) + Le32(static_cast<uint32_t>(height));
    b += Le16(1) + Le16(static_cast<uint32_t>(bpp)) + Le32(compression);
    b += Le32(static_cast<uint32_t>(pixelBytes)) + Le32(2835) + Le32(2835);
    b += Le32(static_cast<uint32_t>(palette.size())) + Le32(0);
    for (uint32_t c : palette) {  // stored blue, green, red, 0
        b += {static_cast<char>((c >> 16) & 0xFF), static_cast<char>((c >> 8) & 0xFF),
              static_cast<char>(c & 0xFF), 0};
    }
    return b;
}

}  // namespace

std::string MakeBitmap(int width, int height, int bpp, const std::vector<uint32_t>& palette,
                       const std::function<uint32_t(int x, int y)>& value, bool topDown) {
    const size_t rowBytes = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    std::string pixels;
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        std::string line(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            const uint32_t v = value(x, y);
            const uint32_t r = v & 0xFF, g = (v >> 8) & 0xFF, b = (v >> 16) & 0xFF;
            if (bpp <= 8) {
                const size_t bit = static_cast<size_t>(x) * bpp;
                const int shift = 8 - bpp - static_cast<int>(bit % 8);
                line[bit / 8] = static_cast<char>(line[bit / 8] | (v << shift));
            } else if (bpp == 16) {
                line.replace(x * 2, 2, Le16(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)));
            } else {
                const size_t at = static_cast<size_t>(x) * (bpp / 8);
                line[at] = static_cast<char>(b);
                line[at + 1] = static_cast<char>(g);
                line[at + 2] = static_cast<char>(r);
            }
        }
        pixels += line;
    }
    return BitmapHeaders(width, topDown ? -height : height, bpp, 0, palette, pixels.size()) + pixels;
}

std::string MakeRle8Bitmap(int width, int height, const std::vector<uint32_t>& palette,
                           const std::function<uint32_t(int x, int y)>& value) {
    std::string runs;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width;) {
            int count = 1;
            while (x + count < width && count < 255 && value(x + count, y) == value(x, y)) ++count;
            runs += {static_cast<char>(count), static_cast<char>(value(x, y))};
            x += count;
        }
        runs += {0, 0};  // end of line
    }
    runs += {0, 1};  // end of bitmap
    return BitmapHeaders(width, height, 8, 1, palette, runs.size()) + runs;
}

std::string Chunk(std::string_view id, std::string_view body) {
    std::string c = std::string(id) + Le32(static_cast<uint32_t>(body.size())) + std::string(body);
    if (body.size() % 2) c += '\0';
    return c;
}

std::string FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    const uint32_t align = channels * bits / 8;
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}

std::string Riff(const std::vector<std::string>& chunks) {
    std::string body = "WAVE";
    for (const auto& c : chunks) body += c;
    return "RIFF" + Le32(static_cast<uint32_t>(body.size())) + body;
}

std::string MakeWave(uint16_t bits, uint16_t channels, uint32_t rate, uint32_t frames) {
    std::string data;
    for (uint32_t i = 0; i < frames; ++i) {
        const double s = 0.25 * std::sin(i * 2 * M_PI * 440.0 / rate);
        for (uint16_t c = 0; c < channels; ++c) {
            if (bits == 8) {
                data += static_cast<char>(static_cast<uint8_t>(128 + std::lround(s * 127)));
            } else {
                data += Le16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(s * 32767))));
            }
        }
    }
    return Riff({Chunk("fmt ", FmtBody(1, channels, rate, bits)), Chunk("data", data)});
}

}  // namespace dexlora::test
