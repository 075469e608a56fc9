// How the lines of a CP932 INI file read: sections, keys and values, and
// how names compare. Shared by the profile functions and their index.
#pragma once

#include <cstddef>
#include <string_view>

namespace dexlora::profile_detail {

// One line of the file: [start, end) is its text, next is where the following
// line starts (after the line end, if any).
struct Line {
    size_t start = 0;
    size_t end = 0;
    size_t next = 0;
};

// The line starting at pos (pos < bytes.size()).
Line LineAt(std::string_view bytes, size_t pos);

// The text without blanks (space, tab, vertical tab, form feed) around it.
std::string_view Trim(std::string_view text);

char FoldAscii(char c);

// Compares two CP932 names with ASCII letters folded; the second byte of a
// two-byte character may look like a letter and is compared exactly.
bool NamesMatch(std::string_view a, std::string_view b);

// What one line of an INI file is.
struct ParsedLine {
    enum Kind { Other, Section, Key } kind = Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed
};

// A line without its line end.
ParsedLine ParseLine(std::string_view text);

}  // namespace dexlora::profile_detail
