// Reading the lines of CP932 INI files.
#include "platform/core/profile_lines.h"

#include "platform/core/encoding.h"

namespace dexlora::profile_detail {

Line LineAt(std::string_view bytes, size_t pos) {
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    size_t next = end;
    if (next < bytes.size() && bytes[next] == '\r') ++next;
    if (next < bytes.size() && bytes[next] == '\n') ++next;
    return {pos, end, next};
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

}  // namespace

// CP932 trail bytes never take these values, so trimming byte by byte is safe.
std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool NamesMatch(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (IsCp932LeadByte(static_cast<unsigned char>(a[i]))) {
            if (a[i] != b[i]) return false;
            if (++i < a.size() && a[i] != b[i]) return false;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

namespace {

// Position of the last ']' that is a character of its own (not the second
// byte of a two-byte character), or npos.
size_t FindClosingBracket(std::string_view text) {
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsCp932LeadByte(static_cast<unsigned char>(text[i]))) {
            ++i;
        } else if (text[i] == ']') {
            found = i;
        }
    }
    return found;
}

}  // namespace

ParsedLine ParseLine(std::string_view text) {
    ParsedLine parsed;
    text = Trim(text);
    if (text.empty() || text.front() == ';') return parsed;
    if (text.front() == '[') {
        size_t close = FindClosingBracket(text);
        if (close != std::string_view::npos) {
            parsed.kind = ParsedLine::Section;
            parsed.name = Trim(text.substr(1, close - 1));
            return parsed;
        }
        // A '[' line without ']' is no section header; it may still be a key.
    }
    size_t equals = text.find('=');  // never a trail byte: those start at 0x40
    if (equals == std::string_view::npos) return parsed;
    parsed.kind = ParsedLine::Key;
    parsed.name = Trim(text.substr(0, equals));
    parsed.value = Trim(text.substr(equals + 1));
    return parsed;
}

}  // namespace dexlora::profile_detail
