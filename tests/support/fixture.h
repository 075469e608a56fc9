// The one fixture of the tests that draw: a headless platform session with
// the display and sound devices, a scratch program folder (system/ with the
// bundled romaji tables, skin/ written by each test), whole games run in
// virtual time with every frame's fields recorded, and one release of every
// object the game holds, before the session that made them goes.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <functional>
#include <sstream>

#include "app/startup.h"
#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "engine/questions.h"
#include "engine/rome_table.h"
#include "platform/core/encoding.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "scenes/game_fields.h"
#include "scenes/scenes.h"
#include "settings/shared.h"
#include "skin/loaders/loaders.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/temp_folder.h"

namespace dexlora::test {

using Kind = headless::ScriptedEvent::Kind;

// Colours packed red + 256 green + 65536 blue.
constexpr int32_t Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF, Black = 0;

// A mono 8-bit wave file at 8000 Hz, every sample at level (0x80 is silence).
inline std::string WaveFile(uint32_t samples = 200, char level = '\x80') {
    auto le = [](size_t v, int bytes) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}.substr(0, size_t(bytes));
    };
    const std::string fmt = le(1, 2) + le(1, 2) + le(8000, 4) + le(8000, 4) + le(1, 2) + le(8, 2);
    const std::string body = "WAVEfmt " + le(16, 4) + fmt + "data" + le(samples, 4) + std::string(samples, level);
    return "RIFF" + le(body.size(), 4) + body;
}

// The game fields when a frame was shown.
struct FrameRecord {
    uint64_t Number = 0;
    uint32_t Time = 0;  // virtual time just after the flip
    Scene State = Scene::Title;
    int32_t TimeLeft = 0, Typed = 0, Combo = 0, MaxCombo = 0, Misses = 0, Clears = 0, Question = 0;
};

class DexloraTest : public ::testing::Test {
protected:
    TempFolder root;
    // The program folder's system/ and the skin, both ending in '/'.
    const std::string system = root.Path() + "system/";
    const std::string skin = root.Path() + "skin/";
    std::vector<FrameRecord> frames;
    uint64_t frameLimit = 20000;
    // Called at each flip of a Run with the frame and its record; may script input.
    std::function<void(const DirectDrawSurface7&, const FrameRecord&)> onFrame;

    DexloraTest() { StartSession(); }
    ~DexloraTest() override { ReleaseGameObjects(), session_.reset(); }

    // A fresh headless session with the devices, every global at its start,
    // SkinPath and SystemPath on the scratch folders.
    void StartSession() {
        ReleaseGameObjects(), session_.reset();
        session_ = std::make_unique<PlatformSession>(DisplayKind::Headless);
        DDraw = DirectDrawCreate(""), DSound = DirectSoundCreate("");
        headless::SetClock(0);
        SkinPath = skin, SystemPath = system;
    }

    // A settings or question file of the skin, in CP932 with CR LF line ends.
    void Ini(std::string_view name, std::string_view utf8) const {
        root.Write("skin/" + std::string(name), Utf8ToCp932(Crlf(utf8)));
    }
    // type.txt from (text, reading) pairs.
    void Questions(const std::vector<std::pair<std::string, std::string>>& questions) const {
        std::string file;
        for (const auto& [text, reading] : questions) file += text + "\n" + reading + "\n\n";
        Ini("type.txt", file);
    }
    // A bitmap below the program folder, of one colour with its top-left
    // pixel in corner (the colour a sprite leaves out).
    void Bmp(const std::string& path, int32_t width, int32_t height, int32_t colour = 0x336699,
             int32_t corner = -1) const {
        SurfacePtr surf = Surface(width, height, colour);
        if (corner >= 0) surf->SetPixel(0, 0, corner);
        root.Write(path, "");
        ASSERT_TRUE(WriteBmp(*surf, root.Path() + path)) << path;
    }
    void Wave(const std::string& path) const { root.Write(path, WaveFile()); }
    // An off-screen surface of one colour.
    static SurfacePtr Surface(int32_t width, int32_t height, int32_t colour = 0) {
        SurfaceDesc desc = OffscreenDesc(width, height);
        SurfacePtr surf = DDraw->CreateSurface(desc);
        surf->FillRect(RECT{0, 0, width, height}, colour);
        return surf;
    }

    // The bundled romaji tables in system/; with load, read as start-up reads them.
    void Tables(bool load = true) const {
        for (const char* name : {"Rome.ini", "Rome2.ini"})
            root.Write("system/" + std::string(name), TempFolder::Read(std::string(DEXLORA_SOURCE_DIR) + "/system/" + name));
        if (!load) return;
        ASSERT_TRUE(LoadRomeTable(RomeTable, "Rome.ini") && LoadRomeTable(Rome2Table, "Rome2.ini"));
        BuildRomeIndex(RomeIndex, RomeTable, 1), BuildRomeIndex(Rome2Index, Rome2Table, 2);
    }

    // Runs the whole game from start-up with the script, after Esc has
    // accepted the skin System.ini names in the chooser; answers the exit
    // status. The script (or onFrame) must end the game.
    int Run(std::vector<headless::ScriptedEvent> script = {}, uint32_t startTime = 0) {
        if (TempFolder::Read(system + "Rome.ini").empty()) Tables(false);
        if (TempFolder::Read(system + "System.ini").empty()) root.Write("system/System.ini", SystemIni(skin));
        StartSession(), frames.clear(), headless::SetClock(startTime);
        script.insert(script.begin(), {startTime, Kind::Key, 27});
        headless::Script(std::move(script));
        headless::OnFlip([this](const DirectDrawSurface7& frame, uint64_t number) {
            const GameFields& f = Fields;
            frames.push_back({number, GetTickCount(), GameState, f.TimeLeft, f.TypedLength, f.Combo, f.MaxCombo,
                              f.MissCount, f.ClearCount, f.QuestionIndex});
            if (onFrame) onFrame(frame, frames.back());
            if (number == frameLimit) ADD_FAILURE() << "still running after " << frameLimit << " frames", Key(27);
        });
        return RunDexlora(root.Path());
    }
    static std::string SystemIni(const std::string& skinPath) { return "[System]\r\nSkinPath=" + skinPath + "\r\n"; }

    // Input from now on, delay milliseconds later.
    static void Key(char32_t key, uint32_t delay = 0) { headless::Script({{GetTickCount() + delay, Kind::Key, key}}); }
    // The headless screen taken as start-up takes it, with the snapshot
    // surface and the game's own window event handlers, for a scene run alone.
    static void Screen() {
        ASSERT_TRUE(InitDisplay(MainWindowHandle(), DDraw, DDSurfPrimary, DDSurfBack, PrimaryDesc, BackBufferDesc));
        CreateWorkSurface(ScreenWidth, ScreenHeight, DDraw, SnapshotDesc, DDSurfSnapshot);
        InstallMainWindowEvents();
    }

private:
    std::unique_ptr<PlatformSession> session_;
};

// The pixels of a rectangle, row by row, for comparing two pictures.
inline std::vector<int32_t> Pixels(const DirectDrawSurface7& surf, const RECT& r) {
    std::vector<int32_t> out;
    for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x) out.push_back(surf.GetPixel(x, y));
    return out;
}

// How many pixels of the rectangle (right and bottom outside) are near the
// colour, each channel within tolerance: text drawn in it has thin strokes
// blended with what lies below.
inline int CountColour(const DirectDrawSurface7& surf, const RECT& r, int32_t colour, int tolerance = 0) {
    int n = 0;
    for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x) {
            bool near = true;
            for (int shift : {0, 8, 16})
                near = near && std::abs((surf.GetPixel(x, y) >> shift & 0xFF) - (colour >> shift & 0xFF)) <= tolerance;
            n += near;
        }
    return n;
}

// The error number an operation raises, 0 when it raises none.
inline int32_t ErrorOf(const std::function<void()>& operation) {
    try { operation(); } catch (const RuntimeError& e) { return e.Number; }
    return 0;
}

// The parts written with a space between them, as a table row expects them.
template <typename... Parts>
std::string Words(const Parts&... parts) {
    std::ostringstream s;
    ((s << parts << ' '), ...);
    return s.str().substr(0, s.str().size() - 1);
}

// A shell command's standard output and exit status (-1 when it did not exit).
inline std::pair<std::string, int> RunCommand(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {out, -1};
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
    const int status = pclose(pipe);
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

}  // namespace dexlora::test
