// Picture files into game surfaces: bitmaps of every depth and JPEG files.
// The usual kinds (24-bit bitmaps, colour and grey JPEG files) are decoded
// straight into the game's pixel format; the rest go through SDL's decoders
// and a conversion.
#include <SDL_image.h>
// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>
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

// A decoded picture: either already a game surface, or one of SDL's that
// still needs converting.
struct Decoded {
    SurfaceOwner surface;
    bool game = false;
};

// The game pixels of a decoded picture.
SurfaceOwner ToGamePixels(std::string_view fileName, Decoded decoded) {
    if (!decoded.surface) Unreadable(fileName, SDL_GetError());
    CheckSize(fileName, {decoded.surface->w, decoded.surface->h});
    SurfaceOwner game =
        decoded.game ? std::move(decoded.surface) : platform_detail::ToGameSurface(decoded.surface.get());
    if (!game) Unreadable(fileName, SDL_GetError());
    return game;
}

uint32_t Le16(std::string_view b, size_t at) {
    return static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8);
}
uint32_t Le32(std::string_view b, size_t at) { return Le16(b, at) | (Le16(b, at + 2) << 16); }

// An uncompressed 24-bit bitmap straight into a game surface: rows of blue,
// green, red, each padded to four bytes, bottom-up unless the height is
// negative. Null for any other kind, or when the pixels, padding included,
// are cut short: the general decoder then decides, as it always has.
SurfaceOwner DecodeBitmap24(std::string_view b, platform_detail::PictureSize size) {
    constexpr uint32_t Uncompressed = 0;
    if (b.size() < 54 || Le32(b, 14) < 40 || Le16(b, 28) != 24 || Le32(b, 30) != Uncompressed) return nullptr;
    const bool topDown = static_cast<int32_t>(Le32(b, 22)) < 0;
    const uint64_t rowBytes = uint64_t{static_cast<uint32_t>(size.Width)} * 3;
    const uint64_t stride = (rowBytes + 3) & ~uint64_t{3};
    const uint64_t first = Le32(b, 10);
    if (first + stride * static_cast<uint32_t>(size.Height) > b.size()) return nullptr;
    SurfaceOwner game = platform_detail::NewGameSurface(size.Width, size.Height);
    if (!game) return nullptr;
    static_assert(SDL_BYTEORDER == SDL_LIL_ENDIAN, "pixels are read as little-endian words");
    const int w = size.Width;
    for (int y = 0; y < size.Height; ++y) {
        const char* from = b.data() + first + stride * uint64_t(y);
        const int row = topDown ? y : size.Height - 1 - y;
        auto* to = reinterpret_cast<Uint32*>(static_cast<Uint8*>(game->pixels) + ptrdiff_t{row} * game->pitch);
        // Four bytes at a time, the fourth dropped; the row's last pixel on
        // its own, as a row without padding may end the file.
        for (int x = 0; x + 1 < w; ++x) {
            Uint32 pixel;
            std::memcpy(&pixel, from + 3 * x, sizeof pixel);
            to[x] = pixel & 0x00FFFFFF;
        }
        const auto* last = reinterpret_cast<const uint8_t*>(from + 3 * (w - 1));
        to[w - 1] = last[0] | Uint32{last[1]} << 8 | Uint32{last[2]} << 16;
    }
    return game;
}

// A bitmap, once its header's size passed: 24-bit ones straight, the others
// by SDL's bitmap decoder alone.
Decoded DecodeBitmap(std::string_view fileName, const std::string& bytes) {
    const auto size = platform_detail::PeekBitmapSize(bytes);
    if (!size) Unreadable(fileName, "not a bitmap");
    CheckSize(fileName, *size);
    if (SurfaceOwner game = DecodeBitmap24(bytes, *size)) return {std::move(game), true};
    return {SurfaceOwner(SDL_LoadBMP_RW(StreamOver(bytes), 1)), false};
}

// libjpeg reports errors through a jump back to the decoding function, which
// then frees what it made; warnings (recoverable damage) are not shown.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOnJpegError(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); }
void IgnoreJpegMessage(j_common_ptr) {}

// A colour or grey JPEG decoded by libjpeg straight into a game surface, with
// the same colour conversion as SDL_image's RGB output. Null when libjpeg
// fails, and for four-component (CMYK) files, which SDL_image decodes its
// own way. Nothing with a destructor may live here: a libjpeg error jumps
// past the frames in between.
SDL_Surface* DecodeJpegStraight(const std::string& bytes) {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    SDL_Surface* volatile surface = nullptr;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpOnJpegError;
    errors.manager.output_message = IgnoreJpegMessage;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        SDL_FreeSurface(surface);
        return nullptr;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (info.num_components != 1 && info.num_components != 3) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    info.out_color_space = JCS_EXT_BGRX;  // XRGB8888 in memory, the X byte 0xFF
    info.quantize_colors = FALSE;
    jpeg_start_decompress(&info);
    surface = platform_detail::NewGameSurface(static_cast<int>(info.output_width), static_cast<int>(info.output_height))
                  .release();
    if (surface == nullptr) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    while (info.output_scanline < info.output_height) {
        auto* row = static_cast<Uint8*>(surface->pixels) + ptrdiff_t(info.output_scanline) * surface->pitch;
        JSAMPROW rows[1] = {row};
        jpeg_read_scanlines(&info, rows, 1);
        // Game pixels keep their unused byte 0, as every other surface does.
        auto* pixels = reinterpret_cast<Uint32*>(row);
        const int width = surface->w;
        for (int x = 0; x < width; ++x) pixels[x] &= 0x00FFFFFF;
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return surface;
}

// A JPEG, once its structure and size passed: colour and grey ones straight,
// CMYK ones by SDL_image's JPEG decoder.
Decoded DecodeJpeg(std::string_view fileName, const std::string& bytes) {
    // The decoder fills a cut-off picture with grey and reports success,
    // so completeness is checked on the file's own structure first.
    const auto size = platform_detail::CheckCompleteJpeg(bytes);
    if (!size) Unreadable(fileName, "JPEG data incomplete or damaged");
    CheckSize(fileName, *size);
    if (SDL_Surface* game = DecodeJpegStraight(bytes)) return {SurfaceOwner(game), true};
    EnsureImageLibrary();
    StreamOwner stream(StreamOver(bytes));
    if (!stream) Unreadable(fileName, SDL_GetError());
    return {SurfaceOwner(IMG_LoadJPG_RW(stream.get())), false};
}

SurfaceOwner Decode(const platform_detail::PictureFile& file) {
    return ToGamePixels(file.name, file.jpeg ? DecodeJpeg(file.name, file.bytes) : DecodeBitmap(file.name, file.bytes));
}

// The game surface of a picture file, which it keeps for decoding again;
// reports the picture's size in desc.
SurfacePtr ToGame(platform_detail::PictureFile file, DDSURFACEDESC2& desc) {
    SurfaceOwner game = Decode(file);
    desc.lWidth = game->w;
    desc.lHeight = game->h;
    SurfacePtr surface = MakeSurface(std::move(game));
    platform_detail::AdoptSurface(*surface, std::make_shared<const platform_detail::PictureFile>(std::move(file)));
    return surface;
}

}  // namespace

namespace platform_detail {
SurfaceOwner DecodeAgain(const PictureFile& file) { return Decode(file); }
}  // namespace platform_detail

SurfacePtr DirectDraw7::CreateSurfaceFromFile(std::string_view fileName, DDSURFACEDESC2& desc) {
    return ToGame({std::string(fileName), platform_detail::ReadMediaFile(fileName), false}, desc);
}

SurfacePtr DirectDraw7::CreateSurfaceFromJpeg(std::string_view fileName, DDSURFACEDESC2& desc) {
    std::string bytes = platform_detail::ReadMediaFile(fileName);
    // The Windows picture loader recognises files by their content, so a
    // bitmap under a JPEG name loads too. Other formats are refused rather
    // than handed to a decoder that trusts their headers.
    const bool jpeg = platform_detail::LooksLikeJpeg(bytes);
    if (!jpeg && !platform_detail::PeekBitmapSize(bytes)) Unreadable(fileName, "neither a JPEG nor a bitmap picture");
    return ToGame({std::string(fileName), std::move(bytes), jpeg}, desc);
}

}  // namespace dexlora
