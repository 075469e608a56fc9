// The settings reader: every value read is a single line short enough for a
// profile string, a written key reads back and leaves the others alone, and
// CSng reads digits as the C library does.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/core/encoding.h"
#include "platform/core/error.h"
#include "settings/convert.h"
#include "settings/ini.h"

using namespace dexlora;
using dexlora::fuzz::Escaped;

namespace {

// CSng against strtod on the same digits: overflow when the nearest float is
// beyond the largest, otherwise that float (0 when too small).
void CheckCSng(const std::string& text) {
    float value = 0;
    int32_t error = 0;
    try { value = CSng(text); } catch (const RuntimeError& e) { error = e.Number; }
    const float expected = static_cast<float>(std::strtod(text.c_str(), nullptr));
    FUZZ_CHECK(error == ErrTypeMismatch || (std::isinf(expected) ? error == ErrOverflow : !error && value == expected),
               "CSng(\"" + Escaped(text) + "\") gave " + std::to_string(value) + ", error " + std::to_string(error));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckCSng(std::string(input.substr(0, 200)));
    const std::string file = fuzz::WriteScratch("Skin.ini", input);
    // Keys the corpus files hold; the fuzzer finds others through the comparisons.
    const std::pair<std::string, std::string> keys[] = {{"S", "k"}, {"Title", "Color"}, {"S", "a"}, {"A", "k"},
                                                        {"Game", "Speed"}, {"S", "k2"}, {"Title", "Name"}};
    std::vector<std::string> values;
    for (const auto& [section, key] : keys) {
        values.push_back(ReadIniString(file, section, key, ""));
        FUZZ_CHECK(Utf8ToCp932(values.back()).size() <= 127 && values.back().find_first_of("\r\n") == std::string::npos,
                   section + "/" + key + " gave " + Escaped(values.back()));
        CheckCSng(values.back());
    }
    // A value written reads back, and every other key keeps its value.
    const std::string written = "1,2,3 fuzz";
    if (WriteIniString(file, "S", "k", written))
        for (size_t i = 0; i < std::size(keys); ++i)
            FUZZ_CHECK(ReadIniString(file, keys[i].first, keys[i].second, "") == (i == 0 ? written : values[i]),
                       "writing S/k changed " + keys[i].second);
    return 0;
}
