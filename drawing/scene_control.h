// What runs next: the running scene, the record of the next scene that event
// handlers write and every event-pumping loop checks, the three ways out of
// a failure, and the small timing helpers every scene shares.
//
// Scenes never nest. A handler only records what happens next; each loop that
// lets window events run (frame loops, WaitTime, wipes, slides) checks the
// record right after DoEvents and returns; the dispatcher then starts the
// recorded scene. Once a change is recorded, DoEvents hands out nothing more,
// so a second key typed in the same frame reaches the next scene under its
// GameState.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/surface.h"

namespace dexlora {

// The whole screen as a rectangle.
inline constexpr RECT ScreenRect{0, 0, ScreenWidth, ScreenHeight};

// The scenes, numbered as they have always been counted.
enum class Scene : int32_t { Title = 0, Game = 1, Result = 2, KeyConf = 3, Records = 4 };
inline constexpr size_t SceneCount = 5;

// The running scene. Set before the next scene's wipe starts, so that keys
// during a wipe or a wait already follow the new scene.
extern Scene GameState;

enum class NextScene { None, Title, Game, Result, KeyConf, Records, Shutdown, EndNow };

// Records what runs once the running scene has unwound, and holds the window
// events. A request never softens one already recorded: ending at once beats
// the shutdown, which beats any scene; among scenes the latest wins.
void RequestScene(NextScene next);
bool SceneChangePending();
NextScene PendingScene();
// The dispatcher's side: answers the record, clears it and lets events run.
NextScene TakeSceneRequest();
// Back to the state of a fresh start (no record, the title, events free).
void ResetSceneControl();

// The three ways out of a failure:
//  1. keep the defaults and note it: AppendErrLog (settings/shared.h);
//  2. close the main window: the shutdown sequence runs, then the program ends;
//  3. end at once, without the shutdown (System.ini is not written).
// Both 2 and 3 only record the end; the running code returns to the dispatcher,
// drawing nothing more.
void UnloadMainWindow();
void EndProgramNow();

// Lets window events run until the millisecond counter has advanced by at
// least ms. Answers false when a handler recorded a change, which ends the
// wait at once.
bool WaitTime(int32_t ms);

// One step of a blinking colour (packed red + 256 green + 65536 blue): each
// channel moves 10 towards 255 while direction is false, capped, and the
// direction turns once any channel reaches 255; towards 0 while it is true,
// floored, turning back once any channel reaches 0.
int32_t PulseColor(int32_t color, bool& direction);

// Turns elapsed milliseconds into whole animation ticks of 15 ms; the
// remainder carries into the next frame. Differences of the 32-bit counter
// are taken modulo 2^32, so a wrap of the counter still counts right.
inline constexpr uint32_t AnimationTickMs = 15;

class AnimationClock {
public:
    explicit AnimationClock(uint32_t now) : prev_(now) {}
    // Ticks due at now; Elapsed() then holds the milliseconds since the
    // previous call (or since the clock was made).
    uint32_t Advance(uint32_t now) {
        elapsed_ = now - prev_;
        prev_ = now;
        acc_ += elapsed_;
        const uint32_t ticks = acc_ / AnimationTickMs;
        acc_ %= AnimationTickMs;
        return ticks;
    }
    uint32_t Elapsed() const { return elapsed_; }
    uint32_t Carried() const { return acc_; }

private:
    uint32_t prev_;
    uint32_t acc_ = 0;
    uint32_t elapsed_ = 0;
};

}  // namespace dexlora
