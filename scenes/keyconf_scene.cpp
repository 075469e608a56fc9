// The key-configuration scene.
#include "scenes/keyconf_scene.h"

#include <algorithm>

#include "drawing/display.h"
#include "drawing/rounding.h"
#include "drawing/scene_control.h"
#include "engine/keyconf_file.h"
#include "engine/questions.h"
#include "platform/window.h"
#include "scenes/frame.h"
#include "scenes/game_fields.h"
#include "scenes/keyconf_layout.h"
#include "scenes/scenes.h"
#include "settings/shared.h"
#include "skin/loaders/loaders.h"

namespace dexlora {
namespace {

// The face the cell texts are centred by, whatever font draws them: the
// centring is only approximate when a skin picks another font.
const StdFont MeasureFont{"ＭＳ Ｐゴシック", 9.0f, false};

// Measures texts in MeasureFont on a surface of its own, so that the back
// buffer's font state is left as the scene set it.
class CellTextMeasure {
public:
    CellTextMeasure() {
        SurfaceDesc desc = OffscreenDesc(1, 1);
        surface_ = DDraw->CreateSurface(desc);
        surface_->SetFont(MeasureFont);
    }
    int32_t Width(std::string_view text) const {
        int32_t width = 0, height = 0;
        surface_->MeasureText(text, width, height);
        return width;
    }
    int32_t Height(std::string_view text) const {
        int32_t width = 0, height = 0;
        surface_->MeasureText(text, width, height);
        return height;
    }

private:
    SurfacePtr surface_;
};

// The left edge that centres a text of this width in a cell starting at x.
int32_t CentredX(int32_t x, int32_t width) { return x + RoundHalfEven((KeyConfCellWidth - width) / 2.0); }

RomeEntries& ShownTable() { return Fields.KeyConfPage == 0 ? RomeTable : Rome2Table; }

// "Exit Configure": the questions follow the new spellings, the choices are
// kept, and the title comes next. Questions that can no longer be spelled
// close the main window before anything is saved, so that the next start
// does not fail on the same choices.
void ExitKeyConf() {
    GameState = Scene::Title;
    bool loaded = false;
    try {
        loaded = LoadQuestions(SkinPath, "type.txt");
    } catch (const RuntimeError&) {
        // type.txt gone or cut short since start-up: as at start-up, the end.
        EndProgramNow();
        return;
    }
    if (!loaded) {
        UnloadMainWindow();
        return;
    }
    SaveKeyConf("KeyConf.txt");
    ShowMousePointer(false);
    RequestScene(NextScene::Title);
}

}  // namespace

void DrawKeyConfFrame() {
    DirectDrawSurface7& back = *DDSurfBack;
    back.SetForeColor(0);
    for (int32_t grid = 0; grid < 2; ++grid) {
        for (int32_t column = 0; column < KeyConfColumns; ++column) {
            for (int32_t row = 0; row < KeyConfRows; ++row) {
                const int32_t left = KeyConfGridLeft + KeyConfCellWidth * column;
                const int32_t top = KeyConfGridTops[grid] + KeyConfCellHeight * row;
                back.DrawBox(left, top, left + KeyConfCellWidth, top + KeyConfCellHeight);
            }
        }
    }
    for (const KeyConfButton& button : KeyConfButtons) back.DrawBox(button.Left, button.Top, button.Right, button.Bottom);
    back.SetFont(KeyConfIni.KeyConfFont);
    back.SetForeColor(KeyConfIni.KeyConfFontColor);
    for (const KeyConfButton& button : KeyConfButtons) back.DrawText(button.LabelX, button.LabelY, button.Label, false);
}

void DrawKeyConfTable(const RomeEntries& table) {
    DirectDrawSurface7& back = *DDSurfBack;
    back.SetFont(KeyConfIni.KeyConfFont);
    back.SetForeColor(KeyConfIni.KeyConfFontColor);
    const CellTextMeasure measure;
    const int32_t spellingDrop = measure.Height("a") - 5;
    const int32_t shown = std::min(RomeEntryCount(table), KeyConfScreenEntries);
    for (int32_t i = 0; i < shown; ++i) {
        const RomeEntry& entry = table[static_cast<size_t>(i)];
        int32_t x = 0, top = 0;
        KeyConfCellOrigin(i, x, top);
        const int32_t y = top + 10;  // the text base: 20 for the first cell
        if (!entry.Kana.empty()) back.DrawText(CentredX(x, measure.Width(entry.Kana)), y - 5, entry.Kana, false);
        const std::string& spelling = SelectedSpelling(entry);
        if (!spelling.empty()) back.DrawText(CentredX(x, measure.Width(spelling)), y + spellingDrop, spelling, false);
    }
}

void KeyConfStart() {
    while (!SceneChangePending()) {
        // Bounded by the back buffer and by the picture, so that a skin's
        // smaller picture is copied at its own size instead of failing.
        if (Backgrounds.DDSurfKeyConf) {
            CopyBackground(Backgrounds.DDSurfKeyConf, std::min(BackBufferDesc.lWidth, Backgrounds.KeyConfDesc.lWidth),
                           std::min(BackBufferDesc.lHeight, Backgrounds.KeyConfDesc.lHeight));
        }
        DrawKeyConfFrame();
        DrawKeyConfTable(ShownTable());
        EndFrame();
    }
}

void KeyConfDblClick() {
    int32_t entry = 0;
    switch (KeyConfTargetAt(Fields.MouseX, Fields.MouseY, entry)) {
        case KeyConfTarget::Key1:
            Fields.KeyConfPage = 0;
            ScreenBlt();
            break;
        case KeyConfTarget::Key2:
            Fields.KeyConfPage = 1;
            ScreenBlt();
            break;
        case KeyConfTarget::Exit:
            ExitKeyConf();
            break;
        case KeyConfTarget::Cell:
            NextSpelling(ShownTable(), entry);  // beyond the table's end it changes nothing
            ScreenBlt();
            break;
        case KeyConfTarget::Nothing:
            break;
    }
}

}  // namespace dexlora
