// Private to platform/: which path the main window presents by. Auto asks a
// child process, started before SDL in this process, to make the renderer an
// accelerated path would use and name it: this process never loads a
// software rasteriser it will not use, nor keeps what loading one leaves.
#pragma once

#include <sys/types.h>

#include <optional>

#include "platform/core/present_choice.h"

namespace dexlora::platform_detail {

class PresentChooser {
public:
    // Starts asking at once when ask is true and there is a display server
    // (call it before SDL_Init).
    explicit PresentChooser(bool ask);
    ~PresentChooser();
    PresentChooser(const PresentChooser&) = delete;
    PresentChooser& operator=(const PresentChooser&) = delete;

    // The path for choice. Auto waits for the child's answer the first time:
    // software when the accelerated renderer is a software rasteriser, when
    // none can be made, when nobody was asked (no display server) and when
    // the child gives no answer in time (a driver that hangs or crashes
    // there would do so here too).
    PresentPath Path(PresentChoice choice);

private:
    void Reap(bool kill);

    std::optional<PresentPath> answer_;
    pid_t child_ = -1;
    int pipe_ = -1;  // the read end of the child's pipe
};

}  // namespace dexlora::platform_detail
