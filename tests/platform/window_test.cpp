// The real-window display under SDL's dummy video driver: the same set-up,
// drawing and Flip calls as the game makes, through the renderer path.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/surface.h"
#include "platform/window.h"

namespace dexlora {
namespace {

TEST(WindowDisplay, SetUpFlipAndGiveBackThroughTheRenderer) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    PlatformSession session(DisplayKind::Window);
    EXPECT_EQ(CurrentDisplayKind(), DisplayKind::Window);
    const int64_t handle = MainWindowHandle();
    EXPECT_NE(handle, 0);

    DirectDrawPtr ddraw = DirectDrawCreate("");
    ShowMousePointer(false);
    ShowMainWindow();
    ddraw->SetCooperativeLevel(handle, 83);
    EXPECT_THROW(ddraw->SetDisplayMode(640, 480, 8, 0, 0), RuntimeError);
    ddraw->SetDisplayMode(640, 480, 16, 0, 0);
    DDSURFACEDESC2 desc{33, 0, 0, 1, 536};
    SurfacePtr primary = ddraw->CreateSurface(desc);
    SurfacePtr back = primary->GetAttachedSurface(DDSCAPS_BACKBUFFER);

    for (int frame = 0; frame < 3; ++frame) {
        back->FillRect(RECT{0, 0, 640, 480}, 0x203040 + frame);
        primary->Flip(nullptr, DDFLIP_WAIT);
        DoEvents();
    }
    EXPECT_EQ(back->GetPixel(320, 240), 0x203042);
    EXPECT_EQ(headless::FrameCount(), 0u) << "headless controls do nothing with a real window";

    SetMainWindowFocus();
    ddraw->RestoreDisplayMode();
    ddraw->SetCooperativeLevel(handle, 8);
    ShowMousePointer(true);
    HideMainWindow();
}

}  // namespace
}  // namespace dexlora
