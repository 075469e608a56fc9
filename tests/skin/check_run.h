// Runs dexlora-check as a program, as a player or skin author would.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace dexlora::test {

struct CheckRun {
    std::string out;
    int status = -1;
};

// The standard output of a shell command and its exit status.
inline CheckRun RunCommand(const std::string& command) {
    CheckRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace dexlora::test
