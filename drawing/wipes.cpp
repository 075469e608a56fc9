// The wipe runner and its box effects.
#include "drawing/wipes.h"

#include "drawing/display.h"
#include "drawing/rounding.h"
#include "drawing/scene_control.h"
#include "platform/window.h"

namespace dexlora {

namespace {

constexpr int32_t kCentreX = ScreenWidth / 2;
constexpr int32_t kCentreY = ScreenHeight / 2;

DirectDrawSurface7& Surface(const SurfacePtr& surf) {
    if (!surf) throw RuntimeError(ErrObjectNotSet, "the surface does not exist");
    return *surf;
}

void CopyWhole(DirectDrawSurface7& dest, DirectDrawSurface7& src) {
    dest.BltFast(0, 0, src, ScreenRect, DDBLTFAST_WAIT);
}

// The full picture over which `top` is copied in a centred box whose half-size
// is `size` steps of stepCount of the half-screen.
void DrawCentredBox(DirectDrawSurface7& dest, DirectDrawSurface7& under, DirectDrawSurface7& top,
                    int32_t size, int32_t stepCount) {
    int32_t c = RoundHalfEven(static_cast<double>(size) * kCentreX / stepCount);
    int32_t e = RoundHalfEven(static_cast<double>(size) * kCentreY / stepCount);
    CopyWhole(dest, under);
    dest.BltFast(kCentreX - c, kCentreY - e, top, RECT{kCentreX - c, kCentreY - e, kCentreX + c, kCentreY + e},
                 DDBLTFAST_WAIT);
}

}  // namespace

namespace {

// One step of a box effect: the step before the last shows the new picture
// whole; the others copy `top` in a centred box of `size` steps over the
// whole of `under`. A failing copy ends the step.
bool BoxStep(const SurfacePtr& dest, const SurfacePtr& newPicture, const SurfacePtr& under, const SurfacePtr& top,
             int32_t size, int32_t step, int32_t stepCount) {
    if (step > stepCount) return true;
    try {
        if (step == stepCount - 1)
            CopyWhole(Surface(dest), Surface(newPicture));
        else
            DrawCentredBox(Surface(dest), Surface(under), Surface(top), size, stepCount);
    } catch (const std::exception&) {
    }
    return false;
}

}  // namespace

bool WipeBoxIn(const SurfacePtr& dest, const SurfacePtr& oldPicture, const SurfacePtr& newPicture,
               int32_t step, int32_t stepCount) {
    return BoxStep(dest, newPicture, oldPicture, newPicture, step, step, stepCount);
}

bool WipeBoxOut(const SurfacePtr& dest, const SurfacePtr& oldPicture, const SurfacePtr& newPicture,
                int32_t step, int32_t stepCount) {
    return BoxStep(dest, newPicture, newPicture, oldPicture, stepCount - step, step, stepCount);
}

bool ScreenWipe(const WipeSettings& settings, const SurfacePtr& oldPicture, const SurfacePtr& newPicture) {
    if (settings.Enabled != -1) return true;
    auto effect = settings.Kind == "BoxIn" ? WipeBoxIn : WipeBoxOut;
    try {
        int32_t step = 0;
        uint32_t spent = 0;
        uint32_t last = GetTickCount();
        for (;;) {
            // The time taken by the previous pass's drawing and flips counts
            // towards this one, so slow flips are caught up step by step.
            uint32_t now = GetTickCount();
            spent += now - last;
            uint32_t due = spent / WipeStepMs;
            // Steps past the last show nothing new; after a long stall (a
            // suspended machine) flipping them all would freeze the screen
            // for as long again, so a pass stops after the step past the last.
            for (uint32_t i = 0; i < due && step <= WipeStepCount; ++i) {
                effect(DDSurfBack, oldPicture, newPicture, step, WipeStepCount);
                Surface(DDSurfPrimary).Flip(nullptr, DDFLIP_WAIT);
                ++step;
            }
            spent -= due * WipeStepMs;
            DoEvents();
            // A handler decided what runs next: the wipe is left unfinished.
            if (SceneChangePending() || step >= WipeStepCount) break;
            last = now;
        }
        return true;
    } catch (const RuntimeError&) {
        // Only a failing drawing operation ends the wipe here; whatever a
        // window event handler throws is the application's to catch.
        return false;
    }
}

}  // namespace dexlora
