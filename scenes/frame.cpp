// The frame steps every scene shares.
#include "scenes/frame.h"

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "platform/core/error.h"
#include "platform/window.h"

namespace dexlora {

namespace {

DirectDrawSurface7& Existing(const SurfacePtr& surf) {
    if (!surf) throw RuntimeError(ErrObjectNotSet, "the surface does not exist");
    return *surf;
}

}  // namespace

void CopyBackground(const SurfacePtr& background, int32_t width, int32_t height) {
    Existing(DDSurfBack).BltFast(0, 0, Existing(background), RECT{0, 0, width, height}, DDBLTFAST_WAIT);
}

void CopyBackground(const SurfacePtr& background) {
    DirectDrawSurface7& from = Existing(background);
    CopyBackground(background, from.Width(), from.Height());
}

void TakeSnapshot(int32_t width, int32_t height) {
    Existing(DDSurfSnapshot).BltFast(0, 0, Existing(DDSurfBack), RECT{0, 0, width, height}, DDBLTFAST_WAIT);
}

void DrawFrameText(const StdFont& font, int32_t color, int32_t x, int32_t y, std::string_view text) {
    DirectDrawSurface7& back = Existing(DDSurfBack);
    back.SetFontTransparency(true);
    back.SetFont(font);
    back.SetForeColor(color);
    back.DrawText(x, y, text, false);
}

void ShowFrame() { Existing(DDSurfPrimary).Flip(nullptr, DDFLIP_WAIT); }

bool EndFrame() {
    ShowFrame();
    DoEvents();
    return !SceneChangePending();
}

}  // namespace dexlora
