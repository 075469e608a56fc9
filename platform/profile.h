// The three profile functions over INI files, behaving as the Windows ones the
// settings loaders were written against. Files are CP932; values come back as
// UTF-8. Each call opens, reads or writes, and closes the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dexlora {

// Size of the result buffer the game passes: a value is cut to its first
// ProfileBufferSize - 1 bytes in the file's CP932 bytes.
inline constexpr size_t ProfileBufferSize = 128;

// The value of key in section, or defaultValue (cut the same way) when the
// file, the section or the key is absent. A key present with an empty value
// answers "". Section and key names match regardless of case; blanks around
// keys and values are trimmed; lines starting with ';' are comments.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view fileName);

// The whole number at the start of the value (optional '-' and digits);
// defaultValue when the file, section or key is absent or the value empty;
// 0 when the value does not start with a number.
int32_t GetPrivateProfileInt(std::string_view section, std::string_view key,
                             int32_t defaultValue, std::string_view fileName);

// Sets key in section to value, creating the file, section and key when
// missing and keeping every other line as it was, with CR LF line ends. The
// file is replaced through a temporary file and a rename, never torn.
// Answers false when the file could not be written.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, std::string_view fileName);

}  // namespace dexlora
