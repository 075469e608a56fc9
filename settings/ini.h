// Settings-file access for the skin loaders: text, whole numbers and colours
// read from INI files, and the one write-back. No call keeps a file open.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/convert.h"

namespace dexlora {

// A colour packed as red + 256 × green + 65536 × blue, the form every drawing
// operation takes.
constexpr int32_t PackColor(int32_t red, int32_t green, int32_t blue) {
    return red + 256 * green + 65536 * blue;
}

// The value of key in section of file (a full path), at most 127 bytes in the
// file's CP932; defaultValue when the file, section or key is absent. A key
// present with an empty value answers "".
std::string ReadIniString(std::string_view file, std::string_view section, std::string_view key,
                          std::string_view defaultValue);

// The whole number at the start of the value; defaultValue when the file,
// section or key is absent or the value empty; 0 when the value does not start
// with a number.
int32_t ReadIniInt(std::string_view file, std::string_view section, std::string_view key, int32_t defaultValue);

// A colour written "red,green,blue"; never fails. An absent key gives white;
// anything but three whole numbers of at least 0 gives black; a number above
// 255 counts as 255; fractions round half to even.
int32_t ReadIniColor(std::string_view file, std::string_view section, std::string_view key);

// Writes the key with its value into the section of file, creating what is
// missing and keeping the rest of the file. Answers whether it was written.
bool WriteIniString(std::string_view file, std::string_view section, std::string_view key,
                    std::string_view value);

}  // namespace dexlora
