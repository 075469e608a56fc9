#!/usr/bin/env python3
"""Checks that no include runs up a layer.

Every C++ file of the program's folders may include only from its own layer
and the layers below it; the headers under platform/detail/ only from
platform/; SDL headers only from platform/, and nothing of its SDL side from
the SDL-free folders (platform/core/, settings/, engine/). A source
folder missing from the table fails too, so that a new folder gets a place.
Usage: check_layers.py [SOURCE_DIR]   (default: the folder above this script)
"""

import os
import re
import sys

# Folder -> layer, bottom up. The longest folder that starts a path decides.
LAYERS = {
    "platform/core": 0,    # files, folders, CP932 text, profile functions
    "platform": 1,         # SDL: display, surfaces, text, pictures, sound, window
    "platform/detail": 1,  # private to platform/
    "settings": 2,         # skin and system folders, ErrLog, settings values
    "engine": 3,           # romaji tables, questions, KeyConf.txt
    "drawing": 4,          # display set-up, picture loading, wipes, sprites
    "skin/loaders": 5,     # the skin's files into sprites, sounds, values
    "skin/chooser": 5,     # the skin folder chooser
    "scenes": 6,           # every scene and the main window's events
    "app": 7,              # start-up, shutdown, the scene dispatcher, main
    "tools": 8,            # command-line tools for skin authors
}
PRIVATE = {"platform/detail": "platform"}  # folder -> the only folder that may include it
SDL_FOLDERS = ("platform", "platform/detail")  # SDL only here, not in the core
# Folders without SDL: of the platform they include only its core.
SDL_FREE = ("platform/core", "settings", "engine")

# Folders that hold no program code of a layer.
NOT_LAYERS = ("tests", "fuzz", "bench", "scripts", "dist", "docs", "skins", "system", "cmake", "out")

SOURCE = re.compile(r"\.(cpp|h)$")
QUOTED = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SDL = re.compile(r"^\s*#\s*include\s*[<\"](SDL2?/|SDL[_.])")


def folder_of(path):
    """The table's folder a path lies in, or None."""
    best = None
    for folder in LAYERS:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def sources(root):
    for top in sorted(os.listdir(root)):
        if top.startswith(".") or top.startswith("build") or top in NOT_LAYERS:
            continue
        if not os.path.isdir(os.path.join(root, top)):
            continue
        for here, dirs, files in os.walk(os.path.join(root, top)):
            dirs.sort()
            for name in sorted(files):
                if SOURCE.search(name):
                    yield os.path.relpath(os.path.join(here, name), root).replace(os.sep, "/")


def check(root):
    faults = []
    for path in sources(root):
        own = folder_of(path)
        if own is None:
            faults.append(f"{path}: its folder has no layer in scripts/check_layers.py")
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                where = f"{path}:{number}"
                if SDL.match(line) and own not in SDL_FOLDERS:
                    faults.append(f"{where}: includes SDL outside platform/ (or in its core)")
                m = QUOTED.match(line)
                if not m:
                    continue
                target = m.group(1)
                theirs = folder_of(target)
                if theirs is None:
                    faults.append(f"{where}: includes {target}, in no layer")
                elif theirs in PRIVATE and not path.startswith(PRIVATE[theirs] + "/"):
                    faults.append(f"{where}: includes {target}, private to {PRIVATE[theirs]}/")
                elif own in SDL_FREE and theirs in SDL_FOLDERS:
                    faults.append(f"{where}: includes {target}, the SDL side, from {own}/, which has no SDL")
                elif LAYERS[theirs] > LAYERS[own]:
                    faults.append(f"{where}: includes {target} ({theirs}/, layer {LAYERS[theirs]}) "
                                  f"from {own}/ (layer {LAYERS[own]})")
    return faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    faults = check(root)
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        print(f"{len(faults)} include(s) out of layer order", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
