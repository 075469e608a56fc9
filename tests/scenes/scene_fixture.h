// Shared set-up of the scene tests: the headless screen, a scratch system
// folder with the bundled romaji tables, a scratch skin folder, and frames
// recorded as they are flipped.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "engine/questions.h"
#include "engine/rome_table.h"
#include "platform/core/encoding.h"
#include "platform/window.h"
#include "scenes/game_fields.h"
#include "scenes/scenes.h"
#include "settings/shared.h"
#include "skin/loaders/loaders.h"
#include "tests/drawing/drawing_fixture.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora::test {

// One whole frame as packed colours, row after row.
struct Frame {
    std::vector<int32_t> Pixels;
    int32_t At(int32_t x, int32_t y) const { return Pixels[static_cast<size_t>(y) * 640 + x]; }
    bool operator==(const Frame&) const = default;
};

inline Frame CaptureFrame(const DirectDrawSurface7& surf) {
    Frame frame;
    frame.Pixels.resize(640 * 480);
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x) frame.Pixels[static_cast<size_t>(y) * 640 + x] = surf.GetPixel(x, y);
    return frame;
}

// Whether some pixel of the rectangle (right and bottom outside) is close to
// this colour, each channel within 64: text drawn in it, whose thin strokes
// are blended with what lies below.
inline bool HasColour(const Frame& frame, const RECT& r, int32_t colour) {
    auto near = [colour](int32_t pixel) {
        for (int shift : {0, 8, 16})
            if (std::abs(((pixel >> shift) & 0xFF) - ((colour >> shift) & 0xFF)) > 64) return false;
        return true;
    };
    for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x)
            if (near(frame.At(x, y))) return true;
    return false;
}

class SceneTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        ResetSkinGlobals();
        ResetSceneControl();
        ResetGameFields();
        SystemPath = folder_.Path() + "system/";
        SkinPath = folder_.Path() + "skin/";
        std::filesystem::create_directories(SystemPath);
        std::filesystem::create_directories(SkinPath);
        for (const char* name : {"Rome.ini", "Rome2.ini"})
            std::filesystem::copy_file(std::string(DEXLORA_SOURCE_DIR) + "/system/" + name, SystemPath + name);
        ASSERT_TRUE(LoadRomeTable(RomeTable, "Rome.ini"));
        ASSERT_TRUE(LoadRomeTable(Rome2Table, "Rome2.ini"));
        BuildRomeIndex(RomeIndex, RomeTable, 1);
        BuildRomeIndex(Rome2Index, Rome2Table, 2);
        CreateWorkSurface(640, 480, DDraw, SnapshotDesc, DDSurfSnapshot);
        ASSERT_TRUE(DDSurfSnapshot);
        headless::SetClock(0);
        SetMainWindowEvents(TestEvents());
    }
    ~SceneTest() override {
        headless::OnFlip(nullptr);
        SetMainWindowEvents({});
        ResetSkinGlobals();
        DDSurfSnapshot = nullptr;
    }

    // The game's own handlers; a test may wrap them to watch what arrives.
    virtual MainWindowEvents TestEvents() {
        return {.KeyPress = Form_KeyPress, .MouseDown = Form_MouseDown, .DblClick = Form_DblClick};
    }

    // Writes the skin's type.txt (CP932, CR LF) from text and reading pairs.
    void WriteQuestions(const std::vector<std::pair<std::string, std::string>>& questions) {
        std::string text;
        for (const auto& [shown, reading] : questions) text += shown + "\r\n" + reading + "\r\n\r\n";
        folder_.Write("skin/type.txt", Utf8ToCp932(text));
    }
    // A 640x480 background of one colour.
    SurfacePtr Plain(int32_t colour) {
        SurfacePtr surf = MakeSurface(640, 480);
        surf->FillRect(RECT{0, 0, 640, 480}, colour);
        return surf;
    }
    // Records every flipped frame from now on.
    void RecordFrames() {
        headless::OnFlip([this](const DirectDrawSurface7& frame, uint64_t) { frames_.push_back(CaptureFrame(frame)); });
    }

    testing_support::TempFolder folder_;
    std::vector<Frame> frames_;
};

}  // namespace dexlora::test
