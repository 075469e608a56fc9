// Start-up and shutdown: every way a start can fail, which of them run the
// shutdown (System.ini written) and which end at once, and Esc from every
// scene ending the program with the display given back.
#include <gtest/gtest.h>

#include "game_fixture.h"

namespace dexlora::test {
namespace {

TEST_F(GameTest, StartUpFailuresEndAtOnceOrThroughTheShutdown) {
    struct Case {
        const char* name;
        std::function<void(GameTest&)> spoil;
        bool systemIniWritten;
        const char* errLogHas;  // a part of ErrLog, "" for none
    };
    const std::vector<Case> cases = {
        {"type.txt missing ends at once", [](GameTest& t) { std::remove((t.skin + "type.txt").c_str()); }, false,
         "type.txt"},
        {"type.txt ending inside a group ends at once",
         [](GameTest& t) { t.root.Write("skins/Test/type.txt", "abc\r\n"); }, false, "type.txt"},
        {"no question can be spelled: the shutdown runs",
         [](GameTest& t) { t.WriteQuestions({{"漢字", "漢字"}}); }, true, "type.txt"},
        {"no romaji tables: no question can be spelled",
         [](GameTest& t) { std::remove((t.root.Path() + "system/Rome.ini").c_str()); }, true, "type.txt"},
        {"title picture missing", [](GameTest& t) { std::remove((t.skin + "Title.bmp").c_str()); }, true,
         "Title.bmp"},
        {"title picture smaller than the screen",
         [](GameTest& t) { t.WritePicture("Title.bmp", 320, 240, TitleColour); }, true, "title picture"},
        {"game picture missing", [](GameTest& t) { std::remove((t.skin + "Game.bmp").c_str()); }, true,
         "Game.bmp"},
        {"result picture not a picture", [](GameTest& t) { t.root.Write("skins/Test/Result.bmp", "BM"); }, true,
         "Result.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.spoil(*this);
        const int status = Run({{60000, Kind::Key, 27}});
        EXPECT_EQ(status, 1) << "a failed start is not a success";
        EXPECT_TRUE(frames.empty()) << "no scene is shown";
        EXPECT_EQ(SystemIni(), c.systemIniWritten ? SystemIniWritten() : SystemIniBefore());
        EXPECT_NE(ErrLog.find(c.errLogHas), std::string::npos) << ErrLog;
        EndSession();
        WriteSkin();  // the next row starts from the whole skin again
    }
}

TEST_F(GameTest, EscEndsTheProgramFromEveryScene) {
    struct Case {
        const char* name;
        std::u32string keysOnTitle;
        std::function<bool(const FrameRecord&)> when;  // the frame after which Esc comes
        uint32_t escDelay;
    };
    const std::vector<Case> cases = {
        {"title", U"", [](const FrameRecord& r) { return r.State == 0; }, 0},
        {"game opening", U"S", [](const FrameRecord& r) { return r.State == 1; }, 0},
        {"game running", U"D", [](const FrameRecord& r) { return r.State == 1 && r.TimeLeft == 29; }, 0},
        {"result", U"S", [](const FrameRecord& r) { return r.State == 1 && r.TimeLeft == 0; }, 700},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        root.Write("system/System.ini", SystemIniBefore());
        bool titleSeen = false, escSent = false;
        uint32_t escAt = 0;
        onFrame = [&](const DirectDrawSurface7&, const FrameRecord& r) {
            if (r.State == 0 && !titleSeen) {
                titleSeen = true;
                Keys(c.keysOnTitle);
                if (!c.keysOnTitle.empty()) return;
            }
            if (titleSeen && !escSent && c.when(r)) {
                escSent = true;
                escAt = GetTickCount() + c.escDelay;
                Key(27, c.escDelay);
            }
        };
        EXPECT_EQ(Run(), 0);
        EXPECT_TRUE(escSent);
        EXPECT_EQ(SystemIni(), SystemIniWritten());
        EXPECT_TRUE(MousePointerShown());
        // Nothing is drawn once Esc has been handled (a frame may be on its
        // way when it arrives).
        ASSERT_FALSE(frames.empty());
        EXPECT_LE(frames.back().Time, escAt + 17);
        EndSession();
        onFrame = nullptr;
    }
}

TEST_F(GameTest, AFailingGameEndsAtOnceAndAFailingTitleWaitsForKeys) {
    struct Case {
        const char* name;
        const char* picture;
        int status;
        bool systemIniWritten;
        bool titleShown, gameShown;
    };
    // Pictures larger than the screen: copying them whole onto it fails.
    const std::vector<Case> cases = {
        {"a failing game ends the program without the shutdown", "Game.bmp", 1, false, true, false},
        {"a failing title leaves its last picture; keys still start a game", "Title.bmp", 0, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WritePicture(c.picture, 800, 600, 0x123456);
        const int status = Run({{1000, Kind::Key, U's'}, {10000, Kind::Key, 27}});
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(SystemIni(), c.systemIniWritten ? SystemIniWritten() : SystemIniBefore());
        EXPECT_EQ(FramesIn(0).empty(), !c.titleShown);
        EXPECT_EQ(FramesIn(1).empty(), !c.gameShown);
        EndSession();
        WriteSkin();
    }
}

}  // namespace
}  // namespace dexlora::test
