// A dialog window closed while the X server is busy leaves no X error for the end of the session.
#include <gtest/gtest.h>

#include "platform/dialog_window.h"
#include "platform/window.h"
// Xlib last: its macros (None, Status...) would rename words of the others.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace dexlora {
namespace {

// The Xlib functions the test needs, taken from the library SDL loads too,
// so that the error handler set here is the one SDL's connections report to.
struct Xlib {
    void* library = dlopen("libX11.so.6", RTLD_NOW);
    template <typename F>
    F* Get(const char* name) const {
        return library ? reinterpret_cast<F*>(dlsym(library, name)) : nullptr;
    }
    decltype(&XOpenDisplay) OpenDisplay = Get<decltype(XOpenDisplay)>("XOpenDisplay");
    decltype(&XCloseDisplay) CloseDisplay = Get<decltype(XCloseDisplay)>("XCloseDisplay");
    decltype(&XSetErrorHandler) SetErrorHandler = Get<decltype(XSetErrorHandler)>("XSetErrorHandler");
    decltype(&XInternAtom) InternAtom = Get<decltype(XInternAtom)>("XInternAtom");
    decltype(&XSendEvent) SendEvent = Get<decltype(XSendEvent)>("XSendEvent");
    decltype(&XCreatePixmap) CreatePixmap = Get<decltype(XCreatePixmap)>("XCreatePixmap");
    decltype(&XCreateGC) CreateGC = Get<decltype(XCreateGC)>("XCreateGC");
    decltype(&XFillRectangle) FillRectangle = Get<decltype(XFillRectangle)>("XFillRectangle");
    decltype(&XDefaultRootWindow) DefaultRoot = Get<decltype(XDefaultRootWindow)>("XDefaultRootWindow");
    decltype(&XFlush) Flush = Get<decltype(XFlush)>("XFlush");
    bool Loaded() const { return Flush != nullptr; }
};

// A private X server (Xvfb) for the length of a test.
class PrivateXServer {
public:
    PrivateXServer() {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Xvfb writes the display number it took once it accepts clients.
        std::string number;
        pollfd ready{fds[0], POLLIN, 0};
        char c = 0;
        while (number.find('\n') == std::string::npos && poll(&ready, 1, 20000) == 1 && read(fds[0], &c, 1) == 1) {
            number += c;
        }
        close(fds[0]);
        if (number.find('\n') != std::string::npos) display_ = ":" + number.substr(0, number.find('\n'));
    }
    ~PrivateXServer() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    const std::string& Name() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// Sets an environment variable for a scope, restoring it after.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::vector<std::string> g_xErrors;

int RecordXError(Display*, XErrorEvent* e) {
    char text[96];
    std::snprintf(text, sizeof text, "error %d (3 is BadWindow) of request %d (25 is X_SendEvent) about 0x%lx",
                  e->error_code, e->request_code, e->resourceid);
    g_xErrors.push_back(text);
    return 0;
}

// The X window of an SDL window.
::Window XWindowOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return window && SDL_GetWindowWMInfo(window, &info) ? info.info.x11.window : 0;
}

// A dialog that ends on the close control while the X server has a long queue
// of work from another program (its closing request is followed by many
// large fills): the dialog's window goes at once, before the server has
// caught up with the rest of its clients' requests. Whatever the dialog
// waited with must not leave a request about that window behind, which the
// server would refuse only when the session ends -- an X error there ends
// the program with status 1 (Xlib's default handler) after everything was
// saved. Ten dialogs: with SDL 2.26's wait on the dialog's window, more than
// half of them failed this way.
TEST(PlatformExit, DialogsClosedUnderLoadLeaveNoXErrorForTheSessionEnd) {
    const Xlib x;
    if (!x.Loaded() || std::system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "needs Xvfb and libX11";
    PrivateXServer server;
    ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
    const ScopedEnv display("DISPLAY", server.Name());
    const ScopedEnv driver("SDL_VIDEODRIVER", "x11");
    g_xErrors.clear();
    const XErrorHandler previous = x.SetErrorHandler(RecordXError);

    constexpr int Dialogs = 10;
    constexpr int BusyFills = 30;
    int closed = 0;
    {
        PlatformSession session(DisplayKind::Window);
        ::Display* other = x.OpenDisplay(server.Name().c_str());
        ASSERT_NE(other, nullptr);
        const Pixmap canvas = x.CreatePixmap(other, x.DefaultRoot(other), 1024, 768, 24);
        const GC gc = x.CreateGC(other, canvas, 0, nullptr);
        const Atom protocols = x.InternAtom(other, "WM_PROTOCOLS", False);
        const Atom deleteWindow = x.InternAtom(other, "WM_DELETE_WINDOW", False);
        for (int i = 1; i <= Dialogs; ++i) {
            DialogWindow dialog("dialog", 200, 150);
            dialog.Present();
            // Window ids count up from the main window's, one per window made.
            const ::Window target = XWindowOf(SDL_GetWindowFromID(Uint32(MainWindowHandle() + i)));
            ASSERT_NE(target, 0u) << "dialog " << i;
            // Another program closes the dialog once it waits for input, then
            // keeps the server busy.
            std::thread closer([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                XEvent close{};
                close.xclient.type = ClientMessage;
                close.xclient.window = target;
                close.xclient.message_type = protocols;
                close.xclient.format = 32;
                close.xclient.data.l[0] = long(deleteWindow);
                x.SendEvent(other, target, False, NoEventMask, &close);
                for (int f = 0; f < BusyFills; ++f) x.FillRectangle(other, canvas, gc, 0, 0, 1024, 768);
                x.Flush(other);
            });
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (std::chrono::steady_clock::now() < deadline) {
                const std::optional<DialogEvent> event = dialog.NextEvent();
                if (event && event->Type == DialogEvent::Kind::Close) {
                    ++closed;
                    break;
                }
            }
            closer.join();
        }
        x.CloseDisplay(other);
    }
    x.SetErrorHandler(previous);
    EXPECT_EQ(closed, Dialogs) << "every dialog closes on its close control";
    for (const std::string& error : g_xErrors) ADD_FAILURE() << "X " << error;
}

}  // namespace
}  // namespace dexlora
