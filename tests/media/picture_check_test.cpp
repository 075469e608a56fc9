// The JPEG structure walk that tells a whole file from one cut short.
#include <gtest/gtest.h>

#include <string>

#include "platform/picture_check.h"

namespace dexlora {
namespace {

using platform_detail::CheckCompleteJpeg;

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

// A segment with its two-byte big-endian length.
std::string Segment(int marker, const std::string& body) {
    const size_t length = body.size() + 2;
    return Bytes({0xFF, marker, static_cast<int>(length >> 8), static_cast<int>(length & 0xFF)}) + body;
}

const std::string Soi = Bytes({0xFF, 0xD8});
const std::string Eoi = Bytes({0xFF, 0xD9});
// A 3x2 frame of one component.
const std::string Sof0 = Segment(0xC0, Bytes({8, 0, 2, 0, 3, 1, 1, 0x11, 0}));
const std::string Dht = Segment(0xC4, Bytes({0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
const std::string Sos = Segment(0xDA, Bytes({1, 1, 0, 0, 63, 0}));
// Entropy-coded data with a stuffed FF 00 and a restart marker inside.
const std::string Scan = Bytes({0x12, 0x34, 0xFF, 0x00, 0x56, 0xFF, 0xD0, 0x78});
// An EXIF block holding a whole thumbnail JPEG, end marker included.
const std::string ExifThumbnail = Segment(0xE1, "Exif" + Bytes({0, 0}) + Soi + Bytes({1, 2, 3}) + Eoi);

TEST(PictureCheckTest, JpegIsCompleteOnlyWithItsEndMarker) {
    const std::string whole = Soi + Sof0 + Dht + Sos + Scan + Eoi;
    struct Case {
        const char* name;
        std::string bytes;
        bool complete;
    };
    const Case cases[] = {
        {"whole", whole, true},
        {"zeros after the end", whole + std::string(64, '\0'), true},
        {"a trailer after the end", whole + "camera trailer", true},
        {"fill bytes before markers", Soi + Bytes({0xFF, 0xFF}) + Sof0 + Sos + Scan + Bytes({0xFF, 0xFF}) + Eoi, true},
        {"progressive: two scans", Soi + Sof0 + Dht + Sos + Scan + Dht + Sos + Scan + Eoi, true},
        {"thumbnail inside, whole", Soi + ExifThumbnail + Sof0 + Sos + Scan + Eoi, true},
        {"cut before the end marker", Soi + Sof0 + Dht + Sos + Scan, false},
        {"cut inside the end marker", whole.substr(0, whole.size() - 1), false},
        {"cut in the middle", whole.substr(0, whole.size() / 2), false},
        {"cut inside a header", (Soi + Sof0).substr(0, 7), false},
        {"thumbnail's end marker only", Soi + ExifThumbnail + Sof0 + Sos + Scan, false},
        {"end zeroed out", Soi + Sof0 + Sos + Scan + std::string(32, '\0'), false},
        {"end before any scan", Soi + Sof0 + Eoi, false},
        {"scan without frame", Soi + Sos + Scan + Eoi, false},
        {"start marker only", Soi, false},
        {"empty", "", false},
        {"not a JPEG", "GIF89a" + whole, false},
    };
    for (const Case& c : cases) {
        const auto size = CheckCompleteJpeg(c.bytes);
        EXPECT_EQ(size.has_value(), c.complete) << c.name;
        if (size && c.complete) {
            EXPECT_EQ(size->Width, 3) << c.name;
            EXPECT_EQ(size->Height, 2) << c.name;
        }
    }
}

}  // namespace
}  // namespace dexlora
