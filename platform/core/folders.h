// Folders as a folder chooser sees them: the current and home folders, the
// mounted file systems, folder paths, and one folder's listing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dexlora {

// The process's current folder; empty when it cannot be found (removed).
std::string CurrentFolder();

// The user's home folder from the password database (HOME when it has none);
// empty when neither knows one.
std::string HomeFolder();

// A folder path made absolute against base (itself absolute) and written
// plainly: "." and empty components dropped, ".." taking the previous
// component away (never above "/"), no trailing '/' except for the root.
// Names are taken as bytes: nothing is decoded.
std::string NormalizeFolderPath(std::string_view path, std::string_view base);

// The folder holding path ("/" for "/" itself); path is a normalised one.
std::string ParentFolder(std::string_view path);
// path joined with one more component.
std::string ChildFolder(std::string_view path, std::string_view name);
// Whether folder is inside top or top itself, component by component.
bool IsWithinFolder(std::string_view folder, std::string_view top);

// The mount points of real file systems in the text of /proc/self/mounts,
// in the order given, without duplicates and without "/": pseudo file
// systems (proc, sysfs, tmpfs, cgroup, ...) and everything below /proc, /sys
// and /dev are left out. Octal escapes in mount points are decoded.
std::vector<std::string> ParseMountPoints(std::string_view mountsText);

// ParseMountPoints of this process's mounts, keeping only those that are
// folders now.
std::vector<std::string> MountedFolders();

// The entries of one folder. Folders are what the folder list offers (links
// to folders included); every other entry is a file. Each group is sorted
// with names starting with '.' after the others, letters compared regardless
// of ASCII case.
struct FolderListing {
    std::vector<std::string> Folders;
    std::vector<std::string> Files;
    bool Truncated = false;  // the folder held more than the limit
};

inline constexpr size_t MaxListedEntries = 20000;

// Lists folder; answers false (out unspecified) when it cannot be opened,
// searched or read to its end. At most maxEntries entries are kept.
bool ListFolder(const std::string& folder, FolderListing& out, size_t maxEntries = MaxListedEntries);

}  // namespace dexlora
