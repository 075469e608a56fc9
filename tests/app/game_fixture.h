// Whole runs of the game on the headless display: a program folder with the
// bundled romaji tables and a small test skin, each frame's game fields
// recorded at its flip, and input scripted in virtual time, also in reply to
// what a frame shows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "engine/questions.h"
#include "engine/rome_table.h"
#include "platform/core/encoding.h"
#include "platform/window.h"
#include "scenes/game_fields.h"
#include "settings/shared.h"
#include "skin/loaders/loaders.h"
#include "tests/drawing/bmp_writer.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora::test {

using Kind = headless::ScriptedEvent::Kind;

// Colours of the test skin, packed red + 256 green + 65536 blue.
constexpr int32_t Green = 0x00FF00, Red = 0x0000FF, Blue = 0xFF0000;
constexpr int32_t TitleColour = 0x402010, GameColour = 0x000000, ResultColour = 0x303030, KeyConfColour = 0x102040;

// Where the test skin puts the romaji line and the time.
constexpr int32_t TestRomeX = 20, TestRomeY = 100, TestTimeX = 500, TestTimeY = 20;
const StdFont TestQuestionFont{"MS Gothic", 24.0f, false};
const StdFont TestTimeFont{"MS Gothic", 40.0f, false};

// The game fields when a frame was shown.
struct FrameRecord {
    uint64_t Number = 0;
    uint32_t Time = 0;  // virtual time just after the flip
    int32_t State = 0, TimeLeft = 0, Typed = 0, Combo = 0, MaxCombo = 0, Misses = 0, Clears = 0, Question = 0;
};

class GameTest : public ::testing::Test {
public:
    testing_support::TempFolder root;
    std::string skin = root.Path() + "skins/Test/";
    std::vector<FrameRecord> frames;
    uint64_t frameLimit = 20000;
    // Called at each flip with the frame and its record; may script input.
    std::function<void(const DirectDrawSurface7&, const FrameRecord&)> onFrame;

    GameTest() { WriteSkin(); }

    // The program folder: the bundled romaji tables, System.ini naming the
    // test skin, and the skin itself.
    void WriteSkin() {
        const std::string source = std::string(DEXLORA_SOURCE_DIR) + "/system/";
        root.Write("system/Rome.ini", testing_support::TempFolder::Read(source + "Rome.ini"));
        root.Write("system/Rome2.ini", testing_support::TempFolder::Read(source + "Rome2.ini"));
        root.Write("system/System.ini", SystemIniBefore());
        WriteQuestions({{"あいう", "あいう"}});
        WritePicture("Title.bmp", 640, 480, TitleColour);
        WritePicture("Game.bmp", 640, 480, GameColour);
        WritePicture("Result.bmp", 640, 480, ResultColour);
        WritePicture("KeyConf.bmp", 640, 480, KeyConfColour);
        root.Write("skins/Test/Game.ini",
                   "[QuestionText]\r\nQuestionFontName=MS Gothic\r\nQuestionFontSize=24\r\n"
                   "QuestionX=20\r\nQuestionY=40\r\nQuestionFontColor1=255,255,0\r\n"
                   "RomeX=20\r\nRomeY=100\r\nQuestionFontColor2=0,255,0\r\nQuestionFontColor3=255,0,0\r\n"
                   "[Time]\r\nTimeFontName=MS Gothic\r\nTimeFontSize=40\r\nTimeFontColor=0,0,255\r\n"
                   "TimeX=500\r\nTimeY=20\r\n");
        // Texts 1 and 2 overlap, so the frame tells their order; 4 is empty.
        std::string title = "[TitleText]\r\n";
        const char* colours[] = {"255,0,0", "0,255,0", "0,0,255", "255,255,0"};
        const char* texts[] = {"■", "■", "■", ""};
        const char* xs[] = {"100", "100", "300", "400"};
        for (int n = 1; n <= 4; ++n) {
            const std::string key = "TitleText" + std::to_string(n);
            title += key + "_FontName=MS Gothic\r\n" + key + "_FontSize=40\r\n" + key + "_Text=" + texts[n - 1] +
                     "\r\n" + key + "_X=" + xs[n - 1] + "\r\n" + key + "_Y=100\r\n" + key + "_FontColor=" +
                     colours[n - 1] + "\r\n";
        }
        root.Write("skins/Test/title.ini", Utf8ToCp932(title));
    }

    ~GameTest() override { EndSession(); }

    // System.ini as it stands before the run, and as the shutdown writes it.
    std::string SystemIniBefore() const { return "[System]\r\nSkinPath=" + skin + "\r\n"; }
    std::string SystemIniWritten() const { return "[System]\r\nSkinPath=" + skin.substr(0, skin.size() - 1) + "\r\n"; }
    std::string SystemIni() const { return testing_support::TempFolder::Read(root.Path() + "system/System.ini"); }

    // type.txt from (text, reading) pairs, in CP932.
    void WriteQuestions(const std::vector<std::pair<std::string, std::string>>& questions) {
        std::string file;
        for (const auto& [text, reading] : questions) file += text + "\r\n" + reading + "\r\n\r\n";
        root.Write("skins/Test/type.txt", Utf8ToCp932(file));
    }

    void WritePicture(const std::string& name, int32_t width, int32_t height, int32_t colour) {
        // Pictures are made in a session of their own, or in the running one.
        std::unique_ptr<PlatformSession> scratch;
        if (!session_) scratch = std::make_unique<PlatformSession>(DisplayKind::Headless);
        DirectDrawPtr dd = DirectDrawCreate("");
        SurfaceDesc desc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, height, width, 0, DDSCAPS_OFFSCREENPLAIN};
        SurfacePtr surf = dd->CreateSurface(desc);
        surf->FillRect(RECT{0, 0, width, height}, colour);
        root.Write("skins/Test/" + name, "");
        ASSERT_TRUE(WriteBmp(*surf, skin + name)) << name;
    }

    // Runs the whole game from start-up with the script (after the chooser
    // has been closed); answers its exit status. The script (or onFrame) must
    // end the game.
    int Run(std::vector<headless::ScriptedEvent> script = {}, uint32_t startTime = 0) {
        EndSession();
        session_ = std::make_unique<PlatformSession>(DisplayKind::Headless);
        ErrLog.clear();
        ResetSkinGlobals();
        ResetGameFields();
        Questions = QuestionList{};
        QuestionMax = -1;
        frames.clear();
        headless::SetClock(startTime);
        // The chooser takes every scripted event until one closes it: Esc
        // accepts the folder System.ini names, the rest is the game's.
        script.insert(script.begin(), {startTime, Kind::Key, 27});
        headless::Script(std::move(script));
        headless::OnFlip([this](const DirectDrawSurface7& frame, uint64_t number) {
            FrameRecord r{number, GetTickCount(), GameState, TimeLeft, TypedLength, Combo, MaxCombo,
                          MissCount, ClearCount, QuestionIndex};
            frames.push_back(r);
            if (onFrame) onFrame(frame, r);
            // A test that lost its way still ends.
            if (number == frameLimit) {
                ADD_FAILURE() << "still running after " << frameLimit << " frames";
                Key(27);
            }
        });
        return RunDexlora(root.Path());
    }

    // Input from now on, delay milliseconds later.
    static void Key(char32_t key, uint32_t delay = 0) {
        headless::Script({{GetTickCount() + delay, Kind::Key, key}});
    }
    static void Keys(std::u32string_view keys, uint32_t delay = 0) {
        for (char32_t key : keys) Key(key, delay);
    }

    // The frames shown while GameState had the value.
    std::vector<FrameRecord> FramesIn(int32_t state) const {
        std::vector<FrameRecord> out;
        for (const FrameRecord& r : frames)
            if (r.State == state) out.push_back(r);
        return out;
    }

    // Every drawing object released before the session that made it.
    void EndSession() {
        if (!session_) return;
        headless::OnFlip(nullptr);
        SetMainWindowEvents({});
        ResetSkinGlobals();
        DX = nullptr;
        DDraw = nullptr;
        DSound = nullptr;
        DDSurfPrimary = DDSurfBack = DDSurfSnapshot = DDSurfTitle = DDSurfGame = DDSurfResult = DDSurfKeyConf = nullptr;
        ResetSceneControl();
        session_.reset();
    }

private:
    std::unique_ptr<PlatformSession> session_;
};

// Pixels of a rectangle of a frame, for comparing what two pictures show.
inline std::vector<int32_t> Pixels(const DirectDrawSurface7& surf, const RECT& r) {
    std::vector<int32_t> out;
    for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x) out.push_back(surf.GetPixel(x, y));
    return out;
}

inline int CountColour(const DirectDrawSurface7& surf, const RECT& r, int32_t colour) {
    int n = 0;
    for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x) n += surf.GetPixel(x, y) == colour;
    return n;
}

}  // namespace dexlora::test
