// File system services: the program's folder, skin paths made on Windows,
// sequential CP932 text files and writes that never leave a torn file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace dexlora {

// The folder holding the running executable, ending in '/'.
std::string ProgramFolder();

// A path as a skin made on Windows writes it: backslashes become '/', and
// every component that does not exist as written is matched case-insensitively
// against its folder. Answers the path of the existing file when one matches,
// otherwise the path with '/' separators as given.
std::string ResolvePath(std::string_view path);

// Whether a regular file exists at the (resolved) path.
bool FileExists(std::string_view path);

// How reading a whole file went.
enum class FileReadStatus {
    Ok,
    Missing,     // nothing there, or a folder on the way is missing
    NotAFile,    // a folder, device or the like
    OpenFailed,  // there, but it cannot be opened (permissions)
    ReadFailed,  // an error while reading
    TooLarge,    // larger than the caller allows
};

// The largest text file (settings, tables, questions, key configuration) we
// read: far above any real skin, small enough to hold in memory a few times.
inline constexpr size_t MaxTextFileBytes = 64u * 1024 * 1024;

// Reads the file at path (used as given: resolve it first) whole into bytes.
// Only a regular file is read; a FIFO or device is refused without waiting on
// it. Never holds more than maxBytes, whatever size the file claims or grows to.
FileReadStatus ReadWholeFile(const std::string& path, std::string& bytes, size_t maxBytes = MaxTextFileBytes);

// Reads a CP932 text file line by line, as sequential input does: lines end in
// CR LF (a lone LF or CR is accepted too), the last line may lack its line end.
// Lines come back decoded to UTF-8, without their line end.
class TextFileReader {
public:
    // Opens the (resolved) path and reads it whole; raises RuntimeError
    // ErrFileNotFound when it cannot be opened (or is a folder, FIFO or
    // device), ErrPathAccess when reading fails or the file is larger than
    // MaxTextFileBytes. The message names which ("File not found: PATH" only
    // when nothing is there).
    explicit TextFileReader(std::string_view path);
    ~TextFileReader();
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    // True once every line has been read.
    bool AtEnd() const;
    // The next line; raises RuntimeError ErrInputPastEnd when AtEnd().
    std::string ReadLine();

private:
    std::string data_;
    size_t pos_ = 0;
};

// Writes the bytes to a temporary file beside path, flushes it and renames it
// over path, so that path holds either the old or the whole new content.
// A symbolic link is written through: its final target is replaced (the
// temporary file sits beside the target) and the link stays. The target keeps
// its permission bits. Answers false (and leaves path untouched) when any
// step fails, when path is read-only (no owner write bit, as a read-only file
// on Windows), is not a regular file, or is a dangling link or a link loop.
// A temporary file left by a writer that was killed before its rename (its
// process is gone) is removed by the next write of the same path.
bool WriteFileAtomically(std::string_view path, std::string_view bytes);

}  // namespace dexlora
