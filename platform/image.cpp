// Picture files into game surfaces: bitmaps of every depth and JPEG files.
#include <SDL_image.h>

#include <memory>
#include <string>

#include "platform/detail/media_file.h"
#include "platform/detail/picture_check.h"
#include "platform/detail/sdl_internal.h"

namespace dexlora {
namespace {

using platform_detail::PictureSize;
using platform_detail::StreamOwner;
using platform_detail::SurfaceOwner;

// SDL_image loads its decoders on first use; once per process is enough.
void EnsureImageLibrary() {
    static const int loaded = IMG_Init(IMG_INIT_JPG);
    (void)loaded;  // a missing decoder shows up as a decode failure
}

[[noreturn]] void Unreadable(std::string_view fileName, std::string_view why) {
    throw RuntimeError(ErrDirectX, std::string(fileName) + ": " + std::string(why));
}

// A read-only SDL stream over bytes that outlive it (freed by the loader).
SDL_RWops* StreamOver(const std::string& bytes) {
    return SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
}

void CheckSize(std::string_view fileName, PictureSize size) {
    if (!platform_detail::PictureSizeAllowed(size)) Unreadable(fileName, "picture size out of range");
}

// Converts a decoded picture into a game surface and reports its size in desc.
SurfacePtr ToGame(std::string_view fileName, SurfaceOwner decoded, DDSURFACEDESC2& desc) {
    if (!decoded) Unreadable(fileName, SDL_GetError());
    CheckSize(fileName, {decoded->w, decoded->h});
    SurfaceOwner game = platform_detail::ToGameSurface(decoded.get());
    if (!game) Unreadable(fileName, SDL_GetError());
    desc.lWidth = game->w;
    desc.lHeight = game->h;
    SurfacePtr surface = MakeSurface(std::move(game));
    platform_detail::AdoptSurface(*surface, true);
    return surface;
}

// A bitmap decoded by the bitmap decoder alone, once its header's size passed.
SurfaceOwner DecodeBitmap(std::string_view fileName, const std::string& bytes) {
    const auto size = platform_detail::PeekBitmapSize(bytes);
    if (!size) Unreadable(fileName, "not a bitmap");
    CheckSize(fileName, *size);
    return SurfaceOwner(SDL_LoadBMP_RW(StreamOver(bytes), 1));
}

// A JPEG decoded by the JPEG decoder alone, once its structure and size passed.
SurfaceOwner DecodeJpeg(std::string_view fileName, const std::string& bytes) {
    EnsureImageLibrary();
    // The decoder fills a cut-off picture with grey and reports success,
    // so completeness is checked on the file's own structure first.
    const auto size = platform_detail::CheckCompleteJpeg(bytes);
    if (!size) Unreadable(fileName, "JPEG data incomplete or damaged");
    CheckSize(fileName, *size);
    StreamOwner stream(StreamOver(bytes));
    if (!stream) Unreadable(fileName, SDL_GetError());
    return SurfaceOwner(IMG_LoadJPG_RW(stream.get()));
}

}  // namespace

SurfacePtr DirectDraw7::CreateSurfaceFromFile(std::string_view fileName, DDSURFACEDESC2& desc) {
    const std::string bytes = platform_detail::ReadMediaFile(fileName);
    return ToGame(fileName, DecodeBitmap(fileName, bytes), desc);
}

SurfacePtr DirectDraw7::CreateSurfaceFromJpeg(std::string_view fileName, DDSURFACEDESC2& desc) {
    const std::string bytes = platform_detail::ReadMediaFile(fileName);
    // The Windows picture loader recognises files by their content, so a
    // bitmap under a JPEG name loads too. Other formats are refused rather
    // than handed to a decoder that trusts their headers.
    if (platform_detail::LooksLikeJpeg(bytes)) return ToGame(fileName, DecodeJpeg(fileName, bytes), desc);
    if (platform_detail::PeekBitmapSize(bytes)) return ToGame(fileName, DecodeBitmap(fileName, bytes), desc);
    Unreadable(fileName, "neither a JPEG nor a bitmap picture");
}

}  // namespace dexlora
