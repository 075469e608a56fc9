// Where the player's own settings files live: the system folder of a copy the
// player may write, or a per-user folder beside an installed, read-only one.
#pragma once

#include <string>
#include <string_view>

namespace dexlora {

// The per-user settings folder, ending in '/'. Empty (as it starts) keeps
// every settings file in SystemPath only; start-up sets it to
// UserSettingsFolder(). A reinstall never touches it, so the choices kept
// there outlive the installed copy.
extern std::string UserSettingsPath;

// $XDG_CONFIG_HOME/dexlora/ when that variable holds an absolute path, else
// .config/dexlora/ in $HOME (when absolute), else in the home folder of the
// user's password entry; empty when none of them is known.
std::string UserSettingsFolder();
// The same rule over given values, each empty when unset.
std::string UserSettingsFolderFrom(std::string_view xdgConfigHome, std::string_view home,
                                   std::string_view passwordHome);

// The file that settings file name ("System.ini", "KeyConf.txt") is read
// from: the player's copy in UserSettingsPath when it is there, otherwise
// the one in SystemPath.
std::string SettingsFileToRead(std::string_view name);

// The file a save of settings file name goes to, so that the next start
// reads what was saved:
// - the player's copy in UserSettingsPath when it is there;
// - otherwise SystemPath's, when that can be written (the folder, and the
//   file if it exists, are writable);
// - otherwise UserSettingsPath's. Its folder is then made (each missing
//   folder with mode 0700) and, when SystemPath holds the file, starts as a
//   copy of it, so that changing one key of an INI file keeps the others.
// Without UserSettingsPath, always SystemPath's.
std::string SettingsFileToWrite(std::string_view name);

// A file only this player's choices go to (Options.ini): in UserSettingsPath,
// whose folders a write makes (each with mode 0700); in SystemPath only
// without UserSettingsPath.
std::string PlayerFileToRead(std::string_view name);
std::string PlayerFileToWrite(std::string_view name);

// The skin folder the chooser opens on: System.ini's SkinPath (section
// "System") when it holds one, exactly as RememberSkinFolder wrote it; else
// the folder kept in UserSettingsPath's SkinFolder.txt when that holds one;
// else programFolder when System.ini has no key SkinPath, and "" (the
// current folder) when the key is there but empty.
std::string RememberedSkinFolder(const std::string& programFolder);

// Remembers folder for the next start. System.ini (SettingsFileToWrite) gets
// it as its SkinPath, in quotes when blanks at either end would otherwise be
// trimmed away on reading. A folder System.ini cannot give back as it is (a
// character CP932 lacks, a byte that is not UTF-8, a line break, more than
// 127 bytes) goes to SkinFolder.txt in UserSettingsPath instead, as its bytes
// and a line end, and System.ini's SkinPath is emptied so that the copy
// counts. Answers whether RememberedSkinFolder will now give folder back.
bool RememberSkinFolder(const std::string& folder);

}  // namespace dexlora
