// The table of scenes, and ScreenBlt, which follows it.
#include <algorithm>
#include <array>
#include <exception>

#include "platform/window.h"
#include "scenes/judgment.h"
#include "scenes/keyconf_scene.h"
#include "scenes/records_scene.h"
#include "scenes/result_scene.h"
#include "scenes/scenes.h"

namespace dexlora {

namespace {

// State, started by, entry, key, double click, takes the focus.
constexpr std::array<SceneRow, SceneCount> Rows{{
    {Scene::Title, NextScene::Title, TitleStart, TitleKeyPress, nullptr, TitleKeyDown, false},
    {Scene::Game, NextScene::Game, GameStart, GameKeyPress, nullptr, nullptr, false},
    // The result's answer (whether a failure stopped it) changes nothing next.
    {Scene::Result, NextScene::Result, [] { PrintResult(); }, ResultKeyPress, nullptr, nullptr, false},
    {Scene::KeyConf, NextScene::KeyConf, KeyConfStart, nullptr, KeyConfDblClick, nullptr, true},
    {Scene::Records, NextScene::Records, RecordsStart, RecordsKeyPress, nullptr, RecordsKeyDown, false},
}};

}  // namespace

std::span<const SceneRow, SceneCount> SceneTable() { return Rows; }

const SceneRow& SceneOf(Scene state) { return Rows[static_cast<size_t>(state)]; }

const SceneRow* SceneStartedBy(NextScene next) {
    const auto row = std::find_if(Rows.begin(), Rows.end(), [next](const SceneRow& r) { return r.StartedBy == next; });
    return row == Rows.end() ? nullptr : &*row;
}

void ScreenBlt() {
    if (!SceneOf(GameState).TakesFocus) return;
    try {
        SetMainWindowFocus();
    } catch (const std::exception&) {
        EndProgramNow();
    }
}

}  // namespace dexlora
