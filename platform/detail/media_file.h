// Reads a whole media file (picture or sound) named as a skin names it.
// Private to platform/; no SDL.
#pragma once

#include <string>
#include <string_view>

namespace dexlora::platform_detail {

// Media files larger than this are refused rather than read into memory.
inline constexpr size_t MaxMediaFileBytes = 256u * 1024 * 1024;

// The bytes of the file at path (resolved as a Windows-made skin path).
// Raises RuntimeError ErrFileNotFound when no regular file is there, and
// ErrDirectX when it cannot be read or is too large.
std::string ReadMediaFile(std::string_view path);

}  // namespace dexlora::platform_detail
