// Pictures of a skin's scenes for its author: the real scenes run headless
// with scripted input, and chosen frames saved as PNG files.
#pragma once

#include <string>

namespace dexlora {

// With the skin loaded and the headless display taken (as the skin check
// leaves them), writes to folder (made when missing): "title.png", a game
// frame with its question half typed "game.png", the result at every rank
// with that rank's animation files "result-rank-N.png" (a rank the
// thresholds make unreachable is told and skipped), and the key
// configuration's two pages "keyconf-key1.png" and "keyconf-key2.png", and
// the records of a made-up player "records.png".
// Prints one line per picture ("picture: " and its path) or per problem
// ("picture: " and what went wrong). Answers false when a picture could
// not be made or written. The game fields and the main window's handlers it
// sets stay until ReleaseGameObjects.
bool WriteScenePictures(const std::string& folder);

}  // namespace dexlora
