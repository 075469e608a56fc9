// Reading media files whole, with Windows-made skin paths resolved.
#include "platform/detail/media_file.h"

#include "platform/core/error.h"
#include "platform/core/files.h"

namespace dexlora::platform_detail {

std::string ReadMediaFile(std::string_view path) {
    std::string bytes;
    switch (ReadWholeFile(ResolvePath(path), bytes, MaxMediaFileBytes)) {
        case FileReadStatus::Ok:
            return bytes;
        case FileReadStatus::Missing:
        case FileReadStatus::NotAFile:
            throw RuntimeError(ErrFileNotFound, "file not found: " + std::string(path));
        default:
            throw RuntimeError(ErrDirectX, "cannot read: " + std::string(path));
    }
}

}  // namespace dexlora::platform_detail
