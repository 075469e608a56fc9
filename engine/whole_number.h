// Reading a decimal whole number from a line of a data file.
#pragma once

#include <charconv>
#include <cstdint>
#include <string_view>

namespace dexlora {

// Parses a line holding one 32-bit decimal whole number, optionally signed and
// surrounded by spaces or tabs. Anything else (an empty line, a fraction, text,
// a value out of range) answers false and leaves value unchanged.
inline bool ParseWholeNumber(std::string_view line, int32_t& value) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!line.empty() && blank(line.front())) line.remove_prefix(1);
    while (!line.empty() && blank(line.back())) line.remove_suffix(1);
    if (!line.empty() && line.front() == '+') {
        line.remove_prefix(1);
        if (!line.empty() && line.front() == '-') return false;  // "+-1"
    }
    int32_t parsed = 0;
    auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), parsed);
    if (error != std::errc() || end != line.data() + line.size()) return false;
    value = parsed;
    return true;
}

}  // namespace dexlora
