// The skin mode of dexlora-check: a skin folder loaded headless as start-up
// loads it, every load message and the failure that would end the game.
#pragma once

#include <string>

namespace dexlora {

// Loads the tables, KeyConf.txt and type.txt from systemFolder and the skin
// from skinFolder exactly as start-up does, then every rank's result
// animation files as the result scene loads them. Prints, one line each:
// "log: " and each line the game would add to its load messages; "end: " and
// the failure that would end the game, if any; then a summary line. Answers
// the exit status: 0 when the game starts and runs with this skin, 1 when it
// would not start or would end at a result. With a picture folder, a skin
// that starts also has its scenes pictured there (WriteScenePictures); the
// answer is then 2 when a picture could not be made.
int CheckSkin(const std::string& systemFolder, const std::string& skinFolder, const std::string& pictureFolder = "");

}  // namespace dexlora
