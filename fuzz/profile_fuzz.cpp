// The settings reader: profile strings and whole numbers, colours, the number
// conversions of the values read, and a write that must read back.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/core/encoding.h"
#include "platform/core/error.h"
#include "settings/ini.h"

using namespace dexlora;
using dexlora::fuzz::Escaped;

namespace {

// The error a conversion raises, 0 when it raises none.
template <typename Convert>
int32_t ErrorOf(Convert convert) {
    try {
        convert();
        return 0;
    } catch (const RuntimeError& e) {
        return e.Number;
    }
}

std::string_view TrimBlanks(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// Section and key names the file itself uses, so that reads find real keys.
std::vector<std::pair<std::string, std::string>> KeysOf(std::string_view file) {
    std::vector<std::pair<std::string, std::string>> keys;
    std::string section;
    size_t pos = 0;
    while (pos < file.size() && keys.size() < 6) {
        size_t end = file.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = file.size();
        std::string line = Cp932ToUtf8(TrimBlanks(file.substr(pos, end - pos)));
        pos = end + 1;
        size_t close = line.rfind(']');
        if (!line.empty() && line[0] == '[' && close != std::string::npos) {
            section = TrimBlanks(std::string_view(line).substr(1, close - 1));
        } else if (size_t equals = line.find('='); equals != std::string::npos && line[0] != ';') {
            keys.emplace_back(section, TrimBlanks(std::string_view(line).substr(0, equals)));
        }
    }
    return keys;
}

// CSng against the C library's reading of the same digits: overflow when the
// nearest float is beyond the largest, otherwise that float (0 when too small).
void CheckCSng(const std::string& text) {
    float value = 0;
    int32_t error = ErrorOf([&] { value = CSng(text); });
    if (error == ErrTypeMismatch) return;  // the form is CSng's own rule
    std::string digits(TrimBlanks(text));
    bool negative = !digits.empty() && digits[0] == '-';
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.erase(0, 1);
    errno = 0;
    double expected = std::strtod(digits.c_str(), nullptr);
    if (std::isinf(static_cast<float>(expected))) {
        FUZZ_CHECK(error == ErrOverflow, "CSng(\"" + Escaped(text) + "\") should overflow");
        return;
    }
    FUZZ_CHECK(error == 0, "CSng(\"" + Escaped(text) + "\") raised " + std::to_string(error));
    float wanted = static_cast<float>(negative ? -expected : expected);
    FUZZ_CHECK(value == wanted, "CSng(\"" + Escaped(text) + "\") = " + std::to_string(value));
}

// CInt and CLng agree where both hold the number, and fail alike elsewhere.
void CheckWholeNumbers(const std::string& text) {
    int32_t lng = 0;
    int16_t integer = 0;
    int32_t lngError = ErrorOf([&] { lng = CLng(text); });
    int32_t intError = ErrorOf([&] { integer = CInt(text); });
    if (lngError != 0) {
        FUZZ_CHECK(intError == lngError, "CInt/CLng(\"" + Escaped(text) + "\") fail differently");
        return;
    }
    if (lng >= INT16_MIN && lng <= INT16_MAX) {
        FUZZ_CHECK(intError == 0 && integer == lng, "CInt(\"" + Escaped(text) + "\") != CLng");
    } else {
        FUZZ_CHECK(intError == ErrOverflow, "CInt(\"" + Escaped(text) + "\") should overflow");
    }
    FUZZ_CHECK(CLng(std::to_string(lng)) == lng, Escaped(text));
    // A whole number is also a single, rounded to the nearest float.
    FUZZ_CHECK(ErrorOf([&] { CSng(text); }) == 0, "CSng(\"" + Escaped(text) + "\") refuses a CLng text");
}

// A float printed the shortest way and with nine digits reads back exactly.
void CheckPrintedFloat(std::string_view input) {
    if (input.size() < 4) return;
    float value;
    std::memcpy(&value, input.data(), sizeof value);
    if (!std::isfinite(value)) return;
    char shortest[64];
    auto [end, error] = std::to_chars(shortest, shortest + sizeof shortest, value);
    FUZZ_CHECK(error == std::errc(), "to_chars");
    char nine[64];
    std::snprintf(nine, sizeof nine, "%.9g", static_cast<double>(value));
    for (const std::string& text : {std::string(shortest, end), std::string(nine)}) {
        float back = 0;
        int32_t raised = ErrorOf([&] { back = CSng(text); });
        FUZZ_CHECK(raised == 0 && std::memcmp(&back, &value, sizeof value) == 0,
                   "CSng(\"" + text + "\") does not give the float back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckPrintedFloat(input);
    CheckCSng(std::string(input.substr(0, 200)));
    CheckWholeNumbers(std::string(input.substr(0, 200)));

    const std::string file = fuzz::ScratchFolder::Get().Write("Skin.ini", input);
    auto keys = KeysOf(input);
    keys.emplace_back("Title", "Color");

    std::vector<std::string> values;
    for (const auto& [section, key] : keys) {
        const std::string value = ReadIniString(file, section, key, "");
        std::string cp932 = Utf8ToCp932(value);
        FUZZ_CHECK(cp932.size() <= 127, section + "/" + key + " gave " + std::to_string(cp932.size()) + " bytes");
        FUZZ_CHECK(value.find_first_of("\r\n") == std::string::npos, Escaped(value));
        values.push_back(value);
        if (value.empty()) {
            FUZZ_CHECK(ReadIniInt(file, section, key, 12345) == 12345 && ReadIniInt(file, section, key, -7) == -7,
                       "an empty or absent value must give the default: " + section + "/" + key);
        } else {
            FUZZ_CHECK(ReadIniInt(file, section, key, 12345) == ReadIniInt(file, section, key, -7),
                       "a present value must not give the default: " + section + "/" + key);
        }
        const int32_t color = ReadIniColor(file, section, key);
        FUZZ_CHECK(color >= 0 && color <= 0xFFFFFF, std::to_string(color));
        CheckWholeNumbers(value);
        CheckCSng(value);
    }
    FUZZ_CHECK(ReadIniColor(file, "No such section", "No such key") == 0xFFFFFF, "an absent colour is white");

    // A value written reads back, and every other key keeps its value.
    const auto& [section, key] = keys.front();
    const std::string written = "1,2,3 fuzz";
    if (WriteIniString(file, section, key, written)) {
        FUZZ_CHECK(ReadIniString(file, section, key, "") == written, "write of " + section + "/" + key);
        for (size_t i = 1; i < keys.size(); ++i) {
            const std::string again = ReadIniString(file, keys[i].first, keys[i].second, "");
            // A name that matches the written one regardless of case is the same key.
            FUZZ_CHECK(again == values[i] || again == written,
                       "writing " + section + "/" + key + " changed " + keys[i].first + "/" + keys[i].second);
        }
    }
    return 0;
}
