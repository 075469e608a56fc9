// Start-up (Main, Form_Load) and shutdown (Form_Unload).
#include "app/startup.h"

#include <cstdio>
#include <exception>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "engine/history.h"
#include "engine/keyconf_file.h"
#include "engine/printable.h"
#include "engine/questions.h"
#include "engine/rome_table.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "scenes/game_fields.h"
#include "scenes/scenes.h"
#include "settings/ini.h"
#include "settings/player_options.h"
#include "settings/shared.h"
#include "settings/user_settings.h"
#include "skin/chooser/frm_skin_dir.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

namespace {

std::string WithTrailingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// Runs one shutdown step; a step that fails is skipped.
template <class Step>
void TryStep(Step step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace

void ReportLoadMessages() {
    if (ErrLog.empty()) return;
    std::string text(ErrLog);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        if (end > start) std::fprintf(stderr, "dexlora: %.*s\n", int(end - start), text.data() + start);
        start = end + 2;
    }
}

bool Form_Load() {
    try {
        RomeTable.assign(2, RomeEntry{});
        Rome2Table.assign(2, RomeEntry{});
        BigChara.clsBigChara = clsAnimeCharacter{};
        LoadRomeTable(RomeTable, "Rome.ini");
        LoadRomeTable(Rome2Table, "Rome2.ini");
        LoadKeyConf("KeyConf.txt");
        bool built = BuildRomeIndex(RomeIndex, RomeTable, 1) && BuildRomeIndex(Rome2Index, Rome2Table, 2);
        built = built && LoadQuestions(SkinPath, "type.txt");  // and QuestionMax with them
        if (!built) {
            AppendErrLog(SkinPath + "type.txt: no question can be typed with the romaji tables");
            UnloadMainWindow();
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        AppendErrLog(std::string(e.what()));
        EndProgramNow();
        return false;
    }
}

void Main(const std::string& programFolder) {
    // Until the main window is first used, a failure ends the program
    // silently: closing a window that never opened does nothing.
    bool windowLoaded = false;
    try {
        SystemPath = WithTrailingSlash(programFolder) + "system/";
        UserSettingsPath = UserSettingsFolder();
        HistoryPath = HistoryFolder();
        LoadPlayerOptions();
        SetSharpComposition(OptionOn(Option::SharpText));
        ApplyPresentOption();
        SkinPath = WithTrailingSlash(ShowSkinDirDialog());
        DX = std::make_shared<DirectX7>();
        DDraw = DX->DirectDrawCreate("");
        DSound = DX->DirectSoundCreate("");

        windowLoaded = true;
        const int64_t hWnd = MainWindowHandle();
        if (!Form_Load()) return;
        DSound->SetCooperativeLevel(hWnd, DSSCL_NORMAL);

        Anime.GameFrontAnime.clear();
        Anime.GameBackAnime.clear();
        Anime.TitleFrontAnime.clear();
        Anime.TitleBackAnime.clear();
        ShowMousePointer(false);
        GameState = Scene::Title;
        ShowMainWindow();

        if (!InitDisplay(hWnd, DDraw, DDSurfPrimary, DDSurfBack, PrimaryDesc, BackBufferDesc)) return;
        CreateWorkSurface(ScreenWidth, ScreenHeight, DDraw, SnapshotDesc, DDSurfSnapshot);
        if (SceneChangePending()) return;
        LoadSkin(SkinPath);
        if (SceneChangePending()) return;

        ScreenBlt();
        if (SceneChangePending()) return;
        SetMainWindowFocus();
        // The picture from which the first title wipe starts; a title
        // picture missing or smaller than the screen ends the program here.
        try {
            if (!Backgrounds.DDSurfTitle) throw RuntimeError(ErrObjectNotSet, "no title picture");
            DDSurfBack->BltFast(0, 0, *Backgrounds.DDSurfTitle, ScreenRect, DDBLTFAST_WAIT);
        } catch (const std::exception& e) {
            throw RuntimeError(ErrDirectX, std::string("the title picture does not cover the 640x480 screen: ") +
                                               e.what());
        }
        RequestScene(NextScene::Title);
    } catch (const std::exception& e) {
        AppendErrLog(std::string(e.what()));
        if (windowLoaded)
            UnloadMainWindow();
        else
            EndProgramNow();
    }
}

void Form_Unload() {
    TryStep([] { ReleaseDisplay(MainWindowHandle()); });
    // These in this order now; the rest when the program ends (ReleaseGameObjects).
    TryStep([] {
        DX = nullptr;
        DDraw = nullptr;
        DDSurfPrimary = nullptr;
        DDSurfBack = nullptr;
        Backgrounds.DDSurfTitle = nullptr;
    });
    TryStep([] { ShowMousePointer(true); });
    TryStep([] {
        // The root folder keeps its one slash; an empty path is not written.
        std::string folder = SkinPath;
        if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        if (!folder.empty() && !RememberSkinFolder(folder)) {
            AppendErrLog("the skin folder " + EscapeControls(folder) + " cannot be remembered for the next start");
        }
    });
    // The error window would close the moment it opened: the report goes to
    // standard error instead, and nothing of it reaches the screen.
    TryStep([] { ReportLoadMessages(); });
}

void ReleaseGameObjects() {
    headless::OnFlip(nullptr);
    SetMainWindowEvents({});
    ResetSkinGlobals();
    Fields = GameFields{};
    SeedRandom(StartSeed);
    ResetSceneControl();
    Questions = QuestionList(2);
    QuestionMax = -1;
    RomeTable = Rome2Table = RomeEntries(2);
    RomeIndex.clear();
    Rome2Index.clear();
    RomeLookup::Release();
    // The surfaces before the devices that made them.
    Backgrounds = SceneBackgrounds{};
    DDSurfPrimary = DDSurfBack = DDSurfSnapshot = nullptr;
    DSound = nullptr;
    DDraw = nullptr;
    DX = nullptr;
    ResetPlayerOptions();
    ApplyPresentOption();
    ErrLog.clear();
}

int RunDexlora(const std::string& programFolder) {
    ResetSceneControl();
    ClosedByPlayer = false;
    InstallMainWindowEvents();
    Main(programFolder);
    return RunScenes();
}

}  // namespace dexlora
