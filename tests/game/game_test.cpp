// Whole runs from start-up: every way a start or a scene fails, Esc from every
// scene, a one-second game with right, wrong and finishing keys, a wrong key
// shown only as the skin asks, slow frames, and scene changes that never nest.
#include <malloc.h>

#include <algorithm>

#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

// A small skin: black pictures; a game that wipes in and slides a white text
// window in (from y 300, 10 moves down); the romaji at (20, 100) in green,
// its typed part in red; the time in blue at (500, 20).
class GameTest : public DexloraTest {
protected:
    GameTest() { Skin(); }
    void Skin() {
        Tables(false);
        for (const char* name : {"Title", "Game", "Result", "KeyConf"}) Bmp("skin/" + std::string(name) + ".bmp", 640, 480, Black);
        Questions({{"あいう", "あいう"}});
        Bmp("skin/w.bmp", 16, 16, White, Black);
        Ini("Game.ini", "[QuestionText]\nRomeX=20\nRomeY=100\nQuestionFontColor2=0,255,0\nQuestionFontColor3=255,0,0\n"
                        "[Time]\nTimeFontSize=40\nTimeFontColor=0,0,255\nTimeX=500\nTimeY=20\n[Wipe]\nIn=BoxIn\n"
                        "[TextWindow]\nFileName=w.bmp\nStartY=300\nDY=1\nMoveCount=10\n");
        root.Write("system/System.ini", SystemIni(skin));
    }
    bool Shown(Scene state) const { return std::ranges::any_of(frames, [&](auto& r) { return r.State == state; }); }
    // Whether System.ini is as the shutdown writes it.
    bool Written() const { return TempFolder::Read(system + "System.ini") == SystemIni(skin.substr(0, skin.size() - 1)); }
};

TEST_F(GameTest, FailuresEndAtOnceOrThroughTheShutdownOrLeaveTheSceneWaiting) {
    // A picture larger than the screen fails its scene's whole copy. Exit
    // status, System.ini written, title and game shown, a part of ErrLog.
    const std::vector<std::tuple<const char*, std::function<void()>, int, bool, bool, bool, const char*>> rows = {
        {"type.txt missing", [&] { std::remove((skin + "type.txt").c_str()); }, 1, false, false, false, "type.txt"},
        {"no question can be spelled", [&] { Questions({{"漢字", "漢字"}}); }, 1, true, false, false, "type.txt"},
        {"title picture missing", [&] { std::remove((skin + "Title.bmp").c_str()); }, 1, true, false, false, "Title.bmp"},
        {"title picture too small", [&] { Bmp("skin/Title.bmp", 320, 240); }, 1, true, false, false, "title picture"},
        {"a failing game ends at once", [&] { Bmp("skin/Game.bmp", 800, 600); }, 1, false, true, false, ""},
        {"a failing title waits for a key", [&] { Bmp("skin/Title.bmp", 800, 600); }, 0, true, false, true, ""},
    };
    for (const auto& [name, spoil, status, written, title, game, logged] : rows) {
        StartSession();
        Skin();
        spoil();
        EXPECT_EQ(Run({{1000, Kind::Key, U's'}, {10000, Kind::Key, 27}}), status) << name;
        EXPECT_EQ(std::tuple(Written(), Shown(Scene::Title), Shown(Scene::Game)), std::tuple(written, title, game)) << name;
        EXPECT_NE(ErrLog.find(logged), std::string::npos) << name << ": " << ErrLog;
    }
}

TEST_F(GameTest, EscEndsTheProgramFromEveryScene) {
    // The key on the title (0: none), the frame after which Esc comes, and its delay.
    const std::vector<std::tuple<const char*, char32_t, std::function<bool(const FrameRecord&)>, uint32_t>> rows = {
        {"title", 0, [](const FrameRecord& r) { return r.State == Scene::Title; }, 0},
        {"game wiping in", U's', [](const FrameRecord& r) { return r.State == Scene::Game; }, 0},
        {"text window sliding in", U's', [n = 0](const FrameRecord& r) mutable { return r.State == Scene::Game && ++n == 35; }, 0},  // after the wipe's 31 flips
        {"game running", U'd', [](const FrameRecord& r) { return r.State == Scene::Game && r.TimeLeft == 29; }, 0},
        {"result", U's', [](const FrameRecord& r) { return r.State == Scene::Game && r.TimeLeft == 0; }, 700},
        {"key configuration", U'k', [](const FrameRecord& r) { return r.State == Scene::KeyConf; }, 100},
    };
    for (const auto& [name, titleKey, when, delay] : rows) {
        Skin();
        bool keyed = !titleKey, sent = false;
        uint32_t escAt = 0;
        onFrame = [&](const DirectDrawSurface7&, const FrameRecord& r) {
            if (!keyed) keyed = true, Key(titleKey);
            else if (!sent && when(r)) sent = true, escAt = GetTickCount() + delay, Key(27, delay);
        };
        EXPECT_EQ(Run(), 0) << name;
        EXPECT_TRUE(sent && Written() && MousePointerShown()) << name;
        ASSERT_FALSE(frames.empty());
        EXPECT_LE(frames.back().Time, escAt + 17) << name << ": nothing drawn once Esc is handled";
    }
}

TEST_F(GameTest, AOneSecondGameCountsKeysShowsThemAndEndsOnTime) {
    bool started = false, ended = false;
    std::vector<bool> redShown;  // per frame of the question
    std::vector<int> timeInk;    // per frame of the question: the time's blue pixels
    std::pair<int32_t, int32_t> windowEdge;  // above and at the text window's top, on the last frame
    onFrame = [&](const DirectDrawSurface7& frame, const FrameRecord& r) {
        if (!started) started = true, Key(U's');
        if (r.State == Scene::Game && r.Question == 1) {
            // Romaji "AIU": right, wrong, right, right (finished), right, right.
            if (redShown.empty())
                for (uint32_t i = 0; i < 6; ++i) Key(U"axiuai"[i], 100 + 100 * i);
            redShown.push_back(CountColour(frame, RECT{20, 100, 200, 130}, Red, 64) > 0);
            timeInk.push_back(CountColour(frame, RECT{500, 20, 560, 70}, Blue, 64));
            windowEdge = {frame.GetPixel(5, 309), frame.GetPixel(5, 310)};
        }
        // A key during the closing wait, ignored; one on the result, back to the title.
        if (r.State == Scene::Game && r.TimeLeft == 0 && !ended) ended = true, Key(U'z', 300), Key(U'q', 4000);
        if (r.State == Scene::Title && ended) Key(27);
    };
    EXPECT_EQ(Run(), 0);
    ASSERT_TRUE(ended);
    std::vector<FrameRecord> game = frames;
    std::erase_if(game, [](const FrameRecord& r) { return r.State != Scene::Game || r.Question == 0; });
    ASSERT_GT(game.size(), 2u);
    EXPECT_EQ(std::pair(game[game.size() - 2].TimeLeft, game.back().TimeLeft), std::pair(1, 0))
        << "the loop ends on the frame showing 0";
    EXPECT_EQ(game.back().Time - game.front().Time, 1000u) << "one second after the first frame, not a frame later";
    for (size_t i = 0; i < game.size(); ++i) EXPECT_EQ(redShown[i], game[i].Typed > 0) << "frame " << i << " shows its keys";
    EXPECT_GT(timeInk.back(), 0);
    EXPECT_NE(timeInk.back(), timeInk[timeInk.size() - 2]) << "the last frame shows 0, not 1";
    EXPECT_EQ(windowEdge, std::pair(Black, White)) << "the text window where its slide ended";
    EXPECT_EQ(std::tuple(Fields.ClearCount, Fields.MissCount, Fields.MaxCombo), std::tuple(1, 1, 4))
        << "a run still going counts";
    EXPECT_EQ(frames.back().State, Scene::Title) << "back on the title after the result";
}

TEST_F(GameTest, AWrongKeyShowsOnlyAsTheSkinAsks) {
    // Per frame of a one-second game's question, typed "A" and maybe a wrong "X" 200 ms later:
    // a hash of the frame, and whether the romaji shows magenta (no other colour there has blue).
    auto play = [&](bool wrong) {
        std::vector<std::pair<size_t, bool>> out;
        onFrame = [&, started = false](const DirectDrawSurface7& f, const FrameRecord& r) mutable {
            if (!started) started = true, Key(U's');
            if (r.State != Scene::Game || r.Question == 0) return;
            if (out.empty()) Key(U'A', 100), wrong ? Key(U'X', 300) : void();
            const std::vector<int32_t> px = Pixels(f, ScreenRect);
            out.emplace_back(std::hash<std::string_view>{}({reinterpret_cast<const char*>(px.data()), px.size() * 4}),
                             CountColour(f, RECT{20, 100, 200, 130}, 0xFF00FF, 160) > 0);
            if (r.TimeLeft == 0) Key(27);
        };
        return Run(), out;
    };
    const auto right = play(false);
    // [Miss] of Game.ini; frames unlike those of the game without the wrong key, and frames with magenta.
    for (const auto& [keys, unlike, magenta] : std::vector<std::tuple<std::string, int, int>>{
             {"", 0, 0}, {"MissFlash=0\nMissTime=500\n", 0, 0}, {"MissFlash=1\nMissColor=255,0,255\nMissTime=100\n", 6, 6},
             {"MissShake=3\nMissTime=100\n", 6, 0}}) {
        Skin(), Ini("Game.ini", TempFolder::Read(skin + "Game.ini") + "[Miss]\r\n" + keys);
        std::pair<int, int> seen;
        for (size_t i = 0; const auto& [hash, shown] : play(true)) seen.first += hash != right.at(i++).first, seen.second += shown;
        EXPECT_EQ(seen, std::pair(unlike, magenta)) << keys;
    }
}

TEST_F(GameTest, SlowFramesCountAtMostOneSecondEach) {
    // A frame stalled by 5 s lowers the time by one second; the rest carries,
    // so the next short frames lower it again, one second each.
    const std::vector<int32_t> expected{28, 27, 26, 25, 24, 24};
    std::vector<int32_t> next;
    bool started = false, stalled = false;
    onFrame = [&](const DirectDrawSurface7&, const FrameRecord& r) {
        if (!started) started = true, Key(U'd');
        if (r.State != Scene::Game || r.Question == 0) return;
        if (!stalled && r.TimeLeft == 29) stalled = true, headless::AdvanceClock(5000);
        else if (stalled && next.size() < expected.size() && (next.push_back(r.TimeLeft), next.size() == expected.size()))
            Key(27);
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(next, expected);
}

TEST_F(GameTest, ScenesFollowEachOtherWithoutNesting) {
    // Title -> key configuration -> title, with a whole game among them: each
    // title runs at the same stack depth, and the heap does not grow.
    constexpr int Cycles = 60;
    int titles = 0;
    FrameRecord last{.State = Scene::Game};  // no frame yet: not a title
    std::vector<uintptr_t> depths;
    size_t heapStart = 0, heapMax = 0;
    onFrame = [&](const DirectDrawSurface7&, const FrameRecord& r) {
        if (r.State == Scene::Title && (last.State != Scene::Title || r.Time - last.Time > 150)) {  // a title's first frame
            ++titles;
            // The frame's own address: AddressSanitizer may keep locals elsewhere.
            depths.push_back(reinterpret_cast<uintptr_t>(__builtin_frame_address(0)));
            const size_t heap = mallinfo2().uordblks;
            if (titles == 12) heapStart = heap;  // after the game has filled the font caches
            if (titles > 12) heapMax = std::max(heapMax, heap);
            if (titles == 10) Key(U's');
            else if (titles > Cycles) Key(27);
            else Key(U'k'), headless::Script({{GetTickCount() + 1, Kind::DblClick, 0, 570, 445}});  // "Exit Configure"
        }
        if (r.State == Scene::Game && r.TimeLeft == 0) Key(U'q', 4000);
        last = r;
    };
    frames.reserve(frameLimit);  // the record itself must not count as growth
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(titles, Cycles + 1);
    EXPECT_EQ(*std::max_element(depths.begin(), depths.end()) - *std::min_element(depths.begin(), depths.end()), 0u);
    EXPECT_LT(heapMax - std::min(heapMax, heapStart), size_t{16 * 1024}) << "the heap grows with the run";
}

}  // namespace
}  // namespace dexlora::test
