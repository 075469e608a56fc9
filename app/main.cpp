// Dexlora's start-up. Until the scenes exist, it runs a preview of the
// drawing layer on the bundled skin: a wipe to the game picture, falling
// petals, the text window sliding in and a question with its romaji.
// Any key shows another question; Esc ends the preview.
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "drawing/anime_character.h"
#include "drawing/display.h"
#include "drawing/main_window.h"
#include "drawing/wipes.h"
#include "keyconf/keyconf_file.h"
#include "platform/files.h"
#include "platform/window.h"
#include "skin/settings/shared.h"
#include "typing/questions.h"
#include "typing/rome_table.h"

namespace dexlora {
namespace {

bool running = true;

int32_t& QuestionIndexForPreview() {
    static int32_t index = 1;
    return index;
}

bool LoadTablesAndQuestions() {
    LoadRomeTable(RomeTable, "Rome.ini");
    LoadRomeTable(Rome2Table, "Rome2.ini");
    LoadKeyConf("KeyConf.txt");
    if (!BuildRomeIndex(RomeIndex, RomeTable, 1) || !BuildRomeIndex(Rome2Index, Rome2Table, 2)) return false;
    try {
        return LoadQuestions("type.txt");
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "type.txt: %s\n", e.what());
        return false;
    }
}

// Petals drifting down and to the left at different speeds and phases.
std::vector<std::unique_ptr<clsAnimeCharacter>> MakePetals(int count) {
    std::vector<std::unique_ptr<clsAnimeCharacter>> petals;
    std::mt19937 rng(7);
    for (int i = 0; i < count; ++i) {
        auto petal = std::make_unique<clsAnimeCharacter>();
        petal->InitFromFile(DDraw, SkinPath + "petal.bmp");
        const int x = 80 + static_cast<int>(rng() % 600);
        const float dx = -0.4f - static_cast<float>(rng() % 60) / 100.0f;
        const float dy = 0.8f + static_cast<float>(rng() % 90) / 100.0f;
        petal->InitPosition(x, -32, dx, dy);
        petal->InitAnimeData(6 + static_cast<int>(rng() % 6), 1, static_cast<int>(rng() % 200), 4, 1, false,
                             560);
        petal->AutoSetRegionColor();
        petal->InitFirstValue();
        petals.push_back(std::move(petal));
    }
    return petals;
}

void Preview() {
    SystemPath = ProgramFolder() + "system/";
    SkinPath = ProgramFolder() + "skins/Standard/";
    if (!LoadTablesAndQuestions()) {
        std::fprintf(stderr, "No question of %stype.txt can be typed.\n", SkinPath.c_str());
        return;
    }

    DX = std::make_shared<DirectX7>();
    DDraw = DX->DirectDrawCreate("");
    SetUnloadMainWindowHandler([] { running = false; });
    SetMainWindowEvents({
        .KeyPress =
            [](char32_t& key) {
                if (key == 27) {
                    running = false;
                    return;
                }
                static std::mt19937 rng(std::random_device{}());
                std::uniform_int_distribution<int32_t> pick(1, QuestionMax + 1);
                QuestionIndexForPreview() = pick(rng);
            },
        .MouseDown = nullptr,
        .DblClick = nullptr,
    });
    ShowMousePointer(false);
    ShowMainWindow();
    if (!InitDisplay(MainWindowHandle(), DDraw, DDSurfPrimary, DDSurfBack, PrimaryDesc, BackBufferDesc)) return;
    CreateWorkSurface(640, 480, DDraw, SnapshotDesc, DDSurfSnapshot);
    LoadImageSurface(DDraw, SkinPath + "game.jpg", GameDesc, DDSurfGame);
    if (!running || !DDSurfGame || !DDSurfSnapshot) return;

    auto petals = MakePetals(12);
    clsAnimeCharacter window;
    window.InitFromFile(DDraw, SkinPath + "window.bmp");
    window.InitPosition(120, 480, 0, -8);
    window.InitAnimeData(1, 0, 0, 1, 1, true, 47);
    window.AutoSetRegionColor();
    window.InitFirstValue();

    // The last frame is black: wipe from it into the game picture.
    DDSurfBack->FillRect({0, 0, 640, 480}, 0);
    DDSurfSnapshot->BltFast(0, 0, *DDSurfBack, {0, 0, 640, 480}, DDBLTFAST_WAIT);
    ScreenWipe({-1, "BoxIn"}, DDSurfSnapshot, DDSurfGame);

    const StdFont questionFont{"MS UI Gothic", 20.0f, false};
    const StdFont romeFont{"MS UI Gothic", 16.0f, false};
    uint32_t prev = GetTickCount();
    uint32_t acc = 0;
    while (running) {
        const uint32_t now = GetTickCount();
        acc += now - prev;
        for (uint32_t t = acc / 15; t > 0; --t) {
            for (auto& p : petals) p->AddTC();
            window.AddTC();
        }
        acc %= 15;
        DDSurfBack->BltFast(0, 0, *DDSurfGame, {0, 0, 640, 480}, DDBLTFAST_WAIT);
        for (auto& p : petals) {
            p->PrintCharacter(DDSurfBack);
            if (p->GetMoveEnd()) p->InitFirstValue();
        }
        window.PrintCharacter(DDSurfBack);
        if (window.GetMoveEnd()) {
            const Question& q = Questions[QuestionIndexForPreview()];
            DDSurfBack->SetFontTransparency(true);
            DDSurfBack->SetFont(questionFont);
            DDSurfBack->SetForeColor(0x3A2A1E);
            DDSurfBack->DrawText(136, 104, q.Text, false);
            DDSurfBack->SetFont(romeFont);
            DDSurfBack->SetForeColor(0x8A7A6A);
            DDSurfBack->DrawText(136, 130, q.Romaji, false);
        }
        DDSurfPrimary->Flip(nullptr, DDFLIP_WAIT);
        DoEvents();
        prev = now;
    }
    ReleaseDisplay(MainWindowHandle());
}

}  // namespace
}  // namespace dexlora

int main() {
    dexlora::PlatformSession session(dexlora::DisplayKind::Window);
    dexlora::Preview();
    return 0;
}
