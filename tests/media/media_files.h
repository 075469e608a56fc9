// Test-made media files: bitmaps of every depth, wave files of any layout,
// written byte by byte so each field is under the test's control.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dexlora::test {

// Little-endian fields.
std::string Le16(uint32_t v);
std::string Le32(uint32_t v);

// An uncompressed bitmap (BITMAPINFOHEADER, BI_RGB) of 1, 4, 8, 16 (5-5-5),
// 24 or 32 bits per pixel. For depths up to 8, value(x, y) is a palette index
// and palette holds packed colours (red + 256 green + 65536 blue); for the
// others value(x, y) is the packed colour itself. Rows go bottom-up unless
// topDown.
std::string MakeBitmap(int width, int height, int bpp, const std::vector<uint32_t>& palette,
                       const std::function<uint32_t(int x, int y)>& value, bool topDown = false);

// An 8-bit run-length compressed bitmap (BI_RLE8): every row one run per
// pixel value change.
std::string MakeRle8Bitmap(int width, int height, const std::vector<uint32_t>& palette,
                           const std::function<uint32_t(int x, int y)>& value);

// A RIFF chunk: id, length, body and the pad byte of odd lengths.
std::string Chunk(std::string_view id, std::string_view body);
// A "fmt " chunk body of 16 bytes.
std::string FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits);
// A RIFF/WAVE file of the given chunks.
std::string Riff(const std::vector<std::string>& chunks);
// A whole PCM wave file of frames frames of a quiet tone.
std::string MakeWave(uint16_t bits, uint16_t channels, uint32_t rate, uint32_t frames);

}  // namespace dexlora::test
