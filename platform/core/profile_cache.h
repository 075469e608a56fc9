// The settings files read last, kept parsed, so that the many lookups of a
// skin load read and parse each file once: time linear in the files' sizes.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace dexlora::profile_detail {

// A file's bytes with an index of every section and key a lookup can reach.
class ProfileIndex;

// The file at path (resolved) parsed, or null when it is missing or cannot be
// read (not a regular file, no permission, larger than MaxTextFileBytes).
// One stat per call checks that a kept file is still what was read: a file
// edited in place or replaced is read afresh.
std::shared_ptr<const ProfileIndex> ReadProfile(const std::string& path);

// The trimmed value of key in section (CP932 names, trimmed): only the first
// section of a name counts and the first key of a name in it, names compared
// as NamesMatch does. The view lives as long as index.
std::optional<std::string_view> FindValue(const ProfileIndex& index, std::string_view section, std::string_view key);

// Drops what is kept of the file at path, once it has been written.
void ForgetProfile(const std::string& path);
// Drops every file kept.
void ForgetAllProfiles();

}  // namespace dexlora::profile_detail
