// The program's folder, Windows-style path resolution, CP932 text files and
// atomic writes, over POSIX calls.
#include "platform/core/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/core/encoding.h"
#include "platform/core/error.h"
#include "platform/core/testing.h"

namespace dexlora {

namespace {

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now; answers false when close reports an error (a lost write).
    bool Close() {
        if (fd_ < 0) return true;
        int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0;
    }

private:
    int fd_;
};

// Closes a directory stream when it goes out of scope.
struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

// The entry of folder whose name equals name regardless of ASCII case; the
// first in byte order when several do, so the answer does not depend on the
// order the folder lists them. Empty when none does.
std::string FindIgnoringCase(const std::string& folder, std::string_view name) {
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir) return {};
    std::string best;
    while (dirent* entry = readdir(dir.get())) {
        std::string_view candidate = entry->d_name;
        if (EqualsIgnoringCase(candidate, name) && (best.empty() || candidate < best)) best = candidate;
    }
    return best;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Whether the test hook makes this step fail; errno then holds its error.
bool Faulted(AtomicWriteStep step) {
    if (AtomicWriteFaultForTests == nullptr) return false;
    const int error = AtomicWriteFaultForTests(step);
    if (error == 0) return false;
    errno = error;
    return true;
}

// The start of a temporary file's name for target name. The name is shortened
// so that a long one still leaves room in a folder entry (255 bytes) for the
// dot and the suffix.
std::string TemporaryPrefix(const std::string& name) { return "." + name.substr(0, 128) + ".tmp"; }

// The process id in a temporary file name made for name ("." name ".tmp" pid
// "_" count), or 0 when entry is no such name.
pid_t WriterOfTemporary(std::string_view entry, const std::string& name) {
    const std::string prefix = TemporaryPrefix(name);
    if (entry.substr(0, prefix.size()) != prefix) return 0;
    entry.remove_prefix(prefix.size());
    const size_t underscore = entry.find('_');
    if (underscore == 0 || underscore == std::string_view::npos || underscore > 9 ||
        underscore + 1 == entry.size()) {
        return 0;
    }
    const auto digits = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(entry.substr(0, underscore)) || !digits(entry.substr(underscore + 1))) return 0;
    return static_cast<pid_t>(std::stol(std::string(entry.substr(0, underscore))));
}

// Removes the temporary files of earlier writes of name in folder whose
// writer no longer runs: it was killed between creating and renaming them.
// A live writer's file, or one of a process this one cannot see, stays.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return;
    std::vector<std::string> stale;
    while (dirent* entry = readdir(dir.get())) {
        const pid_t writer = WriterOfTemporary(entry->d_name, name);
        if (writer <= 0 || writer == getpid()) continue;
        if (kill(writer, 0) != 0 && errno == ESRCH) stale.emplace_back(entry->d_name);
    }
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    for (const std::string& file : stale) ::unlink((prefix + file).c_str());
}

}  // namespace

int (*AtomicWriteFaultForTests)(AtomicWriteStep step) = nullptr;

std::string ProgramFolder() {
    std::vector<char> buffer(PATH_MAX);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) return "./";
    std::string path(buffer.data(), static_cast<size_t>(length));
    path.erase(path.find_last_of('/') + 1);
    return path;
}

std::string ResolvePath(std::string_view path) {
    std::string given(path);
    std::replace(given.begin(), given.end(), '\\', '/');

    std::string resolved;
    size_t pos = 0;
    if (!given.empty() && given[0] == '/') {
        resolved = "/";
        pos = 1;
    }
    bool matching = true;  // false once a component matched nothing: the rest stays as given
    while (pos < given.size()) {
        size_t end = given.find('/', pos);
        if (end == std::string::npos) end = given.size();
        std::string_view component(given.data() + pos, end - pos);
        bool last = end == given.size();
        pos = end + 1;
        if (component.empty()) continue;  // "a//b" is "a/b"

        std::string candidate = resolved + std::string(component);
        if (matching && component != "." && component != ".." && !Exists(candidate)) {
            std::string found = FindIgnoringCase(resolved, component);
            if (found.empty()) {
                matching = false;
            } else {
                candidate = resolved + found;
            }
        }
        resolved = std::move(candidate);
        if (!last) resolved += '/';
    }
    return resolved;
}

bool FileExists(std::string_view path) {
    struct stat st;
    return stat(ResolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

FileReadStatus ReadWholeFile(const std::string& path, std::string& bytes, size_t maxBytes) {
    bytes.clear();
    // A C path would end at the NUL and name another file.
    if (path.find('\0') != std::string::npos) return FileReadStatus::Missing;
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer
    // forever; it changes nothing for the regular files we go on to read.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.Valid()) {
        if (errno == ENOENT || errno == ENOTDIR) return FileReadStatus::Missing;
        return errno == EISDIR || errno == ENXIO ? FileReadStatus::NotAFile : FileReadStatus::OpenFailed;
    }
    struct stat st;
    if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return FileReadStatus::NotAFile;
    if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > maxBytes) return FileReadStatus::TooLarge;
    // The size fstat gives is only a hint (a /proc file says 0, a file may
    // grow while we read): the loop below enforces maxBytes on what arrives.
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            bytes.clear();
            return FileReadStatus::ReadFailed;
        }
        if (got == 0) break;
        if (static_cast<size_t>(got) > maxBytes - bytes.size()) {
            bytes.clear();
            return FileReadStatus::TooLarge;
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return FileReadStatus::Ok;
}

TextFileReader::TextFileReader(std::string_view path) {
    std::string resolved = ResolvePath(path);
    std::string bytes;
    const FileReadStatus status = ReadWholeFile(resolved, bytes, MaxTextFileBytes);
    const int error = errno;
    switch (status) {
        case FileReadStatus::Ok:
            break;
        case FileReadStatus::Missing:
            throw RuntimeError(ErrFileNotFound, "File not found: " + resolved);
        case FileReadStatus::NotAFile:
            throw RuntimeError(ErrFileNotFound, "Not a regular file (a folder, FIFO or device): " + resolved);
        case FileReadStatus::OpenFailed:
            throw RuntimeError(ErrFileNotFound, "Cannot open: " + resolved + " (" + std::strerror(error) + ")");
        case FileReadStatus::ReadFailed:
            throw RuntimeError(ErrPathAccess, "Cannot read: " + resolved + " (" + std::strerror(error) + ")");
        case FileReadStatus::TooLarge:
            throw RuntimeError(ErrPathAccess, "Too large: " + resolved + " (text files are read up to " +
                                                  std::to_string(MaxTextFileBytes >> 20) + " MB)");
    }
    // Decoding the whole file at once is far cheaper than line by line, and
    // safe: CP932 never uses CR or LF as the second byte of a character.
    data_ = Cp932ToUtf8(bytes);
}

TextFileReader::~TextFileReader() = default;

bool TextFileReader::AtEnd() const { return pos_ >= data_.size(); }

std::string TextFileReader::ReadLine() {
    if (AtEnd()) throw RuntimeError(ErrInputPastEnd, "Input past end of file");
    size_t end = data_.find_first_of("\r\n", pos_);
    if (end == std::string::npos) end = data_.size();
    std::string line = data_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < data_.size() && data_[pos_] == '\r') ++pos_;
    if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
    return line;
}

bool WriteFileAtomically(std::string_view path, std::string_view bytes) {
    if (path.find('\0') != std::string_view::npos) return false;
    std::string target = ResolvePath(path);
    if (target.empty() || target.back() == '/') return false;

    struct stat old;
    bool hadOld = false;
    struct stat link;
    if (lstat(target.c_str(), &link) == 0) {
        if (S_ISLNK(link.st_mode)) {
            // Renaming over the link would replace it by a plain file and
            // leave its target as it was: write the target instead. realpath
            // fails on a dangling link and on a loop.
            std::unique_ptr<char, decltype(&free)> real(realpath(target.c_str(), nullptr), &free);
            if (!real) return false;
            target = real.get();
        }
        if (stat(target.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) return false;
        // Root may write anything, so the mode bits decide read-only, as the
        // attribute does on Windows; access covers a file owned by another user.
        if ((old.st_mode & S_IWUSR) == 0 || access(target.c_str(), W_OK) != 0) return false;
        hadOld = true;
    } else if (errno != ENOENT) {
        return false;
    }
    size_t slash = target.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);

    // Before anything new is written: on a full disk the space a crashed
    // write left behind is what this one needs.
    RemoveStaleTemporaries(folder, name);

    // A fresh name in the same folder (rename only works within one file
    // system); O_EXCL never takes over somebody else's file.
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int rawFd = -1;
    if (Faulted(AtomicWriteStep::CreateTemporary)) return false;
    for (int attempt = 0; attempt < 100 && rawFd < 0; ++attempt) {
        temp = (slash == std::string::npos ? std::string() : folder) + TemporaryPrefix(name) +
               std::to_string(getpid()) + "_" + std::to_string(counter++);
        rawFd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (rawFd < 0 && errno != EEXIST) return false;
    }
    FileDescriptor fd(rawFd);
    if (!fd.Valid()) return false;

    bool ok = !Faulted(AtomicWriteStep::Write) && WriteAll(fd.Get(), bytes);
    if (ok && hadOld) {
        // The owner too, where we may set it (as root); elsewhere the file is
        // ours already or stays with its folder's rules.
        if (old.st_uid != geteuid() || old.st_gid != getegid()) (void)!fchown(fd.Get(), old.st_uid, old.st_gid);
        ok = !Faulted(AtomicWriteStep::KeepMode) && fchmod(fd.Get(), old.st_mode & 07777) == 0;
    }
    ok = ok && !Faulted(AtomicWriteStep::Flush) && fsync(fd.Get()) == 0;
    ok = !Faulted(AtomicWriteStep::Close) && fd.Close() && ok;
    ok = ok && !Faulted(AtomicWriteStep::Rename) && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; the new content is in place either way.
    if (Faulted(AtomicWriteStep::SyncFolder)) return true;
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) fsync(dir.Get());
    return true;
}

}  // namespace dexlora
