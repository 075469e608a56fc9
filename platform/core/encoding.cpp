// CP932 <-> UTF-8 through glibc iconv, and a strict UTF-8 codec of our own.
#include "platform/core/encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace dexlora {

namespace {

constexpr char32_t ReplacementChar = 0xFFFD;
constexpr std::string_view ReplacementUtf8 = "\xEF\xBF\xBD";

// One iconv descriptor per direction and thread, opened on first use and kept:
// opening one costs far more than converting a line.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; stops at the first byte sequence that is
    // malformed or cannot be converted and answers how many input bytes were
    // consumed. Output is appended to out.
    // The work stays proportional to the bytes consumed, so a caller resuming
    // after each bad character is linear: the output goes through a fixed
    // buffer, and the input is handed over in slices that start small and
    // grow. glibc converts in two steps and, when the second refuses a
    // character, converts the first step's whole batch again; a small slice
    // keeps that batch small for a text full of characters CP932 lacks.
    size_t Convert(std::string_view in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        size_t done = 0;
        size_t slice = 64;
        char buffer[4096];
        while (done < in.size()) {
            const size_t take = std::min(slice, in.size() - done);
            char* inPtr = const_cast<char*>(in.data() + done);
            size_t inLeft = take;
            size_t rc;
            int err;
            do {
                char* outPtr = buffer;
                size_t outLeft = sizeof buffer;
                rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
                err = errno;
                out.append(buffer, static_cast<size_t>(outPtr - buffer));
            } while (rc == static_cast<size_t>(-1) && err == E2BIG);
            done += take - inLeft;
            if (rc != static_cast<size_t>(-1)) {
                slice = std::min<size_t>(slice * 2, 65536);
                continue;
            }
            // A character cut by the slice's end is whole in the next slice;
            // anything else (EILSEQ, or EINVAL at the real end) is the caller's.
            if (err == EINVAL && done + inLeft < in.size() && take - inLeft > 0) continue;
            break;
        }
        return done;
    }

private:
    iconv_t cd_;
};

Converter& FromCp932() {
    thread_local Converter converter("UTF-8", "CP932");
    return converter;
}

Converter& ToCp932() {
    thread_local Converter converter("CP932", "UTF-8");
    return converter;
}


void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = ReplacementChar;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// UTF-8 to CP932; each character that cannot be converted is handed to
// onFailure, which answers false to give up.
template <typename OnFailure>
bool EncodeCp932(std::string_view utf8, std::string& out, OnFailure onFailure) {
    Converter& converter = ToCp932();
    size_t pos = 0;
    while (pos < utf8.size()) {
        if (converter.Valid()) pos += converter.Convert(utf8.substr(pos), out);
        if (pos >= utf8.size()) break;
        size_t length;
        char32_t cp = DecodeUtf8(utf8, pos, length);
        if (!converter.Valid() && cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (!onFailure(out)) {
            return false;
        }
        pos += length;
    }
    return true;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    Converter& converter = FromCp932();
    size_t pos = 0;
    while (pos < bytes.size()) {
        if (converter.Valid()) {
            pos += converter.Convert(bytes.substr(pos), out);
        } else if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            out += bytes[pos++];
            continue;
        }
        if (pos >= bytes.size()) break;
        out += ReplacementUtf8;  // one bad byte; resume right after it
        ++pos;
    }
    return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    EncodeCp932(utf8, out, [](std::string& o) {
        o += '?';
        return true;
    });
    return out;
}

bool TryUtf8ToCp932(std::string_view utf8, std::string& out) {
    out.clear();
    out.reserve(utf8.size());
    // The encoder also gives a few characters CP932 lacks the code of a
    // look-alike (U+00A2 CENT SIGN becomes 0x8191, which reads back as U+FFE0),
    // so only a text that decodes back unchanged was held without loss.
    return EncodeCp932(utf8, out, [](std::string&) { return false; }) && Cp932ToUtf8(out) == utf8;
}

std::u32string Utf8ToU32(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    size_t length;
    for (size_t pos = 0; pos < utf8.size(); pos += length) out += DecodeUtf8(utf8, pos, length);
    return out;
}

std::string U32ToUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (char32_t cp : text) AppendUtf8(out, cp);
    return out;
}

size_t Utf8Length(std::string_view utf8) {
    size_t count = 0;
    size_t length;
    for (size_t pos = 0; pos < utf8.size(); pos += length) {
        DecodeUtf8(utf8, pos, length);
        ++count;
    }
    return count;
}

char32_t DecodeUtf8(std::string_view text, size_t pos, size_t& length) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(pos);
    length = 1;
    if (lead < 0x80) return lead;
    size_t count;
    char32_t cp;
    char32_t min;
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 2, cp = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 3, cp = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 4, cp = lead & 0x07, min = 0x10000;
    } else {
        return ReplacementChar;
    }
    if (pos + count > text.size()) return ReplacementChar;
    for (size_t i = 1; i < count; ++i) {
        unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80) return ReplacementChar;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return ReplacementChar;
    length = count;
    return cp;
}

}  // namespace dexlora
