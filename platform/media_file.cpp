// Reading media files whole, with Windows-made skin paths resolved.
#include "platform/media_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/error.h"
#include "platform/files.h"

namespace dexlora::platform_detail {

std::string ReadMediaFile(std::string_view path) {
    const std::string resolved = ResolvePath(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(resolved, ec)) {
        throw RuntimeError(ErrFileNotFound, "file not found: " + std::string(path));
    }
    const auto size = std::filesystem::file_size(resolved, ec);
    if (ec || size > MaxMediaFileBytes) {
        throw RuntimeError(ErrDirectX, "cannot read: " + std::string(path));
    }
    std::ifstream in(resolved, std::ios::binary);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        throw RuntimeError(ErrDirectX, "cannot read: " + std::string(path));
    }
    return bytes;
}

}  // namespace dexlora::platform_detail
