// Folder paths, listings and mount points over POSIX calls.
#include "platform/core/folders.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <memory>

#include "platform/core/files.h"

namespace dexlora {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// /proc/self/mounts is a few kilobytes; anything near this is not a mount table.
constexpr size_t MaxMountsBytes = 4u << 20;

// File systems that hold no one's files: kernel views, memory-backed scratch
// space and container plumbing.
constexpr std::string_view PseudoFileSystems[] = {
    "autofs",     "binfmt_misc", "bpf",       "cgroup",  "cgroup2",  "configfs",   "debugfs",
    "devpts",     "devtmpfs",    "efivarfs",  "fusectl", "hugetlbfs", "mqueue",    "nsfs",
    "overlay",    "proc",        "pstore",    "ramfs",   "rpc_pipefs", "securityfs", "selinuxfs",
    "squashfs",   "sysfs",       "tmpfs",     "tracefs", "fuse.gvfsd-fuse", "fuse.portal",
};

bool IsPseudo(std::string_view type) {
    return std::find(std::begin(PseudoFileSystems), std::end(PseudoFileSystems), type) !=
           std::end(PseudoFileSystems);
}

// Mount points write blank, tab, line feed and backslash as \ooo.
std::string DecodeMountPoint(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        const auto octal = [&](size_t at) { return at < field.size() && field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            const int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            if (value > 0 && value < 256) {
                out += char(value);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Visible names first, then names starting with '.'; letters regardless of
// case, and the raw bytes to keep the order total.
bool ListedBefore(const std::string& a, const std::string& b) {
    const bool hiddenA = !a.empty() && a[0] == '.', hiddenB = !b.empty() && b[0] == '.';
    if (hiddenA != hiddenB) return hiddenB;
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = FoldAscii(a[i]), y = FoldAscii(b[i]);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace

std::string CurrentFolder() {
    std::string buffer(256, '\0');
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            // A removed current folder comes back marked "(unreachable)".
            if (buffer.empty() || buffer[0] != '/') return {};
            return buffer;
        }
        if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::string HomeFolder() {
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr &&
                                                  entry->pw_dir[0] == '/') {
        return NormalizeFolderPath(entry->pw_dir, "/");
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return NormalizeFolderPath(home, "/");
    return {};
}

std::string NormalizeFolderPath(std::string_view path, std::string_view base) {
    std::vector<std::string_view> parts;
    const auto walk = [&parts](std::string_view text) {
        size_t pos = 0;
        while (pos <= text.size()) {
            size_t end = text.find('/', pos);
            if (end == std::string_view::npos) end = text.size();
            const std::string_view part = text.substr(pos, end - pos);
            if (part == "..") {
                if (!parts.empty()) parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            pos = end + 1;
        }
    };
    if (path.empty() || path[0] != '/') walk(base);
    walk(path);
    if (parts.empty()) return "/";
    std::string out;
    for (std::string_view part : parts) {
        out += '/';
        out += part;
    }
    return out;
}

std::string ParentFolder(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string_view::npos || slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

std::string ChildFolder(std::string_view path, std::string_view name) {
    std::string out(path);
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
    return out;
}

bool IsWithinFolder(std::string_view folder, std::string_view top) {
    if (top == "/") return !folder.empty() && folder[0] == '/';
    return folder.substr(0, top.size()) == top && (folder.size() == top.size() || folder[top.size()] == '/');
}

std::vector<std::string> ParseMountPoints(std::string_view mountsText) {
    std::vector<std::string> points;
    size_t pos = 0;
    while (pos < mountsText.size()) {
        size_t end = mountsText.find('\n', pos);
        if (end == std::string_view::npos) end = mountsText.size();
        const std::string_view line = mountsText.substr(pos, end - pos);
        pos = end + 1;
        // device, mount point, type, options, two numbers: blank-separated
        std::array<std::string_view, 3> fields;
        size_t count = 0, at = 0;
        while (count < fields.size() && at < line.size()) {
            while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
            const size_t start = at;
            while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
            if (at > start) fields[count++] = line.substr(start, at - start);
        }
        if (count < fields.size() || IsPseudo(fields[2])) continue;
        const std::string point = DecodeMountPoint(fields[1]);
        if (point.empty() || point[0] != '/' || point == "/") continue;
        if (IsWithinFolder(point, "/proc") || IsWithinFolder(point, "/sys") || IsWithinFolder(point, "/dev")) continue;
        if (std::find(points.begin(), points.end(), point) == points.end()) points.push_back(point);
    }
    return points;
}

std::vector<std::string> MountedFolders() {
    std::string text;
    if (ReadWholeFile("/proc/self/mounts", text, MaxMountsBytes) != FileReadStatus::Ok) return {};
    std::vector<std::string> points = ParseMountPoints(text);
    std::erase_if(points, [](const std::string& point) { return !IsFolder(point); });
    return points;
}

bool ListFolder(const std::string& folder, FolderListing& out, size_t maxEntries) {
    out = FolderListing{};
    // A folder that can be read but not searched lists names whose files
    // cannot be opened: not a folder a skin can be read from.
    if (access(folder.c_str(), R_OK | X_OK) != 0) return false;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return false;
    const std::string prefix = ChildFolder(folder, "");
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) return false;
            break;
        }
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (out.Folders.size() + out.Files.size() >= maxEntries) {
            out.Truncated = true;
            break;
        }
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) isFolder = IsFolder(prefix + std::string(name));
        (isFolder ? out.Folders : out.Files).emplace_back(name);
    }
    std::sort(out.Folders.begin(), out.Folders.end(), ListedBefore);
    std::sort(out.Files.begin(), out.Files.end(), ListedBefore);
    return true;
}

}  // namespace dexlora
