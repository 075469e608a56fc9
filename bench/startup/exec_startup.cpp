// Start-up from exec to the first frame, as a user meets it: each program is
// launched with DEXLORA_EXIT_AFTER_FIRST_FRAME=1, so that it ends right after
// showing its first frame, and its processor time (user + system of the
// child, from wait4) and wall time from fork to its end are taken. The
// programs take turns, one warm-up round first, so that the machine's load
// falls on all alike:
//   bench_exec_startup [--runs N] LABEL=PROGRAM...
// The video and audio drivers are the environment's (SDL_VIDEODRIVER,
// DISPLAY). Prints one line per program: medians and ranges in milliseconds.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Program {
    std::string label, path;
    std::vector<double> cpuMs, wallMs;
};

struct Sample {
    double cpuMs = -1, wallMs = -1;
};

// One run to its end; a negative time when it failed.
Sample RunOnce(const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return {};
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, STDOUT_FILENO);
        setenv("DEXLORA_EXIT_AFTER_FIRST_FRAME", "1", 1);
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        std::perror(path.c_str());
        _exit(127);
    }
    int status = 0;
    rusage use{};
    if (wait4(child, &status, 0, &use) != child) return {};
    const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    const double cpu = 1e3 * double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
                       1e-3 * double(use.ru_utime.tv_usec + use.ru_stime.tv_usec);
    return {cpu, wall};
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void Report(const Program& p) {
    const auto [cpuMin, cpuMax] = std::minmax_element(p.cpuMs.begin(), p.cpuMs.end());
    const auto [wallMin, wallMax] = std::minmax_element(p.wallMs.begin(), p.wallMs.end());
    std::printf("%s cpu_ms median=%.1f min=%.1f max=%.1f wall_ms median=%.1f min=%.1f max=%.1f runs=%zu\n",
                p.label.c_str(), Median(p.cpuMs), *cpuMin, *cpuMax, Median(p.wallMs), *wallMin, *wallMax,
                p.cpuMs.size());
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 11;
    std::vector<Program> programs;
    for (int i = 1; i < argc; ++i) {
        const char* eq = std::strchr(argv[i], '=');
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (eq != nullptr && eq != argv[i] && eq[1] != '\0') {
            programs.push_back({std::string(argv[i], size_t(eq - argv[i])), eq + 1, {}, {}});
        } else {
            programs.clear();
            break;
        }
    }
    if (programs.empty()) {
        std::fprintf(stderr, "usage: %s [--runs N] LABEL=PROGRAM...\n", argv[0]);
        return 2;
    }
    for (int round = 0; round <= runs; ++round) {
        for (Program& p : programs) {
            const Sample s = RunOnce(p.path);
            if (s.cpuMs < 0) {
                std::fprintf(stderr, "bench_exec_startup: %s did not end after its first frame\n", p.label.c_str());
                return 1;
            }
            if (round == 0) continue;  // the warm-up: font cache and file pages
            p.cpuMs.push_back(s.cpuMs);
            p.wallMs.push_back(s.wallMs);
        }
    }
    for (const Program& p : programs) Report(p);
    return 0;
}
