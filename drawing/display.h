// The display module: the drawing objects every scene uses, taking the screen
// with its flipping pair of surfaces, off-screen surfaces and picture loading.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/sound.h"
#include "platform/surface.h"

namespace dexlora {

// The root object of the drawing and sound interface: it makes the two devices.
struct DirectX7 {
    DirectDrawPtr DirectDrawCreate(std::string_view guid) const;
    DirectSoundPtr DirectSoundCreate(std::string_view guid) const;
};
using DirectXPtr = std::shared_ptr<DirectX7>;

// Made at start-up, released at shutdown.
extern DirectXPtr DX;
extern DirectDrawPtr DDraw;
extern DirectSoundPtr DSound;

// The visible surface and its back buffer, on which every frame is composed.
extern SurfacePtr DDSurfPrimary;
extern SurfaceDesc PrimaryDesc;
extern SurfacePtr DDSurfBack;
extern SurfaceDesc BackBufferDesc;

// 640x480 copy of the last frame: the picture a wipe starts from.
extern SurfacePtr DDSurfSnapshot;
extern SurfaceDesc SnapshotDesc;

// The scene backgrounds, which the skin loaders load.
struct SceneBackgrounds {
    SurfacePtr DDSurfTitle;
    SurfaceDesc TitleDesc;
    SurfacePtr DDSurfGame;
    SurfaceDesc GameDesc;
    SurfacePtr DDSurfResult;
    SurfaceDesc ResultDesc;
    SurfacePtr DDSurfKeyConf;
    SurfaceDesc KeyConfDesc;
    SurfacePtr DDSurfRecords;  // none: the records scene fills its colour
    SurfaceDesc RecordsDesc;
};
extern SceneBackgrounds Backgrounds;

// Display depths tried in turn until one is accepted.
inline constexpr int32_t DisplayDepths[] = {32, 24, 16, 8};

// Takes the screen full-screen at 640x480 and makes the primary surface with
// one back buffer. Answers false after a reported failure (message in ErrLog,
// main window closed); the out-parameters are then left as they stood.
bool InitDisplay(int64_t hWnd, DirectDrawPtr& dd, SurfacePtr& primary, SurfacePtr& back,
                 SurfaceDesc& primaryDesc, SurfaceDesc& backDesc);

// An off-screen surface of the given size; a failure is reported and leaves
// surf as it stood.
void CreateWorkSurface(int32_t width, int32_t height, DirectDrawPtr& dd, SurfaceDesc& desc,
                       SurfacePtr& surf);

// A surface holding the picture in a ".bmp", ".jpg" or ".jpeg" file (the end
// of the path decides, letter case aside); afterwards desc holds its Width
// and Height. A path that is not one of these or cannot be loaded is reported
// and leaves surf as it stood.
void LoadImageSurface(DirectDrawPtr& dd, std::string_view path, SurfaceDesc& desc, SurfacePtr& surf);

// A picture that cannot be loaded: "<path>が読みこめなかった可能性があります"
// appended to ErrLog and the main window closed. LoadImageSurface ends this
// way; so does a loader refusing a path before any file is opened.
void ReportPictureFailure(std::string_view path);

// Gives the screen back. Its errors go to the caller.
void ReleaseDisplay(int64_t hWnd);

// Which loader a picture path selects.
enum class ImageKind { Bitmap, Jpeg, Unreadable };
ImageKind ImageKindOfPath(std::string_view path);

}  // namespace dexlora
