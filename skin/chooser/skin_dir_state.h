// The skin folder chooser's state: its drives, the current folder with its
// sub-folders and files, the selection and scrolling of each list and the
// focus, and how keys and clicks change them. Drawing lives in skin_dir_view.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/folders.h"
#include "platform/dialog_window.h"

namespace dexlora {

struct SkinDrive {
    std::string Label;  // what the drive list shows
    std::string Path;   // its top folder, normalised
};

// What has the keyboard: the three lists and the "OK" button, in Tab order.
enum class ChooserFocus { Drives, Folders, Files, Ok };

struct ChooserListState {
    size_t Selected = 0;
    size_t Top = 0;  // first row shown
};

class SkinDirState {
public:
    explicit SkinDirState(std::vector<SkinDrive> drives);

    // Opens on stored (a full path, or relative to currentFolder); when it is
    // empty or cannot be opened the lists show currentFolder instead (the
    // home folder, then the root, when the process has none).
    void Start(std::string_view stored, const std::string& currentFolder);

    // Makes path the current folder; answers false and changes nothing when
    // it cannot be listed. The folder list then selects the sub-folder named
    // select, or its first row.
    bool OpenFolder(const std::string& path, std::string_view select = {});
    // The drive's top folder becomes the current folder, if it can be listed.
    bool ChooseDrive(size_t index);
    // Opens row of the folder list (the parent row included).
    bool OpenFolderRow(size_t row);

    // Applies one input event; answers true when the chooser closes.
    bool Handle(const DialogEvent& event);

    // The current folder: full, normalised, "/" for the root.
    const std::string& Folder() const { return folder_; }
    const std::vector<SkinDrive>& Drives() const { return drives_; }
    // The drive holding the current folder (the one with the longest top).
    size_t CurrentDrive() const;

    // The folder list: a parent row first unless at the root, then sub-folders.
    bool HasParentRow() const { return folder_ != "/"; }
    size_t FolderRowCount() const { return (HasParentRow() ? 1 : 0) + listing_.Folders.size(); }
    // Raw name of a folder-list row ("" for the parent row).
    const std::string& FolderRowName(size_t row) const;
    const std::vector<std::string>& Files() const { return listing_.Files; }
    // The current folder held more entries than are listed.
    bool Truncated() const { return listing_.Truncated; }

    ChooserFocus Focus() const { return focus_; }
    const ChooserListState& List(ChooserFocus list) const;
    // Why the last action changed nothing (UTF-8); empty otherwise.
    const std::string& Message() const { return message_; }

private:
    size_t RowCount(ChooserFocus list) const;
    ChooserListState& MutableList(ChooserFocus list);
    void Select(ChooserFocus list, size_t row);
    void Scroll(ChooserFocus list, long rows);
    bool Activate(ChooserFocus list, size_t row);
    bool HandleKey(KeyCode code, bool shift);
    bool HandleClick(int x, int y, int clicks);
    void HandleWheel(int x, int y, int lines);

    std::vector<SkinDrive> drives_;
    std::string folder_ = "/";
    FolderListing listing_;
    ChooserFocus focus_ = ChooserFocus::Ok;  // Enter at once accepts the folder shown
    ChooserListState driveList_, folderList_, fileList_;
    std::string message_;
};

// Shows a raw file name as UTF-8: malformed bytes and control characters
// become U+FFFD, so that any name can be drawn.
std::string ShownName(std::string_view raw);

}  // namespace dexlora
