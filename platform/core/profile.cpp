// GetPrivateProfileString, GetPrivateProfileInt and WritePrivateProfileString
// over CP932 INI files. The file is searched in its own bytes, so the 127-byte
// cut and the name comparisons work on CP932 as they do on Windows.
#include "platform/core/profile.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/core/encoding.h"
#include "platform/core/files.h"
#include "platform/core/profile_cache.h"
#include "platform/core/profile_lines.h"

namespace dexlora {

using namespace profile_detail;

namespace {

constexpr size_t MaxValueBytes = ProfileBufferSize - 1;

// Where a key sits in the file. Only the first section of a name is searched
// and the first key of a name in it wins, as the Windows functions do.
// The file is walked line by line in place: no per-line container, so memory
// does not grow with the number of lines.
struct KeyLocation {
    bool hasSection = false;
    bool hasKey = false;
    Line keyLine;            // the key's line
    Line lastContentLine;    // last non-blank line of the section
    Line lastLine;           // last line of the file, when no section matched
    std::string_view value;
    std::string_view keyName;  // the key as the file spells it
};

KeyLocation FindKey(std::string_view bytes, std::string_view section, std::string_view key) {
    KeyLocation location;
    for (size_t pos = 0; pos < bytes.size();) {
        const Line line = LineAt(bytes, pos);
        pos = line.next;
        location.lastLine = line;
        std::string_view text = bytes.substr(line.start, line.end - line.start);
        ParsedLine parsed = ParseLine(text);
        if (!location.hasSection) {
            if (parsed.kind == ParsedLine::Section && NamesMatch(parsed.name, section)) {
                location.hasSection = true;
                location.lastContentLine = line;
            }
            continue;
        }
        if (parsed.kind == ParsedLine::Section) break;
        if (!Trim(text).empty()) location.lastContentLine = line;
        if (parsed.kind == ParsedLine::Key && NamesMatch(parsed.name, key)) {
            location.hasKey = true;
            location.keyLine = line;
            location.value = parsed.value;
            location.keyName = parsed.name;
            break;
        }
    }
    return location;
}

// Reads the whole file. Answers nullopt when it exists but cannot be read (a
// folder, FIFO or device, no permission, larger than MaxTextFileBytes); a
// missing file reads as empty.
std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::string bytes;
    switch (ReadWholeFile(path, bytes, MaxTextFileBytes)) {
        case FileReadStatus::Ok:
            return bytes;
        case FileReadStatus::Missing:
            return std::string();
        default:
            return std::nullopt;
    }
}

// A value with one pair of matching surrounding quotes removed, as Windows
// hands values back ("a b" and 'a b' both read as a b).
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The first 127 bytes of a CP932 value. A cut that would split a two-byte
// character drops that character's lead byte too, leaving 126 bytes, so the
// answer never ends in half a character.
std::string_view CutCp932(std::string_view value) {
    size_t kept = 0;
    while (kept < value.size()) {
        size_t length = IsCp932LeadByte(static_cast<unsigned char>(value[kept])) ? 2 : 1;
        if (kept + length > MaxValueBytes) break;
        kept += length;
    }
    return value.substr(0, std::min(kept, value.size()));
}

// The default cut the same way, measured in CP932 bytes but keeping whole
// characters as given (a character CP932 lacks counts as its one-byte "?").
std::string CutDefault(std::string_view utf8) {
    // No character takes more bytes in CP932 than in UTF-8.
    if (utf8.size() <= MaxValueBytes) return std::string(utf8);
    std::u32string points = Utf8ToU32(utf8);
    size_t bytes = 0;
    size_t kept = 0;
    for (; kept < points.size(); ++kept) {
        std::u32string_view one(&points[kept], 1);
        size_t length = Utf8ToCp932(U32ToUtf8(one)).size();
        if (bytes + length > MaxValueBytes) break;
        bytes += length;
    }
    return kept == points.size() ? std::string(utf8) : U32ToUtf8(std::u32string_view(points).substr(0, kept));
}

// The text before the first NUL, as a C string argument would be read.
std::string_view BeforeNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// Section and key names as the file spells them, in CP932 and trimmed.
std::string NameToCp932(std::string_view utf8) { return std::string(Trim(Utf8ToCp932(BeforeNul(utf8)))); }

}  // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    std::string_view fileName) {
    std::string fallback = CutDefault(BeforeNul(defaultValue));
    std::shared_ptr<const ProfileIndex> index = ReadProfile(ResolvePath(fileName));
    if (!index) return fallback;
    std::optional<std::string_view> value = FindValue(*index, NameToCp932(section), NameToCp932(key));
    if (!value) return fallback;
    // The caller sees the buffer as a C string: a NUL byte in the file ends the value.
    return Cp932ToUtf8(BeforeNul(CutCp932(Unquote(*value))));
}

int32_t GetPrivateProfileInt(std::string_view section, std::string_view key, int32_t defaultValue,
                             std::string_view fileName) {
    std::string text = GetPrivateProfileString(section, key, "", fileName);
    if (text.empty()) return defaultValue;

    // Blanks, an optional sign, then decimal digits or "0x" and hex digits;
    // digits stop at the first other character. Like Windows the number
    // wraps around modulo 2^32 instead of overflowing.
    std::string_view rest = Trim(text);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    uint32_t base = 10;
    if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        base = 16;
        rest.remove_prefix(2);
    }
    uint32_t number = 0;
    for (char c : rest) {
        uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (base == 16 && FoldAscii(c) >= 'A' && FoldAscii(c) <= 'F') {
            digit = static_cast<uint32_t>(FoldAscii(c) - 'A' + 10);
        } else {
            break;
        }
        number = number * base + digit;
    }
    if (negative) number = 0u - number;
    return static_cast<int32_t>(number);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               std::string_view fileName) {
    // Names and values that could not be read back as written are refused
    // rather than stored changed: line breaks would split the entry, a
    // character CP932 lacks would turn into "?".
    auto unsafe = [](std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) != text.npos; };
    if (unsafe(section) || unsafe(key) || unsafe(value)) return false;
    std::string sectionBytes;
    std::string keyBytes;
    std::string valueBytes;
    if (!TryUtf8ToCp932(section, sectionBytes) || !TryUtf8ToCp932(key, keyBytes) ||
        !TryUtf8ToCp932(value, valueBytes)) {
        return false;
    }
    sectionBytes = Trim(sectionBytes);
    keyBytes = Trim(keyBytes);
    if (sectionBytes.empty() || keyBytes.empty()) return false;
    if (keyBytes.find('=') != std::string::npos || keyBytes.front() == ';' || keyBytes.front() == '[') return false;

    std::string path = ResolvePath(fileName);
    std::optional<std::string> read = ReadFileBytes(path);
    if (!read) return false;  // never replace a file we could not read
    std::string bytes = std::move(*read);
    KeyLocation location = FindKey(bytes, sectionBytes, keyBytes);

    if (location.hasKey) {
        const Line& line = location.keyLine;
        std::string entry = std::string(location.keyName) + "=" + valueBytes;
        bytes.replace(line.start, line.end - line.start, entry);
    } else if (location.hasSection) {
        const Line& after = location.lastContentLine;
        std::string entry = keyBytes + "=" + valueBytes + "\r\n";
        if (after.next == after.end) entry.insert(0, "\r\n");  // that line had no line end
        bytes.insert(after.next, entry);
    } else {
        if (!bytes.empty()) {
            const Line& last = location.lastLine;
            if (last.next == last.end) bytes += "\r\n";
            if (!Trim(std::string_view(bytes).substr(last.start, last.end - last.start)).empty()) bytes += "\r\n";
        }
        bytes += "[" + sectionBytes + "]\r\n" + keyBytes + "=" + valueBytes + "\r\n";
    }
    const bool written = WriteFileAtomically(path, bytes);
    // The rename already changes the file's identity; forgetting it also
    // frees the memory of a file about to be read afresh anyway.
    ForgetProfile(path);
    return written;
}

void ForgetProfiles() { ForgetAllProfiles(); }

}  // namespace dexlora
