// dexlora-check's skin mode: start-up's loading run headless and told line by
// line, with the result scene's rank files after it.
#include "tools/skin_check.h"

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/startup.h"
#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "engine/keyconf_file.h"
#include "engine/printable.h"
#include "engine/questions.h"
#include "engine/rome_table.h"
#include "platform/core/error.h"
#include "platform/window.h"
#include "settings/ini.h"
#include "settings/shared.h"
#include "skin/loaders/loaders.h"
#include "tools/scene_pictures.h"

namespace dexlora {

namespace {

void Print(const std::string& line) {
    const std::string text = EscapeControls(line) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// Prints the load messages added to ErrLog from offset on, each followed by
// suffix; answers the new offset and counts the lines.
size_t PrintLog(size_t offset, const std::string& suffix, int& count) {
    while (offset < ErrLog.size()) {
        size_t end = ErrLog.find("\r\n", offset);
        if (end == std::string::npos) end = ErrLog.size();
        Print("log: " + ErrLog.substr(offset, end - offset) + suffix);
        ++count;
        offset = end + 2;
    }
    return ErrLog.size();
}

std::string NamedBy(const PictureFailure& failure) {
    if (failure.SettingsFile.empty()) return "the large character";
    return "named by " + failure.Key + " in section [" + failure.Section + "] of " + failure.SettingsFile;
}

std::string Folder(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// The main window's Form_Load: tables, spelling choices and questions, whose
// failure ends the game before anything is shown. Answers that failure, or "".
std::string LoadTablesAndQuestions() {
    LoadRomeTable(RomeTable, "Rome.ini");
    LoadRomeTable(Rome2Table, "Rome2.ini");
    LoadKeyConf("KeyConf.txt");
    try {
        if (!BuildRomeIndex(RomeIndex, RomeTable, 1) || !BuildRomeIndex(Rome2Index, Rome2Table, 2))
            return "the romaji tables of " + SystemPath + " cannot be indexed";
        if (!LoadQuestions(SkinPath, "type.txt")) {
            return "no question of " + SkinPath + "type.txt can be typed with the tables of " + SystemPath +
                   " (dexlora-check SYSTEM_FOLDER TYPE_TXT tells why for each)";
        }
    } catch (const RuntimeError& error) {
        return SkinPath + "type.txt cannot be read (" + error.what() + ")";
    }
    return "";
}

// The first picture of the title scene is a copy of the whole screen from
// the title background: a smaller picture ends the game there.
std::string CheckFirstTitleCopy() {
    try {
        DDSurfBack->BltFast(0, 0, *Backgrounds.DDSurfTitle, RECT{0, 0, 640, 480}, DDBLTFAST_WAIT);
        return "";
    } catch (const RuntimeError&) {
        const std::string name = ReadIniString(SkinPath + "title.ini", "BackGround", "FileName", "Title.bmp");
        const SurfacePtr& title = Backgrounds.DDSurfTitle;
        return "the title background " + SkinPath + name + " is " + std::to_string(title->Width()) + "x" +
               std::to_string(title->Height()) +
               ", smaller than the 640x480 screen (named by FileName in section [BackGround] of title.ini)";
    }
}

// A rank whose files name no result sound while another rank's do plays
// whichever sound the result before it left: one line for each such rank.
void WarnSilentRanks() {
    const int32_t ranks = static_cast<int32_t>(ResultIni.Points.size()) + 1;
    std::vector<std::string> silent;
    int32_t sounding = -1;
    for (int32_t rank = 0; rank < ranks; ++rank) {
        const std::string back = ResultAnimeFile(true, rank), front = ResultAnimeFile(false, rank);
        if (ResultSoundNamed(SkinPath, back).empty() && ResultSoundNamed(SkinPath, front).empty())
            silent.push_back("rank " + std::to_string(rank) + " (" + back + ", " + front + ")");
        else if (sounding < 0)
            sounding = rank;
    }
    if (sounding < 0) return;
    for (const std::string& rank : silent)
        Print("warn: " + rank + " names no result sound while rank " + std::to_string(sounding) +
              " does: its result plays the sound of the result before it");
}

// Every object the checker made goes before the session that made it.
struct ReleaseAtEnd {
    ~ReleaseAtEnd() { ReleaseGameObjects(); }
};

}  // namespace

int CheckSkin(const std::string& systemFolder, const std::string& skinFolder, const std::string& pictureFolder) {
    SystemPath = Folder(systemFolder);
    SkinPath = Folder(skinFolder);
    ErrLog.clear();
    int messages = 0;
    std::string end = LoadTablesAndQuestions();
    int32_t endRank = -1;  // the rank whose result ends the game; -1: start-up
    bool picturesMade = true;

    if (end.empty()) {
        PlatformSession session(DisplayKind::Headless);
        // Closing the main window only records the end: the checker goes on
        // to report what closed it.
        ResetSceneControl();
        ReleaseAtEnd release;
        DX = std::make_shared<DirectX7>();
        DDraw = DX->DirectDrawCreate("");
        DSound = DX->DirectSoundCreate("");
        if (!InitDisplay(MainWindowHandle(), DDraw, DDSurfPrimary, DDSurfBack, PrimaryDesc, BackBufferDesc))
            end = "the display cannot be set up";
        if (end.empty()) CreateWorkSurface(640, 480, DDraw, SnapshotDesc, DDSurfSnapshot);
        if (end.empty() && !DDSurfSnapshot) end = "the 640x480 work surface cannot be made";
        if (end.empty()) {
            LoadSkin(SkinPath);
            if (SkinPictureFailure())
                end = SkinPictureFailure()->Path + " cannot be loaded (" + NamedBy(*SkinPictureFailure()) + ")";
        }
        size_t logged = PrintLog(0, "", messages);
        if (end.empty()) end = CheckFirstTitleCopy();

        // Each rank's files as the result scene loads them, back first; a
        // file shared by several ranks is read once.
        std::set<std::string> seen[2];
        for (int32_t rank = 0; end.empty() && rank <= static_cast<int32_t>(ResultIni.Points.size()); ++rank) {
            for (bool back : {true, false}) {
                const std::string file = ResultAnimeFile(back, rank);
                if (!seen[back].insert(file).second) continue;
                (back ? Anime.UseResultBackAnime : Anime.UseResultFrontAnime) = LoadAnimeList(
                    SkinPath, file, back ? Anime.ResultBackAnime : Anime.ResultFrontAnime,
                    back ? ResultBackAnimeWarning : ResultFrontAnimeWarning,
                    back ? AnimeFileKind::ResultBack : AnimeFileKind::ResultFront);
                logged = PrintLog(logged, " (" + file + ", at a result of rank " + std::to_string(rank) + ")", messages);
                if (SkinPictureFailure()) {
                    end = SkinPictureFailure()->Path + " cannot be loaded (" + NamedBy(*SkinPictureFailure()) + ")";
                    endRank = rank;
                    break;
                }
            }
        }
        if (end.empty()) WarnSilentRanks();
        if (end.empty() && !pictureFolder.empty()) picturesMade = WriteScenePictures(pictureFolder);
    }

    const std::string count = std::to_string(messages) + (messages == 1 ? " load message" : " load messages");
    if (end.empty()) {
        Print("dexlora-check: " + count + "; the game starts with this skin");
        return picturesMade ? 0 : 2;
    }
    if (endRank < 0) {
        Print("end: " + end + "; the game ends at start-up");
        Print("dexlora-check: " + count + "; the game would not start with this skin");
    } else {
        Print("end: " + end + "; the game ends at a result of rank " + std::to_string(endRank));
        Print("dexlora-check: " + count + "; the game starts, but ends at a result of rank " + std::to_string(endRank));
    }
    return 1;
}

}  // namespace dexlora
