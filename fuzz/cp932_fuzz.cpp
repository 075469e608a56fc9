// CP932 decoding and encoding: what decodes is well-formed UTF-8 with the
// same line breaks, and what encodes without loss decodes back unchanged.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/core/encoding.h"

using namespace dexlora;
using dexlora::fuzz::Escaped;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string decoded = Cp932ToUtf8(input);
    FUZZ_CHECK(U32ToUtf8(Utf8ToU32(decoded)) == decoded, "malformed UTF-8 from " + Escaped(input));
    // The text reader splits lines on the decoded text.
    for (char end : {'\r', '\n'})
        FUZZ_CHECK(std::count(input.begin(), input.end(), end) == std::count(decoded.begin(), decoded.end(), end),
                   "line breaks of " + Escaped(input));
    // The decoded text, and the bytes as UTF-8 text the program wants to store.
    for (std::string back; const std::string& text : {decoded, input})
        if (TryUtf8ToCp932(text, back)) FUZZ_CHECK(Cp932ToUtf8(back) == text, Escaped(text) + " -> " + Escaped(back));
    return 0;
}
