// What the skin loader targets share: the headless devices, a skin folder
// filled from the input, a watch on everything around the skin folder, and
// the checks every loader's outcome must pass.
//
// An input is a settings file followed by files of the skin, each introduced
// by a line "@@NAME" (NAME as a settings file names it, backslashes and "..".
// included):
//
//     [BackGround]
//     FileName=back.bmp
//     @@back.bmp
//     BM...
//
// Files are written where their names lead, as long as that stays inside the
// scratch folder, which holds the skin folder three levels down: a name that
// climbs out of the skin folder plants a file that no loader may open.
#pragma once

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "fuzz/fuzz_support.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "settings/ini.h"
#include "settings/shared.h"
#include "skin/loaders/loaders.h"

namespace dexlora::fuzz {

// The headless display and sound devices, made once per process. Closing the
// main window only counts: the fuzzing process goes on.
struct SkinDevices {
    PlatformSession session{DisplayKind::Headless};
    // Closes of the main window asked for since the last reset: a failed
    // picture load records one, and nothing ends the fuzzing process.
    static int Unloads() { return PendingScene() == NextScene::Shutdown ? 1 : 0; }

    static SkinDevices& Get() {
        static SkinDevices devices;
        return devices;
    }

    // Back to the state before any loader ran.
    void Fresh() {
        ResetSkinGlobals();
        ErrLog.clear();
        ResetSceneControl();
    }

private:
    SkinDevices() {
        DDraw = DirectDrawCreate("");
        DSound = DirectSoundCreate("");
    }
    ~SkinDevices() {
        ResetSkinGlobals();
        DSound = nullptr;
        DDraw = nullptr;
    }
};

struct SkinInput {
    std::string Settings;
    struct File {
        std::string Name;
        std::string_view Bytes;
    };
    std::vector<File> Files;
};

inline SkinInput SplitSkinInput(std::string_view input) {
    constexpr std::string_view Marker = "\n@@";
    constexpr size_t MaxFiles = 12;
    SkinInput out;
    size_t at = input.find(Marker);
    out.Settings = std::string(input.substr(0, at));
    while (at != std::string_view::npos && out.Files.size() < MaxFiles) {
        const size_t nameStart = at + Marker.size();
        const size_t nameEnd = input.find('\n', nameStart);
        if (nameEnd == std::string_view::npos) break;
        std::string name(input.substr(nameStart, nameEnd - nameStart));
        if (!name.empty() && name.back() == '\r') name.pop_back();
        at = input.find(Marker, nameEnd);
        const size_t end = at == std::string_view::npos ? input.size() : at;
        out.Files.push_back({std::move(name), input.substr(nameEnd + 1, end - nameEnd - 1)});
    }
    return out;
}

// The scratch folder: ROOT/up1/up2/skin/. Every open of an entry of ROOT, up1
// or up2 is seen, so a loader reaching past the skin folder (up to three
// levels, where the planted files are) is caught.
class SkinSandbox {
public:
    static SkinSandbox& Get() {
        static SkinSandbox sandbox;
        return sandbox;
    }

    // The skin folder, ending in '/'.
    const std::string& Skin() const { return skin_; }

    // Empties the scratch folder but for the way down to the skin folder,
    // writes the input's files and its settings file under settingsName.
    void Fill(const SkinInput& input, std::string_view settingsName) {
        namespace fs = std::filesystem;
        std::error_code ignored;
        for (size_t level = 0; level < levels_.size(); ++level) {
            for (const auto& entry : fs::directory_iterator(levels_[level], ignored)) {
                if (entry.path().filename() != ways_[level]) fs::remove_all(entry.path(), ignored);
            }
        }
        fs::remove_all(skin_, ignored);
        fs::create_directory(skin_, ignored);
        for (const SkinInput::File& file : input.Files) Place(file.Name, file.Bytes);
        Place(std::string(settingsName), input.Settings);
        Drain();
    }

    // Fails on any open of a planted file or folder outside the skin folder
    // since the last Fill or Check.
    void Check(const std::string& what) {
        std::vector<std::string> opened = Drain();
        FUZZ_CHECK(opened.empty(), what + " opened " + Escaped(opened.empty() ? "" : opened.front()) +
                                       " outside the skin folder");
    }

private:
    SkinSandbox() {
        root_ = ScratchFolder::Get().Path() + "skin_sandbox";
        levels_ = {root_, root_ + "/up1", root_ + "/up1/up2"};
        ways_ = {"up1", "up2", "skin"};
        skin_ = levels_.back() + "/skin/";
        std::filesystem::create_directories(skin_);
        watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (watch_ < 0) Fail(__FILE__, __LINE__, "inotify_init1", std::to_string(errno));
        for (const std::string& level : levels_) {
            int wd = inotify_add_watch(watch_, level.c_str(), IN_OPEN);
            if (wd < 0) Fail(__FILE__, __LINE__, "inotify_add_watch", level);
            watches_.push_back(wd);
        }
    }
    ~SkinSandbox() {
        if (watch_ >= 0) close(watch_);
    }

    // Writes bytes where name leads from the skin folder; a name that leaves
    // the scratch folder, or cannot be a file there, is left out.
    void Place(const std::string& name, std::string_view bytes) {
        namespace fs = std::filesystem;
        std::vector<std::string> parts;
        int depth = 3;  // of the skin folder below ROOT
        std::string path = skin_;
        size_t start = 0;
        while (start <= name.size()) {
            size_t end = name.find_first_of("/\\", start);
            if (end == std::string::npos) end = name.size();
            const std::string part = name.substr(start, end - start);
            start = end + 1;
            if (part.empty() || part == ".") continue;
            if (part.size() > 255 || part.find('\0') != std::string::npos) return;
            if (part == "..") {
                if (depth == 0) return;
                --depth;
                if (!parts.empty() && parts.back() != "..") {
                    parts.pop_back();
                    continue;
                }
            } else {
                ++depth;
            }
            parts.push_back(part);
        }
        if (parts.empty()) return;
        for (size_t i = 0; i + 1 < parts.size(); ++i) path += parts[i] + "/";
        std::error_code error;
        fs::create_directories(path, error);
        path += parts.back();
        if (error || fs::is_directory(path, error) || parts.back() == "..") return;
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr) return;
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }

    // Reads the open events waiting; answers what was opened outside the
    // skin folder (the way down to it may be opened as a folder).
    std::vector<std::string> Drain() {
        std::vector<std::string> opened;
        alignas(inotify_event) char buffer[16384];
        for (;;) {
            const ssize_t got = read(watch_, buffer, sizeof buffer);
            if (got <= 0) break;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                if (event->mask & IN_Q_OVERFLOW) {
                    opened.push_back("(too many events)");
                    continue;
                }
                const std::string name = event->len ? std::string(event->name) : std::string(".");
                size_t level = 0;
                while (level < watches_.size() && watches_[level] != event->wd) ++level;
                if (level == watches_.size()) continue;
                if ((event->mask & IN_ISDIR) && level + 1 == watches_.size() && name == ways_[level]) continue;
                opened.push_back(levels_[level] + "/" + name);
            }
        }
        return opened;
    }

    std::string root_, skin_;
    std::vector<std::string> levels_, ways_;
    int watch_ = -1;
    std::vector<int> watches_;
};

// A loader's outcome: it completed (nothing in ErrLog), appended its one
// warning, or stopped at a picture whose failure went through the one error
// exit (its line last, the main window closed once), possibly after its
// warning.
inline void CheckLoaderLog(std::string_view loader, std::string_view warning) {
    const std::string expectWarning = std::string(warning) + "\r\n";
    std::string rest = ErrLog;
    if (rest.compare(0, expectWarning.size(), expectWarning) == 0) rest.erase(0, expectWarning.size());
    const auto& failure = SkinPictureFailure();
    const int unloads = SkinDevices::Unloads();
    if (failure) {
        const std::string line = failure->Path + "が読みこめなかった可能性があります\r\n";
        FUZZ_CHECK(rest == line && unloads == 1,
                   std::string(loader) + ": a picture failure left \"" + Escaped(ErrLog) + "\" and " +
                       std::to_string(unloads) + " closes");
        FUZZ_CHECK(failure->Path.compare(0, SkinSandbox::Get().Skin().size(), SkinSandbox::Get().Skin()) == 0,
                   std::string(loader) + ": failed picture " + Escaped(failure->Path) + " not under the skin");
    } else {
        FUZZ_CHECK(rest.empty() && unloads == 0,
                   std::string(loader) + " left \"" + Escaped(ErrLog) + "\" and " + std::to_string(unloads) +
                       " closes");
    }
}

inline void CheckFont(const StdFont& font, const std::string& what) {
    const bool drawable = font.Size >= 1 && font.Size <= 200 && font.Size == static_cast<float>(int(font.Size));
    FUZZ_CHECK(font.Size == StdFont{}.Size || drawable, what + " size " + std::to_string(font.Size));
}

inline void CheckColor(int32_t color, const std::string& what) {
    FUZZ_CHECK(color >= 0 && color <= 0xFFFFFF, what + " colour " + std::to_string(color));
}

inline void CheckText(const TextItem& item, const std::string& what) {
    CheckFont(item.Font, what);
    CheckColor(item.Color, what);
}

inline void CheckSounds(const SoundSlots& slots, const std::string& what) {
    for (const SoundSlot& slot : slots) FUZZ_CHECK(!slot.Loaded || slot.Buffer, what + ": a loaded slot without sound");
}

// A scene background is there unless a picture stopped the loader, and its
// description is the surface's.
inline void CheckBackground(const SurfacePtr& surf, const SurfaceDesc& desc, const std::string& what) {
    if (!surf) {
        FUZZ_CHECK(SkinPictureFailure().has_value(), what + ": no background and no picture failure");
        return;
    }
    FUZZ_CHECK(surf->Width() == desc.lWidth && surf->Height() == desc.lHeight,
               what + ": background " + std::to_string(surf->Width()) + "x" + std::to_string(surf->Height()) +
                   " described as " + std::to_string(desc.lWidth) + "x" + std::to_string(desc.lHeight));
}

// The number of items of a comma list as the settings file holds it.
inline size_t ListItems(const std::string& file, std::string_view section, std::string_view key) {
    const std::string value = ReadIniString(file, section, key, "");
    if (value.empty()) return 0;
    size_t items = 1;
    for (char c : value) items += c == ',';
    return items;
}

// Loads fileName as an animation list of kind into list and checks the
// outcome: a list of as many sprites as names, every one with its sheet, or
// an empty one after a warning, a picture failure or no names.
inline void CheckAnimeList(const std::string& fileName, AnimeList& list, AnimeFileKind kind) {
    constexpr std::string_view Warning = GameFrontAnimeWarning;
    ErrLog.clear();
    ResetSceneControl();
    const bool used = LoadAnimeList(fileName, list, Warning, kind);
    SkinSandbox::Get().Check("LoadAnimeList(" + fileName + ")");
    CheckLoaderLog("LoadAnimeList", Warning);
    if (used) {
        const size_t names = ListItems(SkinPath + fileName, "setting", "AnimeName");
        FUZZ_CHECK(ErrLog.empty() && list.size() == names,
                   fileName + ": " + std::to_string(list.size()) + " sprites for " + std::to_string(names) + " names");
    }
    for (const clsAnimeCharacter& sprite : list) FUZZ_CHECK(sprite.HasSheet(), fileName + ": a sprite without sheet");
}

}  // namespace dexlora::fuzz
