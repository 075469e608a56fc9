// CP932 decoding and encoding: whatever decodes is well-formed UTF-8 of a
// bounded size, and what encodes decodes back to the same text.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "platform/core/encoding.h"

using namespace dexlora;
using dexlora::fuzz::Escaped;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    // The bytes as a CP932 file.
    const std::string decoded = Cp932ToUtf8(input);
    // A byte gives at most one three-byte character (U+FFFD or a half-width kana).
    FUZZ_CHECK(decoded.size() <= 3 * input.size(), Escaped(input));
    const std::u32string points = Utf8ToU32(decoded);
    FUZZ_CHECK(U32ToUtf8(points) == decoded, "decoding gave malformed UTF-8 for " + Escaped(input));
    FUZZ_CHECK(Utf8Length(decoded) == points.size(), Escaped(decoded));
    // No line break appears or disappears: the text reader splits lines on
    // the decoded text.
    for (char line : {'\r', '\n'}) {
        FUZZ_CHECK(std::count(input.begin(), input.end(), line) == std::count(decoded.begin(), decoded.end(), line),
                   Escaped(input));
    }
    std::string encoded;
    if (TryUtf8ToCp932(decoded, encoded)) {
        FUZZ_CHECK(Cp932ToUtf8(encoded) == decoded, Escaped(decoded) + " -> " + Escaped(encoded));
        FUZZ_CHECK(Utf8ToCp932(decoded) == encoded, Escaped(decoded));
    }

    // The bytes as UTF-8 text the program wants to store.
    std::string stored;
    if (TryUtf8ToCp932(input, stored)) {
        FUZZ_CHECK(Cp932ToUtf8(stored) == input, Escaped(input) + " -> " + Escaped(stored));
    }
    // The lossy form always gives CP932 that decodes without a bad byte.
    const std::string lossy = Utf8ToCp932(input);
    FUZZ_CHECK(Cp932ToUtf8(lossy).find("\xEF\xBF\xBD") == std::string::npos ||
                   input.find("\xEF\xBF\xBD") != std::string_view::npos,
               Escaped(input) + " -> " + Escaped(lossy));
    return 0;
}
