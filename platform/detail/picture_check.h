// Checks on picture files made before they are decoded: the size a bitmap or
// JPEG header announces, and whether a JPEG file reaches its end marker.
// Private to platform/; no SDL.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace dexlora::platform_detail {

struct PictureSize {
    int32_t Width = 0;
    int32_t Height = 0;
};

// The largest picture we agree to decode. A broken header can announce any
// size, and the decoders allocate the whole picture before reading a pixel.
inline constexpr int32_t MaxPictureSide = 16384;
inline constexpr int64_t MaxPicturePixels = 32LL * 1024 * 1024;

bool PictureSizeAllowed(PictureSize size);

// Progressive JPEG files hold around ten scans; far more is no real picture.
inline constexpr int MaxJpegScans = 128;

// The size a BMP file header announces (core and info headers), or nothing
// when the bytes do not start like a bitmap or its header is malformed: an
// unknown header size, a depth other than 1, 4, 8, 16, 24 or 32 bits, more
// palette colours than the depth indexes, or pixels placed past the file's
// end. Heights of top-down bitmaps come back positive.
std::optional<PictureSize> PeekBitmapSize(std::string_view bytes);

// Whether the bytes start with a JPEG start-of-image marker.
bool LooksLikeJpeg(std::string_view bytes);

// Walks the JPEG marker structure from SOI: header segments by their lengths,
// the entropy-coded data of every scan, and answers the frame size only when
// an EOI marker follows the last scan before the data runs out. A file cut
// anywhere before its EOI, one with no frame or no scan, more than one frame,
// components other than 1, 3 or 4, or more than MaxJpegScans scans answers
// nothing.
// Bytes after EOI (camera trailers, padding) are ignored.
std::optional<PictureSize> CheckCompleteJpeg(std::string_view bytes);

}  // namespace dexlora::platform_detail
