// The display device: cooperative level, display mode and surface creation.
#include "platform/detail/display_backend.h"
#include "platform/detail/sdl_internal.h"

namespace dexlora {

namespace {

[[noreturn]] void Fail(const char* what) { throw RuntimeError(ErrDirectX, what); }

DisplayBackend& Display() {
    DisplayBackend* display = platform_detail::CurrentBackend();
    if (display == nullptr) Fail("no display: the platform session has ended");
    return *display;
}

SurfacePtr NewSurface(int width, int height, int32_t caps) {
    auto pixels = platform_detail::NewGameSurface(width, height);
    if (!pixels) Fail("CreateSurface: cannot make a surface of that size");
    SurfacePtr surface = MakeSurface(std::move(pixels));
    surface->impl().caps = caps;
    platform_detail::AdoptSurface(*surface, nullptr);
    return surface;
}

}  // namespace

DirectDraw7::DirectDraw7() = default;
DirectDraw7::~DirectDraw7() = default;

DirectDrawPtr DirectDrawCreate(std::string_view guid) {
    if (!guid.empty()) Fail("DirectDrawCreate: only the default device exists");
    Display();
    return std::make_shared<DirectDraw7>();
}

void DirectDraw7::SetCooperativeLevel(int64_t hWnd, int32_t flags) {
    DisplayBackend& display = Display();
    if (hWnd != display.WindowHandle()) Fail("SetCooperativeLevel: not the main window");
    constexpr int32_t exclusive = DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE;
    if ((flags & exclusive) == exclusive) {
        exclusive_ = true;
        display.TakeScreen();
    } else if (flags == DDSCL_NORMAL) {
        exclusive_ = false;
        display.GiveScreenBack();
    } else {
        Fail("SetCooperativeLevel: unsupported flags");
    }
}

void DirectDraw7::SetDisplayMode(int32_t width, int32_t height, int32_t bpp, int32_t, int32_t) {
    // Frames are always composed at 640x480 in XRGB8888 and scaled to the
    // screen; the depth only has to be one the display can present.
    if (width != ScreenWidth || height != ScreenHeight) {
        Fail("SetDisplayMode: only 640x480 is available");
    }
    if (!Display().CanPresentDepth(bpp)) Fail("SetDisplayMode: depth not available");
    bpp_ = bpp;
}

void DirectDraw7::RestoreDisplayMode() {
    bpp_ = 0;
    if (DisplayBackend* display = platform_detail::CurrentBackend()) display->GiveScreenBack();
}

SurfacePtr DirectDraw7::CreateSurface(DDSURFACEDESC2& desc) {
    const int32_t caps = (desc.lFlags & DDSD_CAPS) ? desc.lCaps : 0;
    if (caps & DDSCAPS_PRIMARYSURFACE) {
        const bool flipping = (caps & DDSCAPS_FLIP) != 0;
        const int32_t backBuffers = (desc.lFlags & DDSD_BACKBUFFERCOUNT) ? desc.lBackBufferCount : 0;
        if (!flipping || backBuffers != 1) Fail("CreateSurface: the primary needs exactly one back buffer");
        Display();
        platform_detail::SyncComposeScale();
        constexpr int w = ScreenWidth, h = ScreenHeight;
        SurfacePtr primary = MakePrimary(NewSurface(w, h, DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX));
        primary->impl().caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        platform_detail::AdoptSurface(*primary, nullptr);
        return primary;
    }
    constexpr int32_t sized = DDSD_WIDTH | DDSD_HEIGHT;
    if ((desc.lFlags & sized) != sized) Fail("CreateSurface: an off-screen surface needs a width and a height");
    return NewSurface(desc.lWidth, desc.lHeight, DDSCAPS_OFFSCREENPLAIN);
}

}  // namespace dexlora
