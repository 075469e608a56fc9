// The skin folder chooser on a folder whose entries are named by the input:
// invalid UTF-8, names up to the longest a file system takes, control
// characters, dots and spaces. Every name is listed once, in its group,
// byte for byte; a folder opened from its row is the folder of that name and
// its parent row leads back to it; keys and clicks keep the chooser inside
// its lists; every label drawn fits its width.
//
// The input is pieces separated by '/': the first is a script of keys and
// clicks, each further piece an entry, a folder when it starts with a NUL.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/core/encoding.h"
#include "platform/core/error.h"
#include "platform/core/folders.h"
#include "platform/window.h"
#include "skin/chooser/skin_dir_layout.h"
#include "skin/chooser/skin_dir_state.h"
#include "skin/chooser/skin_dir_view.h"

using namespace dexlora;
namespace layout = skin_dir_layout;

namespace {

constexpr size_t MaxEntries = 48;
constexpr size_t MaxEvents = 48;
constexpr size_t MaxName = 255;
constexpr size_t LabelsChecked = 12;

struct Screen {
    PlatformSession session{DisplayKind::Headless};
    DirectDrawPtr ddraw = DirectDrawCreate("");
    SurfacePtr surface;
    Screen() {
        SurfaceDesc desc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, layout::Height, layout::Width, 0,
                         DDSCAPS_OFFSCREENPLAIN};
        surface = ddraw->CreateSurface(desc);
    }
};

int32_t WidthOf(const DirectDrawSurface7& s, std::string_view text) {
    int32_t w = 0, h = 0;
    s.MeasureText(text, w, h);
    return w;
}

bool ValidUtf8WithoutControls(std::string_view text) {
    const std::u32string points = Utf8ToU32(text);
    if (U32ToUtf8(points) != text) return false;
    return std::none_of(points.begin(), points.end(),
                        [](char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xFFFE; });
}

// A label cut to width is a start of the shown name (or all of it) and fits,
// as long as the ellipsis alone fits.
void CheckLabel(const DirectDrawSurface7& s, const std::string& raw, int32_t width) {
    const std::string shown = ShownName(raw);
    FUZZ_CHECK(ValidUtf8WithoutControls(shown), "shown name " + fuzz::Escaped(shown));
    const std::string label = FitText(s, shown, width);
    FUZZ_CHECK(WidthOf(s, label) <= std::max(width, WidthOf(s, "…")),
               "label " + fuzz::Escaped(label) + " wider than " + std::to_string(width));
    const bool cut = label != shown;
    if (cut) {
        const std::string kept = label.substr(0, label.size() - std::string_view("…").size());
        FUZZ_CHECK(label.size() >= 3 && label.compare(label.size() - 3, 3, "…") == 0 &&
                       shown.compare(0, kept.size(), kept) == 0,
                   "label " + fuzz::Escaped(label) + " of " + fuzz::Escaped(shown));
    }
    const std::string path = FitTextFromEnd(s, "/" + shown, width);
    FUZZ_CHECK(WidthOf(s, path) <= std::max(width, WidthOf(s, "…")),
               "path " + fuzz::Escaped(path) + " wider than " + std::to_string(width));
}

// What was drawn stays inside its box: the outlines of the lists and of the
// path box, drawn before their texts, are whole afterwards.
void CheckOutlines(const DirectDrawSurface7& s) {
    namespace colors = skin_dir_colors;
    for (const RECT& r : {layout::DriveList, layout::FolderList, layout::FileList, layout::PathBox}) {
        for (int32_t y = r.Top; y < r.Bottom; ++y) {
            for (int32_t x : {r.Left, r.Right - 1}) {
                const int32_t c = s.GetPixel(x, y);
                FUZZ_CHECK(c == colors::Border || c == colors::FocusBorder,
                           "outline pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " + std::to_string(c));
            }
        }
    }
}

DialogEvent EventOf(unsigned char b) {
    DialogEvent e;
    e.Type = DialogEvent::Kind::Key;
    const bool high = (b & 8) != 0;
    const int row = b >> 4;
    switch (b % 8) {
    case 0: e.Code = KeyCode::Down; break;
    case 1: e.Code = KeyCode::Up; break;
    case 2: e.Code = high ? KeyCode::PageDown : KeyCode::PageUp; break;
    case 3: e.Code = high ? KeyCode::End : KeyCode::Home; break;
    case 4: e.Code = KeyCode::Tab; e.Shift = high; break;
    case 5: e.Code = high ? KeyCode::Enter : KeyCode::Backspace; break;
    case 6: {
        const RECT& list = high ? layout::FileList : layout::FolderList;
        e.Type = DialogEvent::Kind::MouseDown;
        e.X = list.Left + 20 + (row % 2) * (list.Right - list.Left - 26);  // a row, or the scroll bar
        e.Y = list.Top + layout::Inset + (row % 8) * layout::RowHeight + 3;
        e.Clicks = 1 + row % 2;
        break;
    }
    default: {
        const RECT& list = high ? layout::FileList : layout::FolderList;
        e.Type = DialogEvent::Kind::Wheel;
        e.X = list.Left + 20;
        e.Y = list.Top + 20;
        e.WheelLines = row % 2 ? -1 : 1;
        break;
    }
    }
    return e;
}

void CheckListState(const SkinDirState& state) {
    for (ChooserFocus list : {ChooserFocus::Drives, ChooserFocus::Folders, ChooserFocus::Files}) {
        const size_t rows = list == ChooserFocus::Drives    ? state.Drives().size()
                            : list == ChooserFocus::Folders ? state.FolderRowCount()
                                                            : state.Files().size();
        const ChooserListState& s = state.List(list);
        FUZZ_CHECK(rows == 0 ? s.Selected == 0 && s.Top == 0 : s.Selected < rows && s.Top < rows,
                   "list " + std::to_string(int(list)) + " selects " + std::to_string(s.Selected) + " from " +
                       std::to_string(s.Top) + " of " + std::to_string(rows));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    static Screen screen;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string root = fuzz::ScratchFolder::Get().Path() + "chooser";
    std::error_code ignored;
    fs::remove_all(root, ignored);
    fs::create_directory(root);

    // The entries, made as named; names a folder cannot hold are left out.
    std::vector<std::string> pieces;
    for (size_t start = 0;;) {
        const size_t slash = input.find('/', start);
        pieces.emplace_back(input.substr(start, slash == std::string_view::npos ? slash : slash - start));
        if (slash == std::string_view::npos || pieces.size() > MaxEntries) break;
        start = slash + 1;
    }
    const std::string script = pieces.front();
    std::map<std::string, bool> made;  // name -> is a folder
    for (size_t i = 1; i < pieces.size(); ++i) {
        const bool folder = !pieces[i].empty() && pieces[i][0] == '\0';
        std::string name = pieces[i].substr(folder ? 1 : 0, MaxName);
        if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos) continue;
        if (made.count(name)) continue;
        const std::string path = root + "/" + name;
        if (folder) {
            if (!fs::create_directory(path, ignored)) continue;
        } else {
            std::FILE* out = std::fopen(path.c_str(), "wb");
            if (out == nullptr) continue;
            std::fclose(out);
        }
        made[name] = folder;
    }

    // Every name once, in its group, as it was made.
    FolderListing listing;
    FUZZ_CHECK(ListFolder(root, listing), "the folder could not be listed");
    FUZZ_CHECK(!listing.Truncated, "truncated");
    std::map<std::string, bool> listed;
    for (bool folder : {true, false}) {
        for (const std::string& name : folder ? listing.Folders : listing.Files) {
            FUZZ_CHECK(listed.emplace(name, folder).second, "listed twice: " + fuzz::Escaped(name));
        }
    }
    FUZZ_CHECK(listed == made, std::to_string(listed.size()) + " entries listed, " + std::to_string(made.size()) +
                                   " made; first listed " +
                                   fuzz::Escaped(listed.empty() ? "" : listed.begin()->first));

    SkinDirState state({{"scratch", root}});
    FUZZ_CHECK(state.OpenFolder(root), "the chooser could not open the folder");
    FUZZ_CHECK(state.Files() == listing.Files && state.FolderRowCount() == 1 + listing.Folders.size(),
               "the chooser's lists are not the listing");

    // A folder row opens the folder of that name; its parent row comes back
    // to the row it came from.
    for (size_t i = 0; i < listing.Folders.size() && i < 6; ++i) {
        const std::string& name = listing.Folders[i];
        FUZZ_CHECK(state.FolderRowName(i + 1) == name, "row " + std::to_string(i + 1));
        FUZZ_CHECK(state.OpenFolderRow(i + 1), "could not open " + fuzz::Escaped(name));
        FUZZ_CHECK(state.Folder() == root + "/" + name, "opened " + fuzz::Escaped(state.Folder()) + " for " +
                                                              fuzz::Escaped(name));
        FUZZ_CHECK(state.OpenFolderRow(0) && state.Folder() == root, "back from " + fuzz::Escaped(name));
        FUZZ_CHECK(state.List(ChooserFocus::Folders).Selected == i + 1,
                   "back from " + fuzz::Escaped(name) + " selects row " +
                       std::to_string(state.List(ChooserFocus::Folders).Selected));
    }

    DrawSkinDir(*screen.surface, state);
    CheckOutlines(*screen.surface);
    for (size_t i = 0; i < script.size() && i < MaxEvents; ++i) {
        state.Handle(EventOf(static_cast<unsigned char>(script[i])));
        // The parent row may lead above the scratch folder: come back.
        if (!IsWithinFolder(state.Folder(), root)) FUZZ_CHECK(state.OpenFolder(root), "reopening the folder");
        CheckListState(state);
    }
    DrawSkinDir(*screen.surface, state);
    CheckOutlines(*screen.surface);

    // The labels as the lists draw them (the narrowest: with a scroll bar and
    // after a folder icon), and the path box.
    const int32_t folderWidth = layout::FolderList.Right - layout::Inset - layout::ScrollBarWidth -
                                (layout::FolderList.Left + layout::Inset + 4 + 19) - 2;
    const int32_t fileWidth =
        layout::FileList.Right - layout::Inset - layout::ScrollBarWidth - (layout::FileList.Left + layout::Inset + 4) - 2;
    size_t checked = 0;
    for (const auto& [name, folder] : made) {
        if (checked++ == LabelsChecked) break;
        CheckLabel(*screen.surface, name, folder ? folderWidth : fileWidth);
    }
    CheckLabel(*screen.surface, root + "/" + (made.empty() ? std::string() : made.begin()->first),
               layout::PathBox.Right - layout::PathBox.Left - 12);
    return 0;
}
