// Drawing the skin folder chooser with the game's own surface operations.
#include "skin/chooser/skin_dir_view.h"

#include <functional>

#include "platform/core/encoding.h"
#include "skin/chooser/skin_dir_layout.h"

namespace dexlora {

namespace {

namespace layout = skin_dir_layout;
namespace colors = skin_dir_colors;

const StdFont TextFont{"MS UI Gothic", 9.0f, false};
const StdFont CaptionFont{"MS UI Gothic", 10.0f, true};
constexpr int32_t White = 0xFFFFFF;
constexpr int32_t FolderYellow = 0x50C8F0;  // (240, 200, 80)
constexpr int32_t FolderEdge = 0x2878B4;    // (180, 120, 40)
constexpr int32_t DriveGrey = 0xA0A0A0;
constexpr const char* Ellipsis = "…";

enum class Icon { None, Folder, Parent, Drive };

struct Row {
    std::string text;  // UTF-8, ready to draw
    Icon icon = Icon::None;
    bool dim = false;
};

void Text(DirectDrawSurface7& s, int32_t x, int32_t y, std::string_view text, int32_t color) {
    s.SetForeColor(color);
    s.DrawText(x, y, text, false);
}

void Box(DirectDrawSurface7& s, const RECT& r, int32_t color) {
    s.SetForeColor(color);
    s.DrawBox(r.Left, r.Top, r.Right, r.Bottom);
}

// Vertical offset that centres the font's text in a band of height h.
int32_t Centre(const DirectDrawSurface7& s, int32_t h) {
    int32_t w = 0, textHeight = 0;
    s.MeasureText("Ag", w, textHeight);
    return (h - textHeight) / 2;
}

void DrawIcon(DirectDrawSurface7& s, Icon icon, int32_t x, int32_t y) {
    switch (icon) {
    case Icon::Folder:
    case Icon::Parent:
        s.FillRect({x, y + 1, x + 6, y + 3}, FolderEdge);
        s.FillRect({x, y + 3, x + 14, y + 12}, FolderYellow);
        Box(s, {x, y + 3, x + 14, y + 12}, FolderEdge);
        if (icon == Icon::Parent) s.FillRect({x + 4, y + 6, x + 10, y + 8}, FolderEdge);
        break;
    case Icon::Drive:
        s.FillRect({x, y + 3, x + 14, y + 11}, DriveGrey);
        Box(s, {x, y + 3, x + 14, y + 11}, 0x505050);
        s.FillRect({x + 10, y + 8, x + 12, y + 9}, 0x00C800);
        break;
    case Icon::None: break;
    }
}

void DrawList(DirectDrawSurface7& s, const RECT& r, std::string_view label, size_t count,
              const std::function<Row(size_t)>& rowAt, const ChooserListState& list, bool focused) {
    Text(s, r.Left, r.Top - layout::LabelGap, label, colors::Text);
    s.FillRect(r, colors::ListBack);
    Box(s, r, focused ? colors::FocusBorder : colors::Border);
    if (focused) Box(s, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, colors::FocusBorder);

    const size_t shown = size_t(layout::VisibleRows(r));
    const bool scrolling = count > shown;
    const int32_t right = r.Right - layout::Inset - (scrolling ? layout::ScrollBarWidth : 0);
    const int32_t textDy = Centre(s, layout::RowHeight);
    for (size_t i = list.Top; i < count && i < list.Top + shown; ++i) {
        const Row row = rowAt(i);
        const int32_t y = r.Top + layout::Inset + int32_t(i - list.Top) * layout::RowHeight;
        int32_t color = row.dim ? colors::HiddenText : colors::Text;
        if (i == list.Selected) {
            s.FillRect({r.Left + layout::Inset, y, right, y + layout::RowHeight},
                       focused ? colors::Selected : colors::SelectedIdle);
            if (focused) color = White;
        }
        int32_t x = r.Left + layout::Inset + 4;
        if (row.icon != Icon::None) {
            DrawIcon(s, row.icon, x, y + 2);
            x += 19;
        }
        Text(s, x, y + textDy, FitText(s, row.text, right - x - 2), color);
    }
    if (scrolling) {
        const RECT track{right, r.Top + layout::Inset, r.Right - layout::Inset, r.Bottom - layout::Inset};
        s.FillRect(track, 0xE6E6E6);
        const int32_t h = track.Bottom - track.Top;
        const int32_t thumbTop = track.Top + int32_t(int64_t(h) * int64_t(list.Top) / int64_t(count));
        int32_t thumbBottom = track.Top + int32_t(int64_t(h) * int64_t(list.Top + shown) / int64_t(count));
        thumbBottom = std::max(thumbBottom, thumbTop + 8);
        s.FillRect({track.Left + 2, thumbTop, track.Right - 1, std::min(thumbBottom, track.Bottom)}, 0x8C8C8C);
    }
}

// Code points of text, so that cuts never split a character.
std::u32string Points(std::string_view text) { return Utf8ToU32(text); }

int32_t WidthOf(const DirectDrawSurface7& s, std::string_view text) {
    int32_t w = 0, h = 0;
    s.MeasureText(text, w, h);
    return w;
}

}  // namespace

std::string FitText(const DirectDrawSurface7& surface, std::string_view text, int32_t width) {
    if (WidthOf(surface, text) <= width) return std::string(text);
    const std::u32string points = Points(text);
    size_t low = 0, high = points.size();  // the longest prefix that fits is in [low, high)
    while (high - low > 1) {
        const size_t mid = (low + high) / 2;
        if (WidthOf(surface, U32ToUtf8(points.substr(0, mid)) + Ellipsis) <= width) {
            low = mid;
        } else {
            high = mid;
        }
    }
    return U32ToUtf8(points.substr(0, low)) + Ellipsis;
}

std::string FitTextFromEnd(const DirectDrawSurface7& surface, std::string_view text, int32_t width) {
    if (WidthOf(surface, text) <= width) return std::string(text);
    const std::u32string points = Points(text);
    size_t low = 0, high = points.size();  // the longest suffix that fits is in [low, high)
    while (high - low > 1) {
        const size_t mid = (low + high) / 2;
        if (WidthOf(surface, Ellipsis + U32ToUtf8(points.substr(points.size() - mid))) <= width) {
            low = mid;
        } else {
            high = mid;
        }
    }
    return Ellipsis + U32ToUtf8(points.substr(points.size() - low));
}

void DrawSkinDir(DirectDrawSurface7& s, const SkinDirState& state) {
    s.FillRect({0, 0, layout::Width, layout::Height}, colors::Face);
    s.SetFontTransparency(true);

    s.FillRect(layout::Header, colors::HeaderBack);
    s.SetFont(CaptionFont);
    Text(s, 12, Centre(s, layout::Header.Bottom), "Skinディレクトリ選択", White);

    s.SetFont(TextFont);
    const RECT& path = layout::PathBox;
    Text(s, 8, path.Top + Centre(s, path.Bottom - path.Top), "場所", colors::Text);
    s.FillRect(path, colors::ListBack);
    Box(s, path, colors::Border);
    Text(s, path.Left + 6, path.Top + Centre(s, path.Bottom - path.Top),
         FitTextFromEnd(s, ShownName(state.Folder()), path.Right - path.Left - 12), colors::Text);

    const ChooserFocus focus = state.Focus();
    const auto& drives = state.Drives();
    DrawList(s, layout::DriveList, "ドライブ", drives.size(),
             [&](size_t i) { return Row{ShownName(drives[i].Label), Icon::Drive, false}; },
             state.List(ChooserFocus::Drives), focus == ChooserFocus::Drives);

    const std::string partly = state.Truncated() ? " (一部のみ表示)" : "";
    DrawList(s, layout::FolderList, "フォルダ" + partly, state.FolderRowCount(),
             [&](size_t i) {
                 if (state.HasParentRow() && i == 0) return Row{"..  (上のフォルダ)", Icon::Parent, false};
                 const std::string& name = state.FolderRowName(i);
                 return Row{ShownName(name), Icon::Folder, !name.empty() && name[0] == '.'};
             },
             state.List(ChooserFocus::Folders), focus == ChooserFocus::Folders);

    const auto& files = state.Files();
    DrawList(s, layout::FileList, "ファイル" + partly, files.size(),
             [&](size_t i) { return Row{ShownName(files[i]), Icon::None, !files[i].empty() && files[i][0] == '.'}; },
             state.List(ChooserFocus::Files), focus == ChooserFocus::Files);

    const RECT& ok = layout::OkButton;
    const int32_t textY = ok.Top + Centre(s, ok.Bottom - ok.Top);
    if (state.Message().empty()) {
        Text(s, 8, textY, "Tab 移動  ↑↓ 選択  Enter 開く  O/Esc 決定", colors::HiddenText);
    } else {
        Text(s, 8, textY, FitText(s, state.Message(), ok.Left - 16), colors::MessageText);
    }
    const bool okFocused = focus == ChooserFocus::Ok;
    s.FillRect(ok, okFocused ? colors::Selected : colors::ButtonFace);
    Box(s, ok, okFocused ? colors::FocusBorder : colors::Border);
    if (okFocused) Box(s, {ok.Left + 2, ok.Top + 2, ok.Right - 2, ok.Bottom - 2}, White);
    const std::string caption = "OK (O)";
    Text(s, (ok.Left + ok.Right - WidthOf(s, caption)) / 2, textY, caption, okFocused ? White : colors::Text);
}

}  // namespace dexlora
