// Animation definition files: a list of named sections, each one sprite.
#include <utility>

#include "settings/ini.h"
#include "settings/shared.h"
#include "skin/loaders/loader_support.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

AnimeLists Anime;

using namespace loader_detail;

namespace {

// Result files may bring the result sound: the back file empties every slot
// first, either file then replaces slot 0, so the last one read wins.
void LoadResultSound(const SettingsFile& ini, AnimeFileKind kind) {
    std::string sound = ReadIniString(ini.Path(), "Sound", "First", "");
    if (sound.empty()) return;
    if (kind == AnimeFileKind::ResultBack) ClearSoundSlots(ResultIni.ResultSounds);
    ResultIni.ResultSounds[0].Buffer = LoadSound(ini.Folder, sound, DSBCAPS_STATIC);
    ResultIni.ResultSounds[0].Loaded = true;
}

}  // namespace

bool LoadAnimeList(std::string_view skinFolder, std::string_view fileName, AnimeList& list,
                   std::string_view warning, AnimeFileKind kind) {
    if (kind != AnimeFileKind::Scene) list = AnimeList{};
    // A rank name outside the skin folder reads as a missing file: nothing.
    if (!SkinFilePath(skinFolder, fileName)) return false;
    const SettingsFile ini{std::string(skinFolder), std::string(fileName)};
    const std::string file = ini.Path();
    try {
        if (kind != AnimeFileKind::Scene) LoadResultSound(ini, kind);
        std::string names = ReadIniString(file, "setting", "AnimeName", "");
        if (names.empty()) return false;
        for (const std::string& name : SplitList(names)) {
            SpriteKeys keys = ReadSpriteKeys(file, name, 320, 240);
            bool visible = ReadIniInt(file, name, "VisibleAfterMoveEnd", 1) != 0;
            list.push_back(MakeSprite(ini, name, keys, visible));
        }
        return true;
    } catch (const RuntimeError&) {
        AppendErrLog(warning);
        return false;
    } catch (const PictureFailed&) {
        return false;
    }
}

std::string ResultAnimeFile(bool back, int32_t rank) {
    const std::vector<std::string>& names = back ? ResultIni.FileNameBack : ResultIni.FileNameFront;
    const bool use = back ? ResultIni.UseFileNameBack : ResultIni.UseFileNameFront;
    if (use && rank >= 0 && static_cast<size_t>(rank) < names.size() && !names[static_cast<size_t>(rank)].empty())
        return names[static_cast<size_t>(rank)] + ".ini";
    return back ? "Result_BackAnime.ini" : "Result_FrontAnime.ini";
}

std::string ResultSoundNamed(std::string_view skinFolder, std::string_view fileName) {
    if (!SkinFilePath(skinFolder, fileName)) return "";
    return ReadIniString(SettingsFile{std::string(skinFolder), std::string(fileName)}.Path(), "Sound", "First", "");
}

}  // namespace dexlora
