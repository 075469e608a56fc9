// The skin folder chooser, shown once at every start before the display is
// taken: a drive list, a folder list, a file list that only informs, and "OK".
#pragma once

#include <string>

namespace dexlora {

// Shows frmSkinDir (caption "Skinディレクトリ選択") modally. It opens on the
// folder remembered last time (RememberedSkinFolder: System.ini's SkinPath,
// or the program's own folder when none is remembered) and answers the
// folder list's current folder when it closes, by "OK" or in any other way, as
// a full path without a trailing '/' ("/" for the root). Needs a running
// PlatformSession; in a headless one it is worked by scripted events.
std::string ShowSkinDirDialog();

}  // namespace dexlora
