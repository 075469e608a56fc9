#!/usr/bin/env python3
"""Writes every picture, sound and settings file of the Standard skin (all but type.txt).

The skin is a night of cherry blossoms: an indigo sky with a moon, stars and
drifting clouds over dark hills, petals falling, and panels of deep blue with a
thin pink rim wherever text is drawn. Everything is drawn here with ImageMagick
(convert) and SoX, with fixed seeds, no metadata and no timestamps, so a second
run writes the same bytes.

    python3 tools/make_standard_skin.py [SKIN_FOLDER] [--mockups FOLDER]
    python3 tools/make_standard_skin.py --check [SKIN_FOLDER]

SKIN_FOLDER defaults to skins/Standard. With --mockups, pictures of each screen
as the game will compose it (background, sprites, texts at the settings'
places) are written to FOLDER for checking by eye; they are not part of the skin.
--check writes nothing: it checks the folder as it stands (skin_art/check.py)
and exits 1 when it finds a problem. The drawing itself lives in skin_art/.

Sprite sheets are 24-bit BMP files whose top-left pixel is the transparent key
colour. Their anti-aliased edges are blended towards the colour of the scene
behind the sprite, never towards the key colour, and a pixel is either exactly
the key colour or far from it; the script checks that before it finishes.
"""
import os
import shutil
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from skin_art import base  # noqa: E402 (after the path is set)
from skin_art.base import GOTHIC, PGOTHIC, ROOT, skin_file  # noqa: E402
from skin_art.check import check  # noqa: E402
from skin_art.mockups import mockups  # noqa: E402
from skin_art.pictures import (game_background, keyconf_background, make_badges, make_chara, make_cloud,  # noqa: E402
                               make_confetti, make_firework, make_petals, make_shooting_star, make_sparkle,
                               make_twinkle, make_windows, result_background, title_background)
from skin_art.settings import settings_files  # noqa: E402
from skin_art.sounds import make_sounds  # noqa: E402


def main(argv):
    args = list(argv)
    mock = None
    only_check = "--check" in args
    if only_check:
        args.remove("--check")
    if "--mockups" in args:
        i = args.index("--mockups")
        mock = os.path.abspath(args[i + 1])
        del args[i:i + 2]
    base.OUT = os.path.abspath(args[0]) if args else os.path.join(ROOT, "skins", "Standard")
    for font in (GOTHIC, PGOTHIC):
        if not os.path.exists(font):
            sys.exit("missing font %s (Debian package fonts-ipafont-gothic)" % font)
    for tool in ("convert", "identify", "sox"):
        if not shutil.which(tool):
            sys.exit("missing %s (Debian packages imagemagick, sox)" % tool)
    os.makedirs(base.OUT, exist_ok=True)
    base.TMP = tempfile.mkdtemp(prefix="dexlora-skin-")
    try:
        if only_check:
            sheets, total, problems = check()
            for p in problems:
                print("problem:", p)
            print("%d sprite sheets, %d bytes in all, %d problems" % (len(sheets), total, len(problems)))
            return 1 if problems else 0
        title_background(skin_file("Title.bmp"))
        game_background(skin_file("game.jpg"))
        result_background(skin_file("result.jpg"))
        keyconf_background(skin_file("keyconf.jpg"))
        make_petals()
        make_twinkle()
        make_sparkle()
        make_cloud()
        make_shooting_star()
        make_firework()
        make_confetti()
        make_windows()
        make_badges()
        make_chara()
        make_sounds()
        settings_files()
        sheets, total, problems = check()
        for p in problems:
            print("problem:", p)
        if mock:
            os.makedirs(mock, exist_ok=True)
            mockups(mock)
        if problems:
            return 1
        print("%d sprite sheets checked: no pixel near the key colour; %d bytes in all" % (len(sheets), total))
        return 0
    finally:
        shutil.rmtree(base.TMP, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
