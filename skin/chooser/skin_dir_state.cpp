// The skin folder chooser's lists and their keyboard and mouse handling.
#include "skin/chooser/skin_dir_state.h"

#include <algorithm>

#include "platform/core/encoding.h"
#include "platform/core/files.h"
#include "skin/chooser/skin_dir_layout.h"

namespace dexlora {

namespace {

namespace layout = skin_dir_layout;

// Lines a wheel notch scrolls.
constexpr long WheelRows = 3;

const RECT& ListRect(ChooserFocus list) {
    switch (list) {
    case ChooserFocus::Drives: return layout::DriveList;
    case ChooserFocus::Files: return layout::FileList;
    default: return layout::FolderList;
    }
}

// The list under (x, y), if any.
bool ListAt(int x, int y, ChooserFocus& list) {
    for (ChooserFocus candidate : {ChooserFocus::Drives, ChooserFocus::Folders, ChooserFocus::Files}) {
        if (layout::Inside(ListRect(candidate), x, y)) {
            list = candidate;
            return true;
        }
    }
    return false;
}

const std::string NoName;

}  // namespace

std::string ShownName(std::string_view raw) {
    std::u32string text = Utf8ToU32(raw);
    for (char32_t& c : text) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) c = 0xFFFD;
    }
    return U32ToUtf8(text);
}

SkinDirState::SkinDirState(std::vector<SkinDrive> drives) : drives_(std::move(drives)) {}

void SkinDirState::Start(std::string_view stored, const std::string& currentFolder) {
    const std::string base = currentFolder.empty() ? "/" : currentFolder;
    if (!stored.empty()) {
        if (OpenFolder(NormalizeFolderPath(stored, base))) return;
        // A value written on Windows, or by hand in other letter case.
        const std::string resolved = ResolvePath(stored);
        if (resolved != stored && OpenFolder(NormalizeFolderPath(resolved, base))) return;
    }
    std::string fallback = currentFolder;
    if (fallback.empty()) fallback = HomeFolder();
    fallback = NormalizeFolderPath(fallback, "/");
    if (!OpenFolder(fallback)) {
        // Even a folder that cannot be listed is where the lists stay.
        folder_ = fallback;
        listing_ = FolderListing{};
        folderList_ = fileList_ = ChooserListState{};
        Select(ChooserFocus::Drives, CurrentDrive());
    }
    if (!stored.empty()) message_ = "記録されたフォルダを開けません: " + ShownName(stored);
}

bool SkinDirState::OpenFolder(const std::string& path, std::string_view select) {
    FolderListing listing;
    if (!ListFolder(path, listing)) {
        const size_t slash = path.find_last_of('/');
        const std::string name = slash == std::string::npos || path == "/" ? path : path.substr(slash + 1);
        message_ = "フォルダを開けません: " + ShownName(name);
        return false;
    }
    folder_ = path;
    listing_ = std::move(listing);
    message_.clear();
    folderList_ = fileList_ = ChooserListState{};
    size_t row = 0;
    if (!select.empty()) {
        const auto& folders = listing_.Folders;
        const auto it = std::find(folders.begin(), folders.end(), select);
        if (it != folders.end()) row = (HasParentRow() ? 1 : 0) + size_t(it - folders.begin());
    }
    Select(ChooserFocus::Folders, row);
    Select(ChooserFocus::Drives, CurrentDrive());
    return true;
}

bool SkinDirState::ChooseDrive(size_t index) {
    if (index >= drives_.size()) return false;
    if (OpenFolder(drives_[index].Path)) return true;
    message_ = "ドライブを読めません: " + ShownName(drives_[index].Label);
    Select(ChooserFocus::Drives, CurrentDrive());
    return false;
}

bool SkinDirState::OpenFolderRow(size_t row) {
    if (row >= FolderRowCount()) return false;
    if (HasParentRow() && row == 0) {
        const size_t slash = folder_.find_last_of('/');
        const std::string cameFrom = folder_.substr(slash + 1);
        return OpenFolder(ParentFolder(folder_), cameFrom);
    }
    return OpenFolder(ChildFolder(folder_, FolderRowName(row)));
}

size_t SkinDirState::CurrentDrive() const {
    size_t best = drives_.size(), bestLength = 0;
    for (size_t i = 0; i < drives_.size(); ++i) {
        const std::string& top = drives_[i].Path;
        if (IsWithinFolder(folder_, top) && (best == drives_.size() || top.size() > bestLength)) {
            best = i;
            bestLength = top.size();
        }
    }
    return best == drives_.size() ? 0 : best;
}

const std::string& SkinDirState::FolderRowName(size_t row) const {
    if (HasParentRow()) {
        if (row == 0) return NoName;
        --row;
    }
    return row < listing_.Folders.size() ? listing_.Folders[row] : NoName;
}

const ChooserListState& SkinDirState::List(ChooserFocus list) const {
    switch (list) {
    case ChooserFocus::Drives: return driveList_;
    case ChooserFocus::Files: return fileList_;
    default: return folderList_;
    }
}

ChooserListState& SkinDirState::MutableList(ChooserFocus list) {
    return const_cast<ChooserListState&>(static_cast<const SkinDirState&>(*this).List(list));
}

size_t SkinDirState::RowCount(ChooserFocus list) const {
    switch (list) {
    case ChooserFocus::Drives: return drives_.size();
    case ChooserFocus::Folders: return FolderRowCount();
    case ChooserFocus::Files: return listing_.Files.size();
    default: return 0;
    }
}

void SkinDirState::Select(ChooserFocus list, size_t row) {
    const size_t count = RowCount(list);
    ChooserListState& state = MutableList(list);
    state.Selected = count == 0 ? 0 : std::min(row, count - 1);
    const size_t rows = size_t(layout::VisibleRows(ListRect(list)));
    if (state.Selected < state.Top) state.Top = state.Selected;
    if (state.Selected >= state.Top + rows) state.Top = state.Selected + 1 - rows;
}

void SkinDirState::Scroll(ChooserFocus list, long rows) {
    const long count = long(RowCount(list)), shown = layout::VisibleRows(ListRect(list));
    ChooserListState& state = MutableList(list);
    const long top = std::clamp(long(state.Top) + rows, 0L, std::max(0L, count - shown));
    state.Top = size_t(top);
}

bool SkinDirState::Activate(ChooserFocus list, size_t row) {
    if (list == ChooserFocus::Drives) return ChooseDrive(row);
    if (list == ChooserFocus::Folders) return OpenFolderRow(row);
    return false;  // the file list only informs
}

bool SkinDirState::Handle(const DialogEvent& event) {
    switch (event.Type) {
    case DialogEvent::Kind::Close: return true;
    case DialogEvent::Kind::Character: return event.Character == U'o' || event.Character == U'O';
    case DialogEvent::Kind::Key: return HandleKey(event.Code, event.Shift);
    case DialogEvent::Kind::MouseDown: return HandleClick(event.X, event.Y, event.Clicks);
    case DialogEvent::Kind::Wheel: HandleWheel(event.X, event.Y, event.WheelLines); return false;
    }
    return false;
}

bool SkinDirState::HandleKey(KeyCode code, bool shift) {
    constexpr ChooserFocus order[] = {ChooserFocus::Drives, ChooserFocus::Folders, ChooserFocus::Files,
                                      ChooserFocus::Ok};
    const bool moves = code == KeyCode::Up || code == KeyCode::Down || code == KeyCode::PageUp ||
                       code == KeyCode::PageDown || code == KeyCode::Home || code == KeyCode::End;
    // Enter on "OK" accepts at once; the arrows go to the folder list.
    if (moves && focus_ == ChooserFocus::Ok) focus_ = ChooserFocus::Folders;
    const bool inList = focus_ != ChooserFocus::Ok;
    const ChooserListState& list = List(focus_);
    const size_t page = inList ? size_t(layout::VisibleRows(ListRect(focus_))) : 0;
    switch (code) {
    case KeyCode::Escape:
    case KeyCode::F10: return true;
    case KeyCode::Tab: {
        const size_t at = size_t(std::find(std::begin(order), std::end(order), focus_) - std::begin(order));
        focus_ = order[(at + (shift ? 3 : 1)) % 4];
        return false;
    }
    case KeyCode::Enter:
        if (!inList) return true;
        Activate(focus_, list.Selected);
        return false;
    case KeyCode::Space: return !inList;
    case KeyCode::Backspace:
        if (HasParentRow()) OpenFolderRow(0);
        return false;
    case KeyCode::Up:
        if (inList && list.Selected > 0) Select(focus_, list.Selected - 1);
        return false;
    case KeyCode::Down:
        if (inList) Select(focus_, list.Selected + 1);
        return false;
    case KeyCode::PageUp:
        if (inList) Select(focus_, list.Selected > page - 1 ? list.Selected - (page - 1) : 0);
        return false;
    case KeyCode::PageDown:
        if (inList) Select(focus_, list.Selected + page - 1);
        return false;
    case KeyCode::Home:
        if (inList) Select(focus_, 0);
        return false;
    case KeyCode::End:
        if (inList) Select(focus_, RowCount(focus_));
        return false;
    default: return false;
    }
}

bool SkinDirState::HandleClick(int x, int y, int clicks) {
    if (layout::Inside(layout::OkButton, x, y)) return true;
    ChooserFocus list;
    if (!ListAt(x, y, list)) return false;
    focus_ = list;
    const RECT& r = ListRect(list);
    const long shown = layout::VisibleRows(r), count = long(RowCount(list));
    const ChooserListState& state = List(list);
    if (count > shown && x >= r.Right - layout::ScrollBarWidth - 1) {
        // On the scroll bar: a page towards the click.
        const long middle = r.Top + (r.Bottom - r.Top) * (long(state.Top) * 2 + shown) / (2 * count);
        Scroll(list, y < middle ? -(shown - 1) : shown - 1);
        return false;
    }
    const int offset = y - r.Top - layout::Inset;
    if (offset < 0) return false;
    const size_t row = state.Top + size_t(offset / layout::RowHeight);
    if (offset / layout::RowHeight >= shown || row >= size_t(count)) return false;
    Select(list, row);
    if (clicks >= 2 && clicks % 2 == 0) Activate(list, row);
    return false;
}

void SkinDirState::HandleWheel(int x, int y, int lines) {
    ChooserFocus list;
    if (ListAt(x, y, list)) Scroll(list, -lines * WheelRows);
}

}  // namespace dexlora
