// Header checks made on picture files before decoding them.
#include "platform/detail/picture_check.h"

namespace dexlora::platform_detail {
namespace {

uint32_t ReadLe16(std::string_view b, size_t at) {
    return static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8);
}

int32_t ReadLe32(std::string_view b, size_t at) {
    const uint32_t v = ReadLe16(b, at) | (ReadLe16(b, at + 2) << 16);
    return static_cast<int32_t>(v);
}

uint32_t ReadBe16(std::string_view b, size_t at) {
    return (static_cast<uint8_t>(b[at]) << 8) | static_cast<uint8_t>(b[at + 1]);
}

uint8_t Byte(std::string_view b, size_t at) { return static_cast<uint8_t>(b[at]); }

// Start-of-frame markers carry the picture size; C4 (DHT), C8 (JPG) and
// CC (DAC) share the range but are not frames.
bool IsStartOfFrame(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone, without a length field.
bool IsStandalone(uint8_t marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// From the first byte of entropy-coded data, the position of the next marker
// (its 0xFF), skipping stuffed bytes (FF 00) and restart markers; npos when
// the data ends first.
size_t SkipEntropyData(std::string_view b, size_t pos) {
    while (pos + 1 < b.size()) {
        if (Byte(b, pos) != 0xFF) {
            ++pos;
            continue;
        }
        const uint8_t next = Byte(b, pos + 1);
        if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
            pos += 2;
        } else if (next == 0xFF) {
            ++pos;  // fill byte before a marker
        } else {
            return pos;
        }
    }
    return std::string_view::npos;
}

}  // namespace

bool PictureSizeAllowed(PictureSize size) {
    return size.Width > 0 && size.Height > 0 && size.Width <= MaxPictureSide &&
           size.Height <= MaxPictureSide &&
           static_cast<int64_t>(size.Width) * size.Height <= MaxPicturePixels;
}

std::optional<PictureSize> PeekBitmapSize(std::string_view b) {
    if (b.size() < 26 || b.substr(0, 2) != "BM") return std::nullopt;
    const uint32_t headerSize = static_cast<uint32_t>(ReadLe32(b, 14));
    const uint32_t pixelsAt = static_cast<uint32_t>(ReadLe32(b, 10));
    if (pixelsAt > b.size()) return std::nullopt;
    auto depthAllowed = [](uint32_t bits) {
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    };
    if (headerSize == 12) {
        if (!depthAllowed(ReadLe16(b, 24))) return std::nullopt;
        return PictureSize{static_cast<int32_t>(ReadLe16(b, 18)),
                           static_cast<int32_t>(ReadLe16(b, 20))};
    }
    // The info header and its later versions; anything else is no header the
    // decoder reads right.
    if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 64 && headerSize != 108 &&
        headerSize != 124) {
        return std::nullopt;
    }
    if (b.size() < 50) return std::nullopt;
    const uint32_t bits = ReadLe16(b, 28);
    if (!depthAllowed(bits)) return std::nullopt;
    // A palette larger than the depth can index would be read from the pixels.
    const uint32_t colours = static_cast<uint32_t>(ReadLe32(b, 46));
    if (bits <= 8 && colours > (1u << bits)) return std::nullopt;
    int32_t height = ReadLe32(b, 22);
    if (height < 0 && height != INT32_MIN) height = -height;
    return PictureSize{ReadLe32(b, 18), height};
}

bool LooksLikeJpeg(std::string_view b) {
    return b.size() >= 2 && Byte(b, 0) == 0xFF && Byte(b, 1) == 0xD8;
}

std::optional<PictureSize> CheckCompleteJpeg(std::string_view b) {
    if (!LooksLikeJpeg(b)) return std::nullopt;
    std::optional<PictureSize> frame;
    bool sawScan = false;
    int scans = 0;
    size_t pos = 2;
    while (pos < b.size()) {
        if (Byte(b, pos) != 0xFF) {
            // Stray bytes between segments: decoders skip to the next marker.
            ++pos;
            continue;
        }
        while (pos < b.size() && Byte(b, pos) == 0xFF) ++pos;  // fill bytes
        if (pos >= b.size()) break;
        const uint8_t marker = Byte(b, pos++);
        if (marker == 0xD9) {
            if (frame && sawScan) return frame;
            return std::nullopt;  // an end with no picture before it
        }
        if (marker == 0x00 || IsStandalone(marker)) continue;
        if (pos + 2 > b.size()) break;
        const size_t length = ReadBe16(b, pos);
        if (length < 2 || pos + length > b.size()) break;
        if (IsStartOfFrame(marker)) {
            // One frame per picture: the decoder refuses a second. Its memory
            // grows with the components, so only grey, colour and CMYK pass.
            if (frame || length < 8) return std::nullopt;
            const uint32_t components = Byte(b, pos + 7);
            if (components != 1 && components != 3 && components != 4) return std::nullopt;
            if (length < 8 + 3 * components) return std::nullopt;
            frame = PictureSize{static_cast<int32_t>(ReadBe16(b, pos + 5)),
                                static_cast<int32_t>(ReadBe16(b, pos + 3))};
        }
        pos += length;
        if (marker == 0xDA) {
            // Every scan is a pass over the whole picture, even an empty one:
            // a small file of many scans would keep the decoder busy for hours.
            if (!frame || ++scans > MaxJpegScans) return std::nullopt;
            sawScan = true;
            pos = SkipEntropyData(b, pos);
            if (pos == std::string_view::npos) break;
        }
    }
    return std::nullopt;  // the data ended before EOI
}

}  // namespace dexlora::platform_detail
