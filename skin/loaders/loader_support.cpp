// The helpers every skin loader shares.
#include "skin/loaders/loader_support.h"

#include <limits>
#include <utility>

#include "drawing/display.h"
#include "settings/ini.h"
#include "skin/loaders/loaders.h"

namespace dexlora::loader_detail {

namespace {

std::optional<PictureFailure>& FailureRecord() {
    static std::optional<PictureFailure> failure;
    return failure;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A picture named by key of section that has been reported: recorded, and the
// loader ended.
[[noreturn]] void PictureFailedAt(const SettingsFile& ini, std::string_view section, std::string_view key,
                                  const std::string& path) {
    NotePictureFailure({path, ini.Name, std::string(section), std::string(key)});
    throw PictureFailed{};
}

}  // namespace

std::optional<std::string> SkinFilePath(std::string_view folder, std::string_view name) {
    if (!name.empty() && (name.front() == '/' || name.front() == '\\')) return std::nullopt;
    if (name.size() >= 2 && IsAsciiLetter(name[0]) && name[1] == ':') return std::nullopt;
    // Skins are made on Windows: both separators count. A ".." that stays
    // inside the folder ("a\..\b") is harmless; one that leaves it is not.
    int depth = 0;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = name.size();
        std::string_view part = name.substr(start, end - start);
        if (part == "..") {
            if (--depth < 0) return std::nullopt;
        } else if (!part.empty() && part != ".") {
            ++depth;
        }
        start = end + 1;
    }
    return std::string(folder) + std::string(name);
}

void LoadPicture(const SettingsFile& ini, std::string_view section, std::string_view key, std::string_view name,
                 SurfaceDesc& desc, SurfacePtr& surf) {
    const std::string path = ini.Folder + std::string(name);
    SurfacePtr loaded;
    if (SkinFilePath(ini.Folder, name))
        LoadImageSurface(DDraw, path, desc, loaded);
    else
        ReportPictureFailure(path);  // never opened: it fails as a missing file does
    if (!loaded) PictureFailedAt(ini, section, key, path);
    surf = std::move(loaded);
}

bool LoadBackground(const SettingsFile& ini, std::string_view defaultName, SurfaceDesc& desc, SurfacePtr& surf) {
    const std::string name = ReadIniString(ini.Path(), "BackGround", "FileName", defaultName);
    try {
        LoadPicture(ini, "BackGround", "FileName", name, desc, surf);
        return true;
    } catch (const PictureFailed&) {
        return false;
    }
}

void ReadWipe(const std::string& file, std::string_view key, WipeSettings& wipe) {
    wipe.Kind = ReadIniString(file, "Wipe", key, "");
    if (!wipe.Kind.empty()) wipe.Enabled = -1;
}

SpriteKeys ReadSpriteKeys(const std::string& file, std::string_view section, int32_t defaultX, int32_t defaultY) {
    SpriteKeys keys;
    keys.FileName = ReadIniString(file, section, "FileName", "");
    keys.StartX = ReadIniInt(file, section, "StartX", defaultX);
    keys.StartY = ReadIniInt(file, section, "StartY", defaultY);
    keys.DX = CSng(ReadIniString(file, section, "DX", "0"));
    keys.DY = CSng(ReadIniString(file, section, "DY", "0"));
    keys.Time = ReadIniInt(file, section, "Time", 1);
    keys.Mode = ReadIniInt(file, section, "Mode", 0);
    keys.Wait = ReadIniInt(file, section, "Wait", 0);
    keys.Column = ReadIniInt(file, section, "Column", 1);
    keys.Row = ReadIniInt(file, section, "Row", 1);
    keys.MoveCount = ReadIniInt(file, section, "MoveCount", 60);
    return keys;
}

clsAnimeCharacter MakeSprite(const SettingsFile& ini, std::string_view section, const SpriteKeys& keys,
                             bool visibleAfterMoveEnd) {
    clsAnimeCharacter sprite;
    const std::string path = ini.Folder + keys.FileName;
    if (SkinFilePath(ini.Folder, keys.FileName))
        sprite.InitFromFile(DDraw, path);
    else
        ReportPictureFailure(path);
    if (!sprite.HasSheet()) PictureFailedAt(ini, section, "FileName", path);
    if (keys.MoveCount == std::numeric_limits<int32_t>::min())
        throw RuntimeError(ErrOverflow, "MoveCount out of range");
    sprite.InitPosition(keys.StartX, keys.StartY, keys.DX, keys.DY);
    sprite.InitAnimeData(keys.Time, keys.Mode, keys.Wait, keys.Column, keys.Row, visibleAfterMoveEnd,
                         keys.MoveCount - 1);
    sprite.AutoSetRegionColor();
    return sprite;
}

SoundBufferPtr LoadSound(const std::string& folder, std::string_view name, int32_t flags) {
    std::optional<std::string> path = SkinFilePath(folder, name);
    if (!path) throw RuntimeError(ErrFileNotFound, "not in the skin folder: " + std::string(name));
    if (!DSound) throw RuntimeError(ErrObjectNotSet, "no sound device");
    DSBUFFERDESC desc;
    desc.lFlags = flags;
    WAVEFORMATEX format;
    return DSound->CreateSoundBufferFromFile(*path, desc, format);
}

void SetFontSize(StdFont& font, int32_t points) {
    constexpr int32_t Smallest = 1, Largest = 200;
    if (points < Smallest || points > Largest) throw RuntimeError(ErrInvalidCall, "font size out of range");
    font.Size = static_cast<float>(points);
}

std::vector<std::string> SplitList(std::string_view text) {
    std::vector<std::string> items;
    if (text.empty()) return items;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        items.emplace_back(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) return items;
        start = comma + 1;
    }
}

int32_t ReadStrictColor(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view fallback) {
    constexpr int32_t White = PackColor(255, 255, 255);
    std::vector<std::string> parts = SplitList(ReadIniString(file, section, key, fallback));
    if (parts.size() != 3) throw RuntimeError(ErrSubscript, "a colour needs three parts");
    int32_t channels[3];
    for (size_t i = 0; i < 3; ++i) {
        try {
            int32_t value = CInt(parts[i]);
            if (value < 0) return White;
            channels[i] = value > 255 ? 255 : value;
        } catch (const RuntimeError&) {
            return White;
        }
    }
    return PackColor(channels[0], channels[1], channels[2]);
}

void NotePictureFailure(PictureFailure failure) { FailureRecord() = std::move(failure); }

void ClearPictureFailure() { FailureRecord().reset(); }

}  // namespace dexlora::loader_detail

namespace dexlora {

const std::optional<PictureFailure>& SkinPictureFailure() { return loader_detail::FailureRecord(); }

}  // namespace dexlora
