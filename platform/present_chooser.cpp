// Choosing the present path: forced, or asked of a child process that makes
// the accelerated renderer and names it.
#include "platform/detail/present_chooser.h"

#include <SDL.h>
#include <fcntl.h>
#include <cerrno>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace dexlora::platform_detail {

namespace {

// Long enough for a cold start of a GL driver on a loaded machine; the
// player is normally still in the skin chooser by then.
constexpr int AnswerWaitMs = 5000;

constexpr char SoftwareAnswer = 's';
constexpr char AcceleratedAnswer = 'a';

// Whether SDL will open a display server, where an accelerated renderer may
// exist: the dummy and offscreen drivers never have one.
bool OnDisplayServer() {
    if (const char* driver = std::getenv("SDL_VIDEODRIVER"); driver != nullptr && *driver != '\0') {
        const std::string_view name(driver);
        return name.find("x11") != std::string_view::npos || name.find("wayland") != std::string_view::npos;
    }
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

// The child: the renderer SDL would make for an accelerated window, and for
// OpenGL the name of what draws behind it. Never returns.
[[noreturn]] void AnswerInChild(int out) {
    // Driver messages belong to the renderer this process makes, if any.
    if (const int null = open("/dev/null", O_RDWR); null >= 0) {
        dup2(null, STDIN_FILENO), dup2(null, STDOUT_FILENO), dup2(null, STDERR_FILENO);
    }
    char answer = SoftwareAnswer;
    if (SDL_Init(SDL_INIT_VIDEO) == 0) {
        SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN);
        SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
        SDL_RendererInfo info{};
        if (renderer != nullptr && SDL_GetRendererInfo(renderer, &info) == 0 &&
            (info.flags & SDL_RENDERER_ACCELERATED) != 0) {
            answer = AcceleratedAnswer;
            if (std::string_view(info.name).starts_with("opengl")) {
                // The renderer's context is current: ask it what it runs on.
                using GetString = const unsigned char* (*)(unsigned);
                constexpr unsigned GlRenderer = 0x1F01;
                auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
                const unsigned char* name = getString != nullptr ? getString(GlRenderer) : nullptr;
                if (name == nullptr || IsSoftwareRasteriser(reinterpret_cast<const char*>(name))) {
                    answer = SoftwareAnswer;
                }
            }
        }
    }
    [[maybe_unused]] const ssize_t written = write(out, &answer, 1);
    _exit(0);
}

}  // namespace

PresentChooser::PresentChooser(bool ask) {
    if (!ask || !OnDisplayServer()) return;
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        AnswerInChild(pipeEnds[1]);
    }
    close(pipeEnds[1]);
    if (child < 0) {
        close(pipeEnds[0]);
        return;
    }
    child_ = child;
    pipe_ = pipeEnds[0];
}

PresentChooser::~PresentChooser() { Reap(true); }

PresentPath PresentChooser::Path(PresentChoice choice) {
    if (choice == PresentChoice::Software) return PresentPath::Software;
    if (choice == PresentChoice::Accelerated) return PresentPath::Accelerated;
    if (!answer_) {
        char answer = SoftwareAnswer;
        pollfd ready{pipe_, POLLIN, 0};
        const bool answered =
            pipe_ >= 0 && poll(&ready, 1, AnswerWaitMs) == 1 && read(pipe_, &answer, 1) == 1;
        answer_ = answered && answer == AcceleratedAnswer ? PresentPath::Accelerated : PresentPath::Software;
        Reap(!answered);
    }
    return *answer_;
}

void PresentChooser::Reap(bool kill) {
    if (pipe_ >= 0) close(pipe_), pipe_ = -1;
    if (child_ <= 0) return;
    if (kill) ::kill(child_, SIGKILL);
    while (waitpid(child_, nullptr, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
}

}  // namespace dexlora::platform_detail
