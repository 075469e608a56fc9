// The three profile functions over INI files, behaving as the Windows ones the
// settings loaders were written against. Files are CP932; values come back as
// UTF-8. The last few files read are kept parsed, so that a skin load reads
// and parses each file once; each lookup checks with one stat that the file
// is still the one read, so an edited, replaced or deleted file is read as it
// is now. The functions are called from one thread: nothing here takes a lock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dexlora {

// Size of the result buffer the game passes: a value is cut to its first
// ProfileBufferSize - 1 bytes in the file's CP932 bytes. A cut that would split
// a two-byte character leaves that character out whole (126 bytes remain).
inline constexpr size_t ProfileBufferSize = 128;

// The value of key in section, or defaultValue (cut the same way, measured in
// CP932 bytes) when the file, the section or the key is absent; a file that
// cannot be read (no permission, a folder, FIFO or device, or larger than
// MaxTextFileBytes) counts as absent. A key present
// with an empty value answers "". Section and key names match regardless of
// ASCII case; blanks around names and values are trimmed; lines starting with
// ';' are comments; a line without '=' is no key. One pair of matching quotes
// around a value (" or ') is removed. With duplicates, only the first section
// of a name is searched and the first key of a name in it counts.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view fileName);

// The whole number at the start of the value: optional blanks and sign, then
// decimal digits, or "0x" and hexadecimal digits; digits stop at the first
// other character and the number wraps around modulo 2^32 as on Windows.
// defaultValue when the file, section or key is absent or the value empty;
// 0 when the value does not start with a number.
int32_t GetPrivateProfileInt(std::string_view section, std::string_view key,
                             int32_t defaultValue, std::string_view fileName);

// Sets key in section to value, creating the file, section and key when
// missing and keeping every other byte of the file as it was; lines it adds
// end in CR LF (a new section goes at the end after a blank line, a new key
// after the last line of its section); a replaced line becomes "key=value"
// with the key spelt as the file had it. The file is replaced through a
// temporary file and a rename, never torn; a symbolic link is written
// through. Answers false, leaving the file untouched, when it cannot be read
// or written (read-only, not a regular file, larger than MaxTextFileBytes, a
// dangling link or a link loop), when section or key is empty,
// when the key holds '=' or starts with ';' or '[', or when any text holds a
// line break or a character CP932 cannot hold (it would not read back as written).
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, std::string_view fileName);

// Frees every file kept parsed; the platform session does so when it ends.
void ForgetProfiles();

}  // namespace dexlora
