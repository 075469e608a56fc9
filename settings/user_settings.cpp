// The rule that places the player's settings files, over POSIX calls.
#include "settings/user_settings.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/core/files.h"
#include "settings/ini.h"
#include "settings/shared.h"

namespace dexlora {

std::string UserSettingsPath;

namespace {

// folder (absolute) joined with tail, with one '/' between them.
std::string Below(std::string_view folder, std::string_view tail) {
    while (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
    return std::string(folder) + "/" + std::string(tail);
}

bool Absolute(std::string_view path) { return !path.empty() && path.front() == '/'; }

// Whether WriteFileAtomically could replace path: the file, if there, is a
// writable regular file (a link counts as its target), and its folder lets a
// new file in. Root passes the folder test everywhere but on a read-only
// file system, as its writes would.
bool CanReplace(const std::string& path) {
    std::string target = path;
    struct stat st;
    if (lstat(path.c_str(), &st) == 0) {
        std::unique_ptr<char, decltype(&free)> real(realpath(path.c_str(), nullptr), &free);
        if (!real || stat(real.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
        if ((st.st_mode & S_IWUSR) == 0 || access(real.get(), W_OK) != 0) return false;
        target = real.get();
    } else if (errno != ENOENT) {
        return false;
    }
    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

// Makes folder and every missing folder above it, each with mode 0700: the
// settings are the player's alone. Answers whether folder is there now.
bool MakeFolders(const std::string& folder) {
    for (size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos != folder.size() && folder[pos] != '/') continue;
        const std::string part = folder.substr(0, pos);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string UserSettingsFolderFrom(std::string_view xdgConfigHome, std::string_view home,
                                   std::string_view passwordHome) {
    if (Absolute(xdgConfigHome)) return Below(xdgConfigHome, "dexlora/");
    if (Absolute(home)) return Below(home, ".config/dexlora/");
    if (Absolute(passwordHome)) return Below(passwordHome, ".config/dexlora/");
    return {};
}

std::string UserSettingsFolder() {
    const auto variable = [](const char* name) -> std::string_view {
        const char* value = std::getenv(name);
        return value ? value : "";
    };
    std::string passwordHome;
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        passwordHome = entry->pw_dir;
    }
    return UserSettingsFolderFrom(variable("XDG_CONFIG_HOME"), variable("HOME"), passwordHome);
}

std::string SettingsFileToRead(std::string_view name) {
    if (!UserSettingsPath.empty()) {
        std::string own = UserSettingsPath + std::string(name);
        if (FileExists(own)) return own;
    }
    return SystemPath + std::string(name);
}

std::string SettingsFileToWrite(std::string_view name) {
    const std::string system = SystemPath + std::string(name);
    if (UserSettingsPath.empty()) return system;
    const std::string own = UserSettingsPath + std::string(name);
    if (FileExists(own)) return own;
    if (CanReplace(ResolvePath(system))) return system;

    if (MakeFolders(UserSettingsPath)) {
        std::string bytes;
        if (ReadWholeFile(ResolvePath(system), bytes) == FileReadStatus::Ok) WriteFileAtomically(own, bytes);
    }
    return own;
}

std::string PlayerFileToRead(std::string_view name) {
    return (UserSettingsPath.empty() ? SystemPath : UserSettingsPath) + std::string(name);
}

std::string PlayerFileToWrite(std::string_view name) {
    if (!UserSettingsPath.empty()) MakeFolders(UserSettingsPath);
    return PlayerFileToRead(name);
}

namespace {

constexpr std::string_view KeptSkinFolderName = "SkinFolder.txt";

// What SkinFolder.txt holds: an absolute path and one line end. Anything else
// (a file cut short, damaged or far larger than any path) holds nothing.
std::string KeptSkinFolder() {
    if (UserSettingsPath.empty()) return {};
    std::string bytes;
    if (ReadWholeFile(ResolvePath(UserSettingsPath + std::string(KeptSkinFolderName)), bytes, PATH_MAX + 1) !=
        FileReadStatus::Ok) {
        return {};
    }
    if (bytes.size() < 2 || bytes.front() != '/' || bytes.back() != '\n' || bytes.find('\0') != std::string::npos) {
        return {};
    }
    bytes.pop_back();
    return bytes;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// The folder as System.ini must hold it to read back unchanged: reading trims
// blanks around a value and then takes off one pair of quotes around it.
std::string QuotedWhereNeeded(const std::string& folder) {
    if (folder.empty()) return folder;
    const char first = folder.front(), last = folder.back();
    const bool quoted = folder.size() >= 2 && (first == '"' || first == '\'') && last == first;
    return Blank(first) || Blank(last) || quoted ? '"' + folder + '"' : folder;
}

std::string StoredSkinPath(std::string_view defaultValue) {
    return ReadIniString(SettingsFileToRead("System.ini"), "System", "SkinPath", defaultValue);
}

}  // namespace

std::string RememberedSkinFolder(const std::string& programFolder) {
    if (std::string stored = StoredSkinPath(""); !stored.empty()) return stored;
    if (std::string kept = KeptSkinFolder(); !kept.empty()) return kept;
    return StoredSkinPath("?") == "?" ? programFolder : std::string();
}

bool RememberSkinFolder(const std::string& folder) {
    const std::string kept = UserSettingsPath.empty() ? std::string() : UserSettingsPath + std::string(KeptSkinFolderName);
    if (WriteIniString(SettingsFileToWrite("System.ini"), "System", "SkinPath", QuotedWhereNeeded(folder)) &&
        StoredSkinPath("") == folder) {
        if (!kept.empty()) unlink(ResolvePath(kept).c_str());  // a stale copy must never come back
        return true;
    }
    if (kept.empty() || folder.empty() || !MakeFolders(UserSettingsPath) ||
        !WriteFileAtomically(kept, folder + "\n")) {
        return false;
    }
    WriteIniString(SettingsFileToWrite("System.ini"), "System", "SkinPath", "");
    return RememberedSkinFolder(std::string()) == folder;
}

}  // namespace dexlora
