// Taking the screen, off-screen surfaces and picture loading, with the failure
// report they share: a line in ErrLog and the main window closed.
#include "drawing/display.h"

#include <string>

#include "drawing/display_mode.h"
#include "drawing/scene_control.h"
#include "settings/shared.h"

namespace dexlora {

DirectXPtr DX;
DirectDrawPtr DDraw;
DirectSoundPtr DSound;
SurfacePtr DDSurfPrimary;
SurfaceDesc PrimaryDesc;
SurfacePtr DDSurfBack;
SurfaceDesc BackBufferDesc;
SurfacePtr DDSurfSnapshot;
SurfaceDesc SnapshotDesc;
SceneBackgrounds Backgrounds;

DirectDrawPtr DirectX7::DirectDrawCreate(std::string_view guid) const {
    return dexlora::DirectDrawCreate(guid);
}

DirectSoundPtr DirectX7::DirectSoundCreate(std::string_view guid) const {
    return dexlora::DirectSoundCreate(guid);
}

namespace {

void ReportFailure(std::string_view message) {
    AppendErrLog(message);
    UnloadMainWindow();
}

DirectDraw7& Device(const DirectDrawPtr& dd) {
    if (!dd) throw RuntimeError(ErrObjectNotSet, "the display device does not exist");
    return *dd;
}

// Characters are counted as written: a UTF-8 sequence is one character.
bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t CharCount(std::string_view text) {
    size_t count = 0;
    for (char c : text)
        if (!IsContinuationByte(c)) ++count;
    return count;
}

std::string LastChars(std::string_view text, size_t count) {
    size_t pos = text.size();
    while (count > 0 && pos > 0) {
        --pos;
        if (!IsContinuationByte(text[pos])) --count;
    }
    std::string tail(text.substr(pos));
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return tail;
}

}  // namespace

ImageKind ImageKindOfPath(std::string_view path) {
    // The extension is looked for from the fifth (".jpeg": sixth) character
    // before the end, so it may be followed by one stray character. A path too
    // short to start that search is unreadable.
    size_t length = CharCount(path);
    if (length <= 4) return ImageKind::Unreadable;
    if (LastChars(path, 5).find(".bmp") != std::string::npos) return ImageKind::Bitmap;
    if (LastChars(path, 5).find(".jpg") != std::string::npos) return ImageKind::Jpeg;
    if (length >= 6 && LastChars(path, 6).find(".jpeg") != std::string::npos) return ImageKind::Jpeg;
    return ImageKind::Unreadable;
}

bool InitDisplay(int64_t hWnd, DirectDrawPtr& dd, SurfacePtr& primary, SurfacePtr& back,
                 SurfaceDesc& primaryDesc, SurfaceDesc& backDesc) {
    static constexpr char kMessage[] = "DirectXの初期化に失敗した可能性があります";
    if (!dd || TakeDisplayMode(*dd, hWnd, DisplayDepths) == 0) {
        ReportFailure(kMessage);
        return false;
    }
    try {
        primaryDesc.lFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        primaryDesc.lCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        primaryDesc.lBackBufferCount = 1;
        primary = dd->CreateSurface(primaryDesc);
        back = primary->GetAttachedSurface(DDSCAPS_BACKBUFFER);
        if (!back) throw RuntimeError(ErrObjectNotSet, "no back buffer");
        back->GetSurfaceDesc(backDesc);
        return true;
    } catch (const std::exception&) {
        ReportFailure(kMessage);
        return false;
    }
}

void CreateWorkSurface(int32_t width, int32_t height, DirectDrawPtr& dd, SurfaceDesc& desc,
                       SurfacePtr& surf) {
    try {
        desc = OffscreenDesc(width, height);
        surf = Device(dd).CreateSurface(desc);
    } catch (const std::exception&) {
        ReportFailure("サーフェイスの製作に失敗した可能性があります");
    }
}

void LoadImageSurface(DirectDrawPtr& dd, std::string_view path, SurfaceDesc& desc, SurfacePtr& surf) {
    try {
        ImageKind kind = ImageKindOfPath(path);
        if (kind == ImageKind::Unreadable) throw RuntimeError(ErrFileNotFound, "not a picture file");
        desc.lFlags = DDSD_CAPS;
        desc.lCaps = DDSCAPS_OFFSCREENPLAIN;
        // The new surface replaces the old one only once it is whole.
        SurfacePtr loaded = kind == ImageKind::Bitmap ? Device(dd).CreateSurfaceFromFile(path, desc)
                                                      : Device(dd).CreateSurfaceFromJpeg(path, desc);
        if (!loaded) throw RuntimeError(ErrObjectNotSet, "no surface");
        surf = std::move(loaded);
    } catch (const std::exception&) {
        ReportPictureFailure(path);
    }
}

void ReportPictureFailure(std::string_view path) {
    ReportFailure(std::string(path) + "が読みこめなかった可能性があります");
}

void ReleaseDisplay(int64_t hWnd) {
    DirectDraw7& dd = Device(DDraw);
    dd.RestoreDisplayMode();
    dd.SetCooperativeLevel(hWnd, DDSCL_NORMAL);
}

}  // namespace dexlora
