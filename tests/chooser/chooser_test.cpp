// The skin folder chooser on the headless display: where it opens, keys and
// clicks that move it, folders and drives that cannot be read, names that are
// Japanese or not UTF-8 at all, its frames, and what it leaves in the script.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/encoding.h"
#include "platform/core/files.h"
#include "platform/core/folders.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "settings/shared.h"
#include "skin/chooser/frm_skin_dir.h"
#include "skin/chooser/skin_dir_layout.h"
#include "skin/chooser/skin_dir_state.h"
#include "skin/chooser/skin_dir_view.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora {
namespace {

namespace layout = skin_dir_layout;
namespace colors = skin_dir_colors;
using testing_support::TempFolder;
using Event = headless::ScriptedEvent;
using Kind = Event::Kind;

Event Press(KeyCode code, int16_t shift = 0) { return {.Type = Kind::KeyDown, .Shift = shift, .Code = code}; }
Event Type(char32_t c) { return {.Type = Kind::Key, .Key = c}; }
Event Close() { return {.Type = Kind::Close}; }
// A click (or the second press of a double click) on a row of a list, as shown.
Event OnRow(const RECT& list, int row, bool twice = false) {
    return {.Type = twice ? Kind::DblClick : Kind::MouseDown,
            .X = float(list.Left + 40),
            .Y = float(list.Top + layout::Inset + row * layout::RowHeight + layout::RowHeight / 2)};
}
Event Click(int x, int y) { return {.Type = Kind::MouseDown, .X = float(x), .Y = float(y)}; }

class ChooserTest : public ::testing::Test {
protected:
    PlatformSession session{DisplayKind::Headless};
    TempFolder temp;
    std::string before = CurrentFolder();
    // The temporary folder as the chooser writes it (no trailing '/').
    std::string root = NormalizeFolderPath(std::filesystem::canonical(temp.Path()).string(), "/");

    void SetUp() override {
        SystemPath = root + "/system/";
        std::filesystem::create_directories(SystemPath);
        for (const char* folder : {"work/skins/Standard/sub", "work/skins/Other", "cwd"}) {
            std::filesystem::create_directories(root + "/" + folder);
        }
        temp.Write("work/skins/Standard/type.txt", "q");
        ASSERT_EQ(chdir((root + "/cwd").c_str()), 0);
    }
    void TearDown() override {
        headless::OnDialogFrame(nullptr);
        EXPECT_EQ(chdir(before.c_str()), 0);
    }

    void StoreSkinPath(const std::string& value) {
        temp.Write("system/System.ini", "[System]\r\nSkinPath=" + value + "\r\n");
    }

    std::string Run(std::vector<Event> events) {
        headless::Script(std::move(events));
        return ShowSkinDirDialog();
    }
};

TEST_F(ChooserTest, OpensWhereSystemIniSays) {
    struct Case {
        const char* name;
        std::string ini;  // content of System.ini; "-" for none
        std::string expected;
    };
    const std::string program = NormalizeFolderPath(ProgramFolder(), "/");
    const std::vector<Case> cases = {
        {"no System.ini: the program's folder", "-", program},
        {"no section", "[Other]\r\nSkinPath=" + root + "/work\r\n", program},
        {"the stored folder", "[System]\r\nSkinPath=" + root + "/work/skins/Standard\r\n",
         root + "/work/skins/Standard"},
        {"a missing folder: the current folder", "[System]\r\nSkinPath=" + root + "/gone\r\n", root + "/cwd"},
        {"a file: the current folder", "[System]\r\nSkinPath=" + root + "/work/skins/Standard/type.txt\r\n",
         root + "/cwd"},
        {"an empty value: the current folder", "[System]\r\nSkinPath=\r\n", root + "/cwd"},
        {"written on Windows in other case", "[System]\r\nSkinPath=" + root + "\\WORK\\skins\\standard\r\n",
         root + "/work/skins/Standard"},
        {"relative to the current folder", "[System]\r\nSkinPath=../work/skins\r\n", root + "/work/skins"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(SystemPath + "System.ini");
        if (c.ini != "-") temp.Write("system/System.ini", c.ini);
        EXPECT_EQ(Run({Close()}), c.expected) << c.name;
    }
}

TEST_F(ChooserTest, KeysAndClicksMoveThroughFolders) {
    const RECT& folders = layout::FolderList;
    const RECT& drives = layout::DriveList;
    struct Case {
        const char* name;
        std::vector<Event> events;
        std::string expected;  // below root unless it starts with '/'
    };
    // Standard holds one folder: row 0 is "..", row 1 "sub". Focus starts on "OK".
    const std::vector<Case> cases = {
        {"no events at all close it as it opened", {}, "/work/skins/Standard"},
        {"down and Enter open a sub-folder", {Press(KeyCode::Down), Press(KeyCode::Down), Press(KeyCode::Enter), Close()},
         "/work/skins/Standard/sub"},
        {"Enter on the parent row", {Press(KeyCode::Home), Press(KeyCode::Enter), Close()}, "/work/skins"},
        {"Backspace goes up twice", {Press(KeyCode::Backspace), Press(KeyCode::Backspace), Type(U'o')}, "/work"},
        {"up lands on the folder we came from",
         {Press(KeyCode::Backspace), Press(KeyCode::Down), Press(KeyCode::Enter), Close()}, "/work/skins/Standard"},
        {"Tab to the drives, the root drive", {Press(KeyCode::Tab), Press(KeyCode::Home), Press(KeyCode::Enter), Close()},
         "/"},
        {"Shift+Tab from the files to OK, Enter on OK accepts",
         {Press(KeyCode::Tab, 1), Press(KeyCode::Tab, 1), Press(KeyCode::Down), Press(KeyCode::Tab), Press(KeyCode::Tab),
          Press(KeyCode::Enter)},
         "/work/skins/Standard"},
        {"Enter on the file list does nothing", {Press(KeyCode::Tab, 1), Press(KeyCode::Enter), Press(KeyCode::Escape)},
         "/work/skins/Standard"},
        {"F10 accepts", {Press(KeyCode::Down), Press(KeyCode::End), Press(KeyCode::F10)}, "/work/skins/Standard"},
        {"a double click opens a folder", {OnRow(folders, 1), OnRow(folders, 1, true), Close()},
         "/work/skins/Standard/sub"},
        {"a single click only selects", {OnRow(folders, 0), Close()}, "/work/skins/Standard"},
        {"double clicks up and into a sibling",
         {OnRow(folders, 0, true), OnRow(folders, 1, true), Click(layout::OkButton.Left + 5, layout::OkButton.Top + 5)},
         "/work/skins/Other"},
        {"a double click on the root drive", {OnRow(drives, 0, true), Close()}, "/"},
        {"a double click on a file does nothing", {OnRow(layout::FileList, 0, true), Close()}, "/work/skins/Standard"},
        {"a click beside everything does nothing", {Click(1, 350), Click(240, 200), Close()}, "/work/skins/Standard"},
        {"a right click does nothing",
         {{.Type = Kind::DblClick, .X = 40, .Y = float(folders.Top + 12), .Button = 2}, Close()},
         "/work/skins/Standard"},
        {"Esc closes as OK", {Press(KeyCode::Backspace), Type(27)}, "/work/skins"},
    };
    StoreSkinPath(root + "/work/skins/Standard");
    for (const Case& c : cases) {
        const std::string expected = c.expected.starts_with("/work") ? root + c.expected : c.expected;
        EXPECT_EQ(Run(c.events), expected) << c.name;
        EXPECT_EQ(headless::PendingEvents(), 0u) << c.name;
    }
}

TEST_F(ChooserTest, LaterEventsStayForTheMainWindow) {
    std::vector<char32_t> keys;
    SetMainWindowEvents({.KeyPress = [&](char32_t& key) { keys.push_back(key); }, .MouseDown = nullptr,
                         .DblClick = nullptr});
    const uint32_t start = GetTickCount();
    Event enter = Press(KeyCode::Enter);
    Event title = Type(U'S');
    Event esc = Press(KeyCode::Escape);
    Event arrow = Press(KeyCode::Up);
    enter.At = start;
    title.At = start;
    arrow.At = start + 5000;
    esc.At = start + 5000;
    StoreSkinPath(root + "/work");
    EXPECT_EQ(Run({enter, title, arrow, esc}), root + "/work");
    EXPECT_EQ(headless::PendingEvents(), 3u);
    headless::AdvanceClock(6000);
    DoEvents();
    EXPECT_EQ(keys, (std::vector<char32_t>{U'S', 27})) << "an arrow reaches the main window as nothing";
}

TEST_F(ChooserTest, FoldersAndDrivesThatCannotBeReadLeaveTheLists) {
    SkinDirState state(std::vector<SkinDrive>{{"/", "/"}, {"gone", root + "/gone-drive"}, {"work", root + "/work"}});
    state.Start(root + "/work/skins", root + "/cwd");
    ASSERT_EQ(state.Folder(), root + "/work/skins");
    ASSERT_EQ(state.FolderRowCount(), 3u);  // .., Other, Standard
    EXPECT_EQ(state.CurrentDrive(), 2u);

    std::filesystem::remove_all(root + "/work/skins/Other");
    EXPECT_FALSE(state.OpenFolderRow(1)) << "a folder removed since it was listed";
    EXPECT_EQ(state.Folder(), root + "/work/skins");
    EXPECT_EQ(state.FolderRowCount(), 3u);
    EXPECT_NE(state.Message(), "");

    EXPECT_FALSE(state.ChooseDrive(1));
    EXPECT_EQ(state.Folder(), root + "/work/skins");
    EXPECT_EQ(state.List(ChooserFocus::Drives).Selected, 2u) << "the drive list follows the folder again";

    EXPECT_TRUE(state.OpenFolderRow(2));
    EXPECT_EQ(state.Folder(), root + "/work/skins/Standard");
    EXPECT_EQ(state.Message(), "");
    EXPECT_TRUE(state.ChooseDrive(0));
    EXPECT_EQ(state.Folder(), "/");
    EXPECT_FALSE(state.HasParentRow());

    // A folder that never could be read still is where the lists stay.
    SkinDirState stuck(std::vector<SkinDrive>{{"/", "/"}});
    stuck.Start("", root + "/not-there");
    EXPECT_EQ(stuck.Folder(), root + "/not-there");
    EXPECT_EQ(stuck.FolderRowCount(), 1u);
    EXPECT_TRUE(stuck.Files().empty());
}

TEST_F(ChooserTest, JapaneseAndMalformedNamesAreListedAndOpened) {
    struct Case {
        const char* name;
        std::string folder, shown;
    };
    const std::vector<Case> cases = {
        {"Japanese", "スキン 桜", "スキン 桜"},
        {"not UTF-8", "bad\xFF\xFE", "bad\uFFFD\uFFFD"},
        {"CP932 bytes", "\x83\x58\x83\x4C\x83\x93", "\uFFFDX\uFFFDL\uFFFD\uFFFD"},
        {"a control character", "tab\there", "tab\uFFFDhere"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(root + "/names");
        std::filesystem::create_directories(root + "/names/" + c.folder);
        StoreSkinPath(root + "/names");
        SkinDirState state(std::vector<SkinDrive>{{"/", "/"}});
        state.Start(root + "/names", root);
        ASSERT_EQ(state.FolderRowCount(), 2u) << c.name;
        EXPECT_EQ(ShownName(state.FolderRowName(1)), c.shown) << c.name;
        // Down to the folder, open it, accept: the raw bytes come back.
        EXPECT_EQ(Run({Press(KeyCode::Down), Press(KeyCode::Down), Press(KeyCode::Enter), Close()}),
                  root + "/names/" + c.folder)
            << c.name;
    }
}

TEST_F(ChooserTest, LongListsScroll) {
    for (int i = 0; i < 40; ++i) {
        std::filesystem::create_directories(root + "/many/f" + std::to_string(100 + i));
    }
    const size_t shown = size_t(layout::VisibleRows(layout::FolderList));
    const RECT& list = layout::FolderList;
    const int barX = list.Right - 4;
    struct Case {
        const char* name;
        std::vector<DialogEvent> events;
        size_t selected, top;
    };
    const auto key = [](KeyCode code) { return DialogEvent{.Type = DialogEvent::Kind::Key, .Code = code}; };
    const auto click = [](int x, int y) { return DialogEvent{.Type = DialogEvent::Kind::MouseDown, .X = x, .Y = y}; };
    const auto wheel = [](int lines) {
        return DialogEvent{.Type = DialogEvent::Kind::Wheel, .X = 50, .Y = 200, .WheelLines = lines};
    };
    const std::vector<Case> cases = {
        {"End shows the last row", {key(KeyCode::End)}, 40, 41 - shown},
        {"page down", {key(KeyCode::Down), key(KeyCode::PageDown)}, shown, 1},
        {"page down twice", {key(KeyCode::Down), key(KeyCode::PageDown), key(KeyCode::PageDown)}, 2 * shown - 1,
         shown},
        {"page up stops at the top", {key(KeyCode::Down), key(KeyCode::PageDown), key(KeyCode::PageUp),
                                      key(KeyCode::PageUp)}, 0, 0},
        {"the wheel scrolls without selecting", {wheel(-2)}, 0, 6},
        {"the wheel stops at the end", {wheel(-100)}, 0, 41 - shown},
        {"the wheel stops at the top", {wheel(-1), wheel(5)}, 0, 0},
        {"a click low on the bar pages down", {click(barX, list.Bottom - 5)}, 0, shown - 1},
        {"a click high on the bar after End pages up", {key(KeyCode::End), click(barX, list.Top + 5)}, 40,
         41 - shown - (shown - 1)},
        {"a click on a scrolled row", {wheel(-2), click(40, list.Top + layout::Inset + 1)}, 6, 6},
    };
    for (const Case& c : cases) {
        SkinDirState state(std::vector<SkinDrive>{{"/", "/"}});
        state.Start(root + "/many", root);
        for (const DialogEvent& e : c.events) EXPECT_FALSE(state.Handle(e)) << c.name;
        EXPECT_EQ(state.List(ChooserFocus::Folders).Selected, c.selected) << c.name;
        EXPECT_EQ(state.List(ChooserFocus::Folders).Top, c.top) << c.name;
    }
}

// A pixel the first or the last frame must show.
struct Px {
    int x, y;
    int32_t color;
    const char* what;
};

// Pixels of the rectangle that are not the background: drawn ink.
int Inked(const DirectDrawSurface7& s, const RECT& r, int32_t background) {
    int count = 0;
    for (int y = r.Top; y < r.Bottom; ++y) {
        for (int x = r.Left; x < r.Right; ++x) count += s.GetPixel(x, y) != background;
    }
    return count;
}

TEST_F(ChooserTest, FramesShowCaptionListsAndFocus) {
    const RECT& ok = layout::OkButton;
    const RECT& folders = layout::FolderList;
    const int rowY = folders.Top + layout::Inset + layout::RowHeight / 2;  // middle of row 0
    const std::vector<Px> firstFrame = {
        {ok.Left + 1, ok.Top + 1, colors::FocusBorder, "OK has the focus"},
        {folders.Right - 4, rowY, colors::SelectedIdle, "the parent row is selected without focus"},
        {folders.Left, folders.Top + 40, colors::Border, "the folder list's plain border"},
    };
    const std::vector<Px> lastFrame = {
        {folders.Right - 4, rowY + layout::RowHeight, colors::SelectedIdle, "Other stays selected"},
        {folders.Right - 4, rowY, colors::ListBack, "the parent row no longer"},
        {layout::FileList.Left, layout::FileList.Top + 40, colors::FocusBorder, "the file list has the focus"},
        {ok.Left + 1, ok.Top + 1, colors::ButtonFace, "OK lost it"},
    };
    // Each frame is checked as it is shown: the first against its own list,
    // every frame against the last list, of which only the final one counts.
    std::vector<std::string> captions, lastFailures;
    headless::OnDialogFrame([&](const DirectDrawSurface7& frame, std::string_view caption) {
        captions.emplace_back(caption);
        if (captions.size() == 1) {
            for (const Px& p : firstFrame) EXPECT_EQ(frame.GetPixel(p.x, p.y), p.color) << "first frame: " << p.what;
            EXPECT_GT(Inked(frame, {8, 4, 200, 24}, colors::HeaderBack), 100) << "the caption";
        }
        lastFailures.clear();
        for (const Px& p : lastFrame) {
            if (frame.GetPixel(p.x, p.y) != p.color) lastFailures.push_back(p.what);
        }
        const RECT other{folders.Left + 30, folders.Top + 22, folders.Left + 120, folders.Top + 36};
        if (Inked(frame, other, colors::SelectedIdle) <= 20) lastFailures.push_back("the name Other");
    });
    StoreSkinPath(root + "/work/skins");
    // Into the folder list and down to "Other", then Tab to the files.
    Run({Press(KeyCode::Down), Press(KeyCode::Tab), Close()});
    ASSERT_FALSE(captions.empty());
    EXPECT_EQ(captions.front(), "Skinディレクトリ選択");
    EXPECT_EQ(captions.size(), 3u) << "one frame to start and one per event that left it open";
    EXPECT_EQ(lastFailures, std::vector<std::string>{}) << "last frame";
}

TEST_F(ChooserTest, LongNamesAreCutToFit) {
    DirectDrawPtr ddraw = DirectDrawCreate("");
    DDSURFACEDESC2 desc{DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, 20, 20, 0, DDSCAPS_OFFSCREENPLAIN};
    SurfacePtr s = ddraw->CreateSurface(desc);
    s->SetFont({"MS UI Gothic", 9.0f, false});
    const auto width = [&](const std::string& text) {
        int32_t w = 0, h = 0;
        s->MeasureText(text, w, h);
        return w;
    };
    struct Case {
        const char* name;
        std::string text;
        int32_t limit;
    };
    const std::vector<Case> cases = {
        {"short enough", "Standard", 200},
        {"Japanese", "とても長いスキンのフォルダの名前がここにあります", 120},
        {"mixed and malformed", ShownName("a\xFF" + std::string(100, 'x') + "桜"), 80},
        {"nothing fits", "abcdef", 1},
    };
    for (const Case& c : cases) {
        for (bool fromEnd : {false, true}) {
            const std::string cut = fromEnd ? FitTextFromEnd(*s, c.text, c.limit) : FitText(*s, c.text, c.limit);
            if (width(c.text) <= c.limit) {
                EXPECT_EQ(cut, c.text) << c.name;
                continue;
            }
            const std::string_view dots = "…";
            ASSERT_TRUE(fromEnd ? cut.starts_with(dots) : cut.ends_with(dots)) << c.name;
            if (cut != dots) {
                EXPECT_LE(width(cut), c.limit) << c.name << (fromEnd ? " from the end" : "");
            }
            const std::string kept = fromEnd ? cut.substr(dots.size()) : cut.substr(0, cut.size() - dots.size());
            EXPECT_TRUE(fromEnd ? c.text.ends_with(kept) : c.text.starts_with(kept)) << c.name;
            EXPECT_EQ(U32ToUtf8(Utf8ToU32(kept)), kept) << c.name << ": a split character";
        }
    }
}

}  // namespace
}  // namespace dexlora
