// Running part of a test in a child process: where a crash may end it, as a
// user that permission bits hold back, or inside a small file system of its own.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace dexlora::testing_support {

// How a child ended: the signal that ended it (0 when it exited by itself)
// and whatever its body answered before (empty when all went well).
struct ChildEnd {
    int signal = 0;
    std::string report;
};

// The answer of a body that cannot run here; the test is then skipped.
inline constexpr std::string_view SkipReport = "skip: ";

// Runs body in a forked child and waits for it. The child writes the body's
// answer (or its exception) to a pipe, then leaves without running any
// destructor or test teardown of the parent's state.
inline ChildEnd RunInChild(const std::function<std::string()>& body) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {0, "pipe failed"};
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return {0, "fork failed"};
    if (pid == 0) {
        close(pipeFds[0]);
        std::string report;
        try {
            report = body();
        } catch (const std::exception& e) {
            report = std::string("exception: ") + e.what();
        }
        for (size_t done = 0; done < report.size();) {
            const ssize_t n = write(pipeFds[1], report.data() + done, report.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        _exit(0);
    }
    close(pipeFds[1]);
    ChildEnd end;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) end.report.append(buffer, size_t(n));
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
    return end;
}

inline constexpr uid_t NobodyId = 65534;

// Root ignores permission bits: a child that must meet them becomes user
// nobody. Answers whether it now runs without root's rights.
inline bool DropRootRights() {
    if (geteuid() != 0) return true;
    return setgroups(0, nullptr) == 0 && setgid(NobodyId) == 0 && setuid(NobodyId) == 0;
}

// Lets the unprivileged child write path (and everything below it): as root,
// by giving it to nobody; otherwise it is the tester's already.
inline void GiveToChild(const std::filesystem::path& path) {
    if (geteuid() != 0) return;
    const auto give = [](const std::filesystem::path& p) { (void)lchown(p.c_str(), NobodyId, NobodyId); };
    give(path);
    if (std::filesystem::is_directory(path)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) give(entry.path());
    }
}

// Keeps the unprivileged child from writing into folder: as root nothing is
// needed (root's folders are closed to nobody); otherwise the write bits go.
inline void CloseToChild(const std::filesystem::path& folder) {
    if (geteuid() == 0) return;
    std::filesystem::permissions(folder, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
}

inline bool WriteSmallFile(const char* path, std::string_view text) {
    const int fd = open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return ok;
}

// In a child: mounts a tmpfs with the given options on folder, inside a user
// and mount namespace of the child's own, so no privilege beyond the
// sandbox's is needed and nobody else sees it. Answers "" or why not.
inline std::string MountSmallFileSystem(const std::string& folder, const std::string& options) {
    const uid_t uid = geteuid();
    const gid_t gid = getegid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return std::string(SkipReport) + "no user namespaces here";
    if (!WriteSmallFile("/proc/self/setgroups", "deny") ||
        !WriteSmallFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
        !WriteSmallFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
        return std::string(SkipReport) + "cannot map the user into its namespace";
    }
    if (mount("none", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        return std::string(SkipReport) + "cannot mount a tmpfs in a user namespace";
    }
    return {};
}

}  // namespace dexlora::testing_support
