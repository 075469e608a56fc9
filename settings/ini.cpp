// Settings-file access for the skin loaders over the profile functions.
#include "settings/ini.h"

#include <array>

#include "platform/core/error.h"
#include "platform/core/profile.h"

namespace dexlora {

std::string ReadIniString(std::string_view file, std::string_view section, std::string_view key,
                          std::string_view defaultValue) {
    return GetPrivateProfileString(section, key, defaultValue, file);
}

int32_t ReadIniInt(std::string_view file, std::string_view section, std::string_view key, int32_t defaultValue) {
    return GetPrivateProfileInt(section, key, defaultValue, file);
}

int32_t ReadIniColor(std::string_view file, std::string_view section, std::string_view key) {
    constexpr int32_t Black = 0;
    std::string text = ReadIniString(file, section, key, "255,255,255");
    if (text.empty()) return Black;

    std::array<int32_t, 3> parts{};
    size_t count = 0;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        std::string_view part = std::string_view(text).substr(start, comma - start);
        if (count == parts.size()) return Black;  // four parts or more
        try {
            int32_t number = CInt(part);
            if (number < 0) return Black;
            parts[count++] = number > 255 ? 255 : number;
        } catch (const RuntimeError&) {
            return Black;
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (count != parts.size()) return Black;
    return PackColor(parts[0], parts[1], parts[2]);
}

bool WriteIniString(std::string_view file, std::string_view section, std::string_view key,
                    std::string_view value) {
    return WritePrivateProfileString(section, key, value, file);
}

}  // namespace dexlora
