// DirectDraw 7 vocabulary over SDL2: the display device, surfaces (XRGB8888),
// colour-keyed BltFast, text and boxes, and Flip. Failing operations raise
// RuntimeError (ErrDirectX or ErrObjectNotSet), as DirectX calls raise errors.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/error.h"

namespace dexlora {

struct RECT {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// BltFast flags
inline constexpr int32_t DDBLTFAST_SRCCOLORKEY = 1;
inline constexpr int32_t DDBLTFAST_WAIT = 16;

// SetColorKey flags
inline constexpr int32_t DDCKEY_SRCBLT = 8;

// Flip flags
inline constexpr int32_t DDFLIP_WAIT = 1;

// The fixed screen every frame is composed for, in pixels.
inline constexpr int32_t ScreenWidth = 640;
inline constexpr int32_t ScreenHeight = 480;

// SurfaceDesc Flags
inline constexpr int32_t DDSD_CAPS = 1;
inline constexpr int32_t DDSD_HEIGHT = 2;
inline constexpr int32_t DDSD_WIDTH = 4;
inline constexpr int32_t DDSD_BACKBUFFERCOUNT = 32;

// SurfaceDesc Caps
inline constexpr int32_t DDSCAPS_BACKBUFFER = 4;
inline constexpr int32_t DDSCAPS_COMPLEX = 8;
inline constexpr int32_t DDSCAPS_FLIP = 16;
inline constexpr int32_t DDSCAPS_OFFSCREENPLAIN = 64;
inline constexpr int32_t DDSCAPS_PRIMARYSURFACE = 512;

// SetCooperativeLevel flags of the display device
inline constexpr int32_t DDSCL_FULLSCREEN = 1;
inline constexpr int32_t DDSCL_ALLOWREBOOT = 2;
inline constexpr int32_t DDSCL_NORMAL = 8;
inline constexpr int32_t DDSCL_EXCLUSIVE = 16;
inline constexpr int32_t DDSCL_ALLOWMODEX = 64;

struct DDSURFACEDESC2 {
    int32_t lFlags = 0;
    int32_t lHeight = 0;
    int32_t lWidth = 0;
    int32_t lBackBufferCount = 0;
    int32_t lCaps = 0;
};
using SurfaceDesc = DDSURFACEDESC2;

// What CreateSurface takes for an off-screen surface of width x height.
inline constexpr SurfaceDesc OffscreenDesc(int32_t width, int32_t height) {
    return {DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, height, width, 0, DDSCAPS_OFFSCREENPLAIN};
}

struct DDCOLORKEY {
    int32_t low = 0;
    int32_t high = 0;
};

// A font as the game names it: a face name and a size in points at 96 DPI,
// rounded to whole pixels per em as Windows does (9 pt -> 12 px).
struct StdFont {
    std::string Name = "MS UI Gothic";
    float Size = 9.0f;
    bool Bold = false;
};

class DisplayBackend;

// One surface: a picture of XRGB8888 pixels with an optional source colour key
// and its own text state (font, colours, transparency), as DirectDraw keeps it.
// The primary surface owns one back buffer; Flip presents the back buffer.
class DirectDrawSurface7 {
public:
    ~DirectDrawSurface7();
    DirectDrawSurface7(const DirectDrawSurface7&) = delete;
    DirectDrawSurface7& operator=(const DirectDrawSurface7&) = delete;

    int32_t Width() const;
    int32_t Height() const;
    void GetSurfaceDesc(DDSURFACEDESC2& desc) const;

    // Copies rect of src to (x, y), flags 16 (wait) or 17 (wait + source colour
    // key). No clipping: a rect reaching outside src, or a copy reaching
    // outside this surface, raises ErrDirectX, and so does a reversed rect; an
    // empty rect copies nothing wherever it lies.
    void BltFast(int32_t x, int32_t y, DirectDrawSurface7& src, const RECT& rect, int32_t flags);

    // Source colour key (flag DDCKEY_SRCBLT): keyed copies from this surface
    // skip every pixel whose RGB equals key.low (packed red + 256 green + 65536 blue).
    void SetColorKey(int32_t flags, const DDCOLORKEY& key);

    // The exact RGB of one pixel, packed red + 256 green + 65536 blue; what
    // GetDC, GetPixel and ReleaseDC give together. Outside the surface: -1.
    int32_t GetPixel(int32_t x, int32_t y) const;
    // Sets one pixel (for tests and generated pictures).
    void SetPixel(int32_t x, int32_t y, int32_t color);
    // Fills a rectangle with a colour (clipped to the surface).
    void FillRect(const RECT& rect, int32_t color);

    // Text state and drawing; colours are packed RGB. Windows face names find
    // the installed Japanese face of their kind (proportional or fixed); a face
    // that is not installed gets the Japanese gothic face.
    void SetFont(const StdFont& font);
    void SetForeColor(int32_t color);
    void SetFontTransparency(bool transparent);
    void SetFontBackColor(int32_t color);
    // Draws UTF-8 text with its top-left corner at (x, y), clipped to the
    // surface; when not transparent its box is filled with the back colour
    // first. With no usable font installed it draws nothing.
    void DrawText(int32_t x, int32_t y, std::string_view text, bool b);
    // One-pixel outline of (x1, y1)-(x2, y2), right and bottom outside, in the
    // fore colour; the inside stays unchanged.
    void DrawBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

    // Size in pixels the text would take in the surface's current font
    // (0 x 0 with no usable font installed).
    void MeasureText(std::string_view text, int32_t& width, int32_t& height) const;

    // Primary surface only: the attached back buffer (caps DDSCAPS_BACKBUFFER).
    std::shared_ptr<DirectDrawSurface7> GetAttachedSurface(int32_t caps);
    // Primary surface only: front and back exchange and the new front is
    // shown, waiting for the display when flags has DDFLIP_WAIT. The back
    // buffer still reads as the frame just shown.
    void Flip(DirectDrawSurface7* target, int32_t flags);

    // Pixels per 640x480 unit the surface is composed at (1 unless the output
    // is larger and sharp composition is on), and one pixel at that scale.
    double Scale() const;
    int32_t GetDevicePixel(int32_t px, int32_t py) const;

    // Saves the picture as PNG (tests, screenshots). Answers false on failure.
    bool SavePng(std::string_view path) const;

    struct Impl;
    explicit DirectDrawSurface7(std::unique_ptr<Impl> impl);
    Impl& impl() { return *impl_; }
    const Impl& impl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

using SurfacePtr = std::shared_ptr<DirectDrawSurface7>;

// The display device.
class DirectDraw7 {
public:
    DirectDraw7();
    ~DirectDraw7();
    DirectDraw7(const DirectDraw7&) = delete;
    DirectDraw7& operator=(const DirectDraw7&) = delete;

    // Flags holding DDSCL_FULLSCREEN and DDSCL_EXCLUSIVE take the screen,
    // DDSCL_NORMAL gives it back; any other flags raise ErrDirectX.
    void SetCooperativeLevel(int64_t hWnd, int32_t flags);
    // 640x480 at a depth; a depth the display cannot present raises ErrDirectX.
    void SetDisplayMode(int32_t width, int32_t height, int32_t bpp, int32_t refreshRate, int32_t flags);
    void RestoreDisplayMode();

    // A primary surface with back buffer (caps 536, BackBufferCount 1) or an
    // off-screen surface of desc's width and height (caps 64).
    SurfacePtr CreateSurface(DDSURFACEDESC2& desc);
    // A bitmap file (BMP of any depth) converted to an off-screen surface of
    // its own size; desc then holds the width and height.
    SurfacePtr CreateSurfaceFromFile(std::string_view fileName, DDSURFACEDESC2& desc);
    // A JPEG file decoded to an off-screen surface of its own size. A file that
    // cannot be read or decoded, a JPEG cut short included, raises ErrDirectX.
    SurfacePtr CreateSurfaceFromJpeg(std::string_view fileName, DDSURFACEDESC2& desc);

private:
    int32_t bpp_ = 0;
    bool exclusive_ = false;
};

using DirectDrawPtr = std::shared_ptr<DirectDraw7>;

// Sharp composition (on by default): when the output is larger than 640x480,
// the display device's surfaces hold their pixels at the output's scale, so
// texts and pictures are drawn at the screen's own resolution; coordinates,
// sizes and colour keys stay in 640x480 units. Off: frames are composed at
// 640x480 and the output scales them.
void SetSharpComposition(bool on);

// DirectDrawCreate with an empty device name: the display of the running
// platform session (real window or headless).
DirectDrawPtr DirectDrawCreate(std::string_view guid);

}  // namespace dexlora
