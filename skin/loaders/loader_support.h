// What the skin loaders share: file names made safe, pictures, backgrounds and
// sprites that end a loader when they fail, wipes, sounds, font sizes, lists
// and the colour rule of Game.ini and keyconf.ini. Private to skin/loaders/.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/anime_character.h"
#include "drawing/wipes.h"
#include "platform/sound.h"
#include "platform/surface.h"
#include "skin/loaders/loaders.h"

namespace dexlora::loader_detail {

// The full path of a file a settings file names: folder followed by the name.
// nullopt for a name that is absolute, starts with a drive letter or climbs
// out of the folder with "..": such a name is never read.
std::optional<std::string> SkinFilePath(std::string_view folder, std::string_view name);

// A settings file of the skin folder: its name (as the checker shows it) and
// the folder its named files are joined to.
struct SettingsFile {
    std::string Folder;
    std::string Name;
    std::string Path() const { return Folder + Name; }
};

// Raised once a picture could not be loaded and ReportPictureFailure has
// run: the loader returns at once, appending nothing of its own. Not a
// RuntimeError, so no loader mistakes it for one of its warnings.
struct PictureFailed {};

// Loads the picture named by key of section (value name) into surf through
// LoadImageSurface; surf is replaced only by a whole picture. Raises
// PictureFailed when it cannot be loaded.
void LoadPicture(const SettingsFile& ini, std::string_view section, std::string_view key, std::string_view name,
                 SurfaceDesc& desc, SurfacePtr& surf);

// A scene's background: the picture named by FileName in section BackGround
// (defaultName when there is none). Answers false after a picture failure,
// which has been reported; a RuntimeError of the settings file passes on.
bool LoadBackground(const SettingsFile& ini, std::string_view defaultName, SurfaceDesc& desc, SurfacePtr& surf);

// A wipe named by key of section Wipe. An enabled wipe is never disabled again
// by an empty value.
void ReadWipe(const std::string& file, std::string_view key, WipeSettings& wipe);

// The keys a sprite section holds, read with the defaults of its file.
struct SpriteKeys {
    std::string FileName;
    int32_t StartX = 0, StartY = 0;
    float DX = 0, DY = 0;
    int32_t Time = 1, Mode = 0, Wait = 0, Column = 1, Row = 1, MoveCount = 60;
};

// Reads FileName and the motion keys of section; "DX" and "DY" must be
// numbers (RuntimeError otherwise).
SpriteKeys ReadSpriteKeys(const std::string& file, std::string_view section, int32_t defaultX, int32_t defaultY);

// A sprite set up in the order InitFromFile, InitPosition, InitAnimeData,
// AutoSetRegionColor (MoveCount - 1 moves). Raises PictureFailed when its
// picture cannot be loaded (named by section's "FileName" of ini) and passes
// on the RuntimeError of a refused cell layout.
clsAnimeCharacter MakeSprite(const SettingsFile& ini, std::string_view section, const SpriteKeys& keys,
                             bool visibleAfterMoveEnd);

// A static sound buffer from the file name names (flags as given). A missing,
// unreadable or refused name raises RuntimeError.
SoundBufferPtr LoadSound(const std::string& folder, std::string_view name, int32_t flags);

// Sets a font's size in points; a size the text layer cannot draw (below 1 or
// above 200) raises RuntimeError and leaves the font as it was.
void SetFontSize(StdFont& font, int32_t points);

// The items of a list written with "," between them, as written; an empty
// text has no items.
std::vector<std::string> SplitList(std::string_view text);

// The colour rule of Game.ini and keyconf.ini: a value that is not three
// parts raises RuntimeError (the loader stops); three parts of which one is
// not a number of at least 0 give white. An absent key reads as fallback.
int32_t ReadStrictColor(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view fallback = "255,255,255");

// Records the picture failure that ended a loader, for SkinPictureFailure,
// and forgets it.
void NotePictureFailure(PictureFailure failure);
void ClearPictureFailure();

}  // namespace dexlora::loader_detail
