// Start-up and shutdown of the game.
#pragma once

#include <string>

namespace dexlora {

// The start-up routine: the system folder under programFolder (which ends in
// '/'), the skin chooser, the devices, Form_Load, the screen, the skin and
// the first picture; its last step records the title as the first scene.
// Every failure records its way out (UnloadMainWindow or EndProgramNow).
void Main(const std::string& programFolder);

// Reads the romaji tables, KeyConf.txt and type.txt. Answers false when
// start-up goes no further: questions that cannot be built close the main
// window; any other failure ends the program at once.
bool Form_Load();

// The shutdown sequence; each step is tried on its own. The load messages go
// to standard error, never to the screen.
void Form_Unload();

// The load messages collected in ErrLog, one line each on standard error, so
// that a skin author sees why a skin fell back to its defaults.
void ReportLoadMessages();

// Starts the recorded scene each time the running one has unwound, until the
// program ends; runs the shutdown when the main window was closed. Answers
// the exit status: 0 when the player closed the program, 1 after a failure.
int RunScenes();

// The whole game on a running platform session: Main, then the scenes.
// Answers the exit status. What the game holds stays for the caller to look
// at until ReleaseGameObjects.
int RunDexlora(const std::string& programFolder);

// Every object the game holds released and every global back to its start:
// the skin's pictures, sprites and sounds, the screens and the devices, the
// questions, the romaji tables and their lookup, the game fields and the
// random sequence, the scene request, the main window's handlers, the flip
// hook and ErrLog. Called by whoever ends a platform session, while it still
// runs: pictures, sprites and sounds go before the display and the mixer.
void ReleaseGameObjects();

}  // namespace dexlora
