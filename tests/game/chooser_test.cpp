// The skin folder chooser: where it opens, keys and clicks that move it, names
// that are Japanese or not UTF-8 and long ones cut to fit, folders and drives
// that cannot be read, scrolling, what it leaves in the script, and the folder
// listings and mount points it shows.
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/files.h"
#include "skin/chooser/frm_skin_dir.h"
#include "skin/chooser/skin_dir_layout.h"
#include "skin/chooser/skin_dir_view.h"
#include "settings/user_settings.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

namespace layout = skin_dir_layout;
using Event = headless::ScriptedEvent;
namespace fs = std::filesystem;

Event Press(KeyCode code, int16_t shift = 0, uint32_t at = 0) {
    return {.At = at, .Type = Kind::KeyDown, .Shift = shift, .Code = code};
}
Event Type(char32_t c, uint32_t at = 0) { return {.At = at, .Type = Kind::Key, .Key = c}; }
const Event Close{.Type = Kind::Close};
Event Click(int x, int y, bool twice = false) {
    return {.Type = twice ? Kind::DblClick : Kind::MouseDown, .X = float(x), .Y = float(y)};
}
// A click (or the second press of a double click) on a row of a list, as shown.
Event OnRow(const RECT& list, int row, bool twice = false) {
    return Click(list.Left + 40, list.Top + layout::Inset + row * layout::RowHeight + layout::RowHeight / 2, twice);
}

class ChooserTest : public DexloraTest {
protected:
    std::string before = CurrentFolder();
    // The scratch folder as the chooser writes it (no trailing '/').
    std::string top = NormalizeFolderPath(fs::canonical(root.Path()).string(), "/");

    void SetUp() override {
        for (const char* folder : {"system", "work/skins/Standard/sub", "work/skins/Other", "cwd"})
            fs::create_directories(top + "/" + folder);
        root.Write("work/skins/Standard/type.txt", "q");
        for (int i = 100; i < 140; ++i) fs::create_directories(top + "/work/skins/Standard/z" + std::to_string(i));
        ASSERT_EQ(chdir((top + "/cwd").c_str()), 0);
    }
    void TearDown() override { EXPECT_EQ(chdir(before.c_str()), 0); }
    // The folder the chooser answers, opened on stored with the events scripted.
    std::string Choose(const std::string& stored, std::vector<Event> events) {
        root.Write("system/System.ini", SystemIni(stored));
        headless::Script(std::move(events));
        return ShowSkinDirDialog();
    }
};

TEST_F(ChooserTest, OpensWhereSystemIniSays) {
    const std::pair<std::string, std::string> cases[] = {  // System.ini ("-" for none), the folder
        {"-", NormalizeFolderPath(ProgramFolder(), "/")},
        {SystemIni(top + "/work/skins/Standard"), top + "/work/skins/Standard"},
        {SystemIni(top + "/gone"), top + "/cwd"}, {SystemIni(top + "/work/skins/Standard/type.txt"), top + "/cwd"},
        {SystemIni(top + "\\WORK\\skins\\standard"), top + "/work/skins/Standard"},
        {SystemIni("../work/skins"), top + "/work/skins"}, {"user", top + "/work/skins/Other"},
    };
    UserSettingsPath = top + "/user/";  // the player's own copy, once there is one, comes first
    for (const auto& [ini, expected] : cases) {
        fs::remove(system + "System.ini");
        if (ini == "user") root.Write("user/System.ini", SystemIni(top + "/work/skins/Other"));
        else if (ini != "-") root.Write("system/System.ini", ini);
        headless::Script({Close});
        EXPECT_EQ(ShowSkinDirDialog(), expected) << ini;
    }
    UserSettingsPath.clear();
}

TEST_F(ChooserTest, KeysAndClicksMoveThroughFolders) {
    const RECT& folders = layout::FolderList;
    const Event down = Press(KeyCode::Down), enter = Press(KeyCode::Enter), tab = Press(KeyCode::Tab),
                home = Press(KeyCode::Home), back = Press(KeyCode::Backspace), shiftTab = Press(KeyCode::Tab, 1);
    const Event end = Press(KeyCode::End), pageDown = Press(KeyCode::PageDown), pageUp = Press(KeyCode::PageUp);
    // It opens on Standard (S), on row 0 "..", then "sub" and z100 to z139, of which the list shows `shown`.
    // Focus starts on "OK". The folder it answers, below the scratch folder unless it is "/".
    const std::string S = "/work/skins/Standard", skins = "/work/skins";
    const int shown = layout::VisibleRows(folders);
    const Event okClick = Click(layout::OkButton.Left + 5, layout::OkButton.Top + 5);
    const auto row = [&](int r) { return S + "/z" + std::to_string(98 + r); };
    const std::tuple<const char*, std::vector<Event>, std::string> cases[] = {
        {"no events at all close it as it opened", {}, S},
        {"down and Enter open a sub-folder", {down, enter, Close}, S + "/sub"},
        {"Backspace goes up twice, O accepts", {back, back, Type(U'o')}, "/work"},
        {"Tab to the drives, the root drive", {tab, home, enter, Close}, "/"},
        {"Shift+Tab round to OK, Enter on OK accepts", {shiftTab, shiftTab, down, tab, tab, enter}, S},
        {"F10 accepts", {down, end, Press(KeyCode::F10)}, S},
        {"End goes to the last row", {down, end, enter, Close}, S + "/z139"},
        {"down a row and two pages", {down, pageDown, pageDown, enter, Close}, row(2 * shown - 1)},
        {"pages down and up to the parent row", {down, pageDown, pageUp, pageUp, enter, Close}, skins},
        {"a click on the scroll bar pages", {Click(folders.Right - 4, folders.Bottom - 5), OnRow(folders, 0, true), Close},
         row(shown - 1)},
        {"a single click only selects", {OnRow(folders, 0), Close}, S},
        {"double clicks up and into a sibling, OK clicked", {OnRow(folders, 0, true), OnRow(folders, 1, true), okClick},
         skins + "/Other"},
        {"a double click on a file does nothing", {OnRow(layout::FileList, 0, true), Close}, S},
        {"Esc closes as OK", {back, Type(27)}, skins},
    };
    for (const auto& [name, events, expected] : cases) {
        EXPECT_EQ(Choose(top + S, events), expected == "/" ? "/" : top + expected) << name;
        EXPECT_EQ(headless::PendingEvents(), 0u) << name;
    }
}

TEST_F(ChooserTest, LaterEventsStayForTheMainWindow) {
    const uint32_t now = GetTickCount();
    EXPECT_EQ(Choose(top + "/work", {Press(KeyCode::Enter, 0, now), Type(U'S', now), Press(KeyCode::Up, 0, now + 5000),
                                  Press(KeyCode::Escape, 0, now + 5000)}), top + "/work");
    EXPECT_EQ(headless::PendingEvents(), 3u);
}

TEST_F(ChooserTest, NamesAreShownReadablyAndOpenedByTheirBytes) {
    const std::pair<std::string, std::string> cases[] = {  // raw name, shown
        {"スキン 桜", "スキン 桜"}, {"é𠮷", "é𠮷"}, {"bad\xFF\xFE", "bad\uFFFD\uFFFD"},
        {"\x83\x58\x83\x4C", "\uFFFDX\uFFFDL"}, {"tab\there", "tab\uFFFDhere"}, {"c1\xC2\x85", "c1\uFFFD"},
    };
    for (const auto& [raw, shown] : cases) {
        EXPECT_EQ(ShownName(raw), shown) << raw;
        fs::remove_all(top + "/names"), fs::create_directories(top + "/names/" + raw);
        EXPECT_EQ(Choose(top + "/names", {Press(KeyCode::Down), Press(KeyCode::Enter), Close}), top + "/names/" + raw);
    }
}

TEST_F(ChooserTest, FoldersAndDrivesThatCannotBeReadLeaveTheLists) {
    SkinDirState state({{"/", "/"}, {"gone", top + "/gone-drive"}, {"work", top + "/work"}});
    state.Start(top + "/work/skins", top + "/cwd");
    ASSERT_EQ(state.FolderRowCount(), 3u);  // .., Other, Standard
    fs::remove_all(top + "/work/skins/Other");
    EXPECT_FALSE(state.OpenFolderRow(1)) << "a folder removed since it was listed";
    EXPECT_TRUE(state.Folder() == top + "/work/skins" && state.FolderRowCount() == 3u && !state.Message().empty());
    EXPECT_FALSE(state.ChooseDrive(1));
    EXPECT_TRUE(state.OpenFolderRow(2) && state.Message().empty());
    EXPECT_TRUE(state.ChooseDrive(0) && state.Folder() == "/" && !state.HasParentRow());
    SkinDirState stuck(std::vector<SkinDrive>{{"/", "/"}});  // a folder that never could be read is still where the lists stay
    stuck.Start("", top + "/not-there");
    EXPECT_TRUE(stuck.Folder() == top + "/not-there" && stuck.FolderRowCount() == 1u && stuck.Files().empty());
}

TEST_F(ChooserTest, LongNamesAreCutToFitAtAWholeCharacter) {
    SurfacePtr s = Surface(20, 20);
    s->SetFont({"MS UI Gothic", 9.0f, false});
    int32_t w = 0, h = 0;
    for (const auto& [text, limit] : {std::pair<std::string, int32_t>{"Standard", 200}, {"とても長いスキンのフォルダの名前です", 120},
                                      {ShownName("a\xFF" + std::string(100, 'x') + "桜"), 80}, {"abcdef", 1}})
        for (const std::string& cut : {FitText(*s, text, limit), FitTextFromEnd(*s, text, limit)}) {
            s->MeasureText(cut, w, h);
            EXPECT_TRUE((w <= limit || cut == "…") && (cut == text) == (limit == 200)) << cut;
            EXPECT_EQ(U32ToUtf8(Utf8ToU32(cut)), cut) << "a split character in " << cut;
        }
}

TEST(FoldersTest, PathsMountPointsAndListings) {
    for (auto [path, base, expected] : {std::tuple{"//a//b/", "/x", "/a/b"}, {"/a/./b/../c", "/", "/a/c"},
                                        {"/../..", "/", "/"}, {"../up", "/b/dir", "/b/up"}, {"", "/b/", "/b"}})
        EXPECT_EQ(NormalizeFolderPath(path, base), expected) << "'" << path << "' on '" << base << "'";
    EXPECT_EQ(ParentFolder("/a") + "|" + ParentFolder("/") + "|" + ChildFolder("/", "a"), "/|/|/a");
    for (auto [folder, within] : {std::pair{"/h/u/x", true}, {"/h/u", true}, {"/h/user", false}, {"/h", false}})
        EXPECT_EQ(IsWithinFolder(folder, "/h/u"), within) << folder;
    // Real file systems only, once each, with escaped names; the last line has no end.
    EXPECT_EQ(ParseMountPoints("proc /proc proc rw 0 0\n/dev/vda / ext4 rw 0 0\ntmpfs /dev/shm tmpfs rw 0 0\nbroken-line\n\n"
                               "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\nserver:/export /mnt/nfs nfs4 rw 0 0\n"
                               "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\nfuse /dev/odd fuseblk rw 0 0\n"
                               "/dev/sdd1 relative ext4 rw 0 0\n/dev/sde1 /mnt/back\\134slash ext4 rw 0 0"),
              (std::vector<std::string>{"/media/usb stick", "/mnt/nfs", "/mnt/back\\slash"}));
    TempFolder temp;
    const std::string root = temp.Path();
    for (const char* name : {"beta", "Alpha", ".hidden", "スキン", "bad\xFFname", "gamma"}) fs::create_directories(root + name);
    for (const char* name : {"b.txt", "A.ini", ".dot"}) temp.Write(name, "x");
    fs::create_directory_symlink(root + "gamma", root + "link-to-gamma");
    fs::create_symlink(root + "nowhere", root + "dangling");
    ASSERT_EQ(mkfifo((root + "pipe").c_str(), 0600), 0);
    FolderListing listing;
    ASSERT_TRUE(ListFolder(root, listing));
    EXPECT_EQ(listing.Folders,
              (std::vector<std::string>{"Alpha", "bad\xFFname", "beta", "gamma", "link-to-gamma", "スキン", ".hidden"}));
    EXPECT_EQ(listing.Files, (std::vector<std::string>{"A.ini", "b.txt", "dangling", "pipe", ".dot"}));
    ASSERT_TRUE(ListFolder(root, listing, 3));
    EXPECT_TRUE(listing.Folders.size() + listing.Files.size() == 3u && listing.Truncated);
    for (const char* unreadable : {"missing", "b.txt", "pipe", "dangling"})
        EXPECT_FALSE(ListFolder(root + unreadable, listing)) << unreadable;
}

}  // namespace
}  // namespace dexlora::test
