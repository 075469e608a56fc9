#!/usr/bin/env python3
"""Plays Dexlora in a real X window as a player would: its own Xvfb, real keys
and double clicks through xdotool, each scene recognised on the screen by the
skin's pictures, and the files the game writes checked afterwards.

Usage: play_through.py RUNTIME_FOLDER DEXLORA_CHECK KEEP_FOLDER [SCALE [GAME_ARG...]]

On a screen SCALE times 640x480 (default 1; clicks scaled, screenshots brought
back to 640x480 by the middle pixel of each: with an odd SCALE that pixel
shows a scaled picture's own), with the GAME_ARGs on the game's command line.
Plays a copy of RUNTIME_FOLDER's dexlora, system/ and skins/Standard/. Exits 0
when every step passed, 1 naming the failed step (its last screenshot kept in
KEEP_FOLDER), 77 when Xvfb, xdotool or ImageMagick is missing."""

import ctypes
import os
import pathlib
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

W, H = 640, 480
SCALE = int(sys.argv[4]) if len(sys.argv) > 4 else 1  # the screen's size in 640x480 screens
GAME_ARGS = sys.argv[5:]
BUDGET_S = 200  # below the test's time-out, so that a slow run still names its step
QUESTION, KANA = "しつちじゃんっ", "し"  # the one question; its し gets a new spelling
# The question in other spellings, taken once F2 has switched flexible romaji on.
FLEXIBLE = "shitsuchijan'xtu"
OPTIONS_LINE = (150, 440, 600, 462)  # where the standard skin shows the options
ROMAJI_LINE = (40, 238, 600, 266)  # where the standard skin draws the romaji
UNTYPED, TYPED = (168, 220, 255), (245, 143, 180)
RANK_AT = (504, 158)  # where the rank seal comes to rest in the result window
PLOT = (50, 114, 590, 196)  # the records chart; the latest game at its right edge
EXTRAS, PINK = {"speed and accuracy": (508, 236, 618, 268), "weakest kana": (326, 300, 480, 314)}, (247, 179, 203)
GRID_TOPS, CELL_W, CELL_H, ROWS, COLUMNS = (10, 210), 43, 37, 5, 14


class Failed(Exception):
    """A step the game did not pass."""


def text(path):
    return pathlib.Path(path).read_bytes().decode("cp932")


def rome_entries(path):
    """The kana of a romaji table's entries, in file order."""
    lines, kana = text(path).split("\r\n"), []
    while len(lines) > 1 and lines[1].isdigit():
        kana.append(lines[0])
        lines = lines[int(lines[1]) + 3:]
    return kana


def picture(path):
    """(width, height, RGB bytes) of a picture, read by ImageMagick."""
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    _, size, _, rgb = ppm.split(b"\n", 3)
    return (*map(int, size.split()), rgb)


def pixel(pic, x, y):
    return pic[2][(y * pic[0] + x) * 3:(y * pic[0] + x) * 3 + 3]


def close(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def share(shot, pic, at=None, step=16):
    """Share of the picture's sampled points the shot shows: a background, or
    a sprite at `at` without its transparent colour (its top-left pixel)."""
    key, (ax, ay) = (pixel(pic, 0, 0), at) if at else (None, (0, 0))
    points = [(x, y) for y in range(0, pic[1], step) for x in range(0, pic[0], step) if pixel(pic, x, y) != key]
    return sum(close(pixel(shot, x + ax, y + ay), pixel(pic, x, y), 12) for x, y in points) / len(points)


def romaji(shot):
    """The columns of the romaji line in the untyped and in the typed colour."""
    left, top, right, bottom = ROMAJI_LINE
    return [[x for x in range(left, right) if any(close(pixel(shot, x, y), colour, 16) for y in range(top, bottom))]
            for colour in (UNTYPED, TYPED)]


class Player:
    def __init__(self, runtime, checker, keep):
        self.checker, self.keep, self.start = checker, keep, time.monotonic()
        self.step_name, self.shot, self.xvfb, self.game = "setting up", None, None, None
        self.tmp = tempfile.mkdtemp(prefix="dexlora-e2e-")
        self.root, self.system, self.skin = (os.path.join(self.tmp, "game", *p) for p in ([], ["system"], ["skins", "Test"]))
        shutil.copytree(os.path.join(runtime, "system"), self.system, ignore=shutil.ignore_patterns("KeyConf.txt"))
        shutil.copytree(os.path.join(runtime, "skins", "Standard"), self.skin)
        shutil.copy2(os.path.join(runtime, "dexlora"), self.root)
        pathlib.Path(self.skin, "type.txt").write_bytes(f"{QUESTION}\r\n{QUESTION}\r\n\r\n".encode("cp932"))
        pathlib.Path(self.system, "System.ini").write_bytes(f"[System]\r\nSkinPath={self.skin}\r\n".encode("cp932"))
        self.pictures = {name: picture(os.path.join(self.skin, name)) for name in ("Title.bmp", "game.jpg", "keyconf.jpg")}

    def step(self, name):
        print(f"{time.monotonic() - self.start:6.1f} s  {name}", flush=True)
        self.step_name = name

    def spawn(self, args, **kw):
        # Killed from outside, the test takes its X server and game with it
        # (PR_SET_PDEATHSIG); their messages go to the test's output.
        return subprocess.Popen(args, stdout=subprocess.DEVNULL, **kw,
                                preexec_fn=lambda: ctypes.CDLL(None).prctl(1, signal.SIGKILL))

    def start_x(self):
        read_end, write_end = os.pipe()
        self.xvfb = self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{W * SCALE}x{H * SCALE}x24",
                                "-nolisten", "tcp"], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:  # Xvfb writes its display number once it takes clients
            number = pipe.readline() if select.select([pipe], [], [], 30)[0] else b""
        if not re.fullmatch(rb"\d+\n", number):
            raise Failed("Xvfb did not start")
        self.env = dict({k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "SDL_"))},
                        DISPLAY=":" + number.decode().strip())

    def x(self, *args):
        if args[0] == "mousemove":
            args = (args[0], str(int(args[1]) * SCALE), str(int(args[2]) * SCALE), *args[3:])
        subprocess.run(["xdotool", *args], env=self.env, stdout=subprocess.DEVNULL, check=True, timeout=30)

    def take_shot(self):
        rgb = subprocess.check_output(["import", "-window", "root", "-depth", "8", "rgb:-"], env=self.env, timeout=20)
        if SCALE > 1:  # the middle pixel of each SCALE x SCALE square
            line, mid, shrunk = W * SCALE * 3, SCALE // 2, bytearray(W * H * 3)
            for y in range(H):
                row = rgb[(y * SCALE + mid) * line:(y * SCALE + mid + 1) * line]
                for c in range(3):
                    shrunk[y * W * 3 + c:(y + 1) * W * 3:3] = row[mid * 3 + c::SCALE * 3]
            rgb = bytes(shrunk)
        self.shot = (W, H, rgb)
        return self.shot

    def wait_for(self, what, why_not, timeout=30, interval=0.05):
        """Polls screenshots until why_not(shot) answers None; a failure quotes
        its last answer."""
        deadline = min(time.monotonic() + timeout, self.start + BUDGET_S)
        while (why := why_not(self.take_shot())) is not None:
            if self.game.poll() is not None:
                raise Failed(f"the game ended with status {self.game.returncode}")
            if time.monotonic() > deadline:
                raise Failed(f"{what} not shown within {timeout} s: {why}")
            time.sleep(interval)
        return self.shot

    def scene(self, name, least=0.95, shot=None):
        s = share(shot or self.shot, self.pictures[name])
        return None if s >= least else f"{name} shows at {s:.0%} of its points (needs {least:.0%})"

    def spelling(self):
        out = subprocess.check_output([self.checker, self.system, os.path.join(self.skin, "type.txt")], text=True, timeout=30)
        if not out.startswith(QUESTION + "\t"):
            raise Failed(f"dexlora-check answers {out!r}")
        return out.strip().split("\t")[1].lower()

    def play(self):
        kana = rome_entries(os.path.join(self.system, "Rome.ini"))
        entries, index = len(kana) + len(rome_entries(os.path.join(self.system, "Rome2.ini"))), kana.index(KANA)

        self.step("chooser")
        self.start_x()
        self.game = self.spawn([os.path.join(self.root, "dexlora"), *GAME_ARGS], cwd=self.root,
                               env=dict(self.env, HOME=self.tmp, SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER="dummy"))
        self.x("search", "--sync", "--onlyvisible", "--name", "^Skin", "windowfocus")  # it takes the keys
        self.wait_for("the chooser", lambda s: None if len(set(s[2][::301 // SCALE ** 2])) > 30 else "a blank screen")
        self.x("key", "Return")

        self.step("key configuration")
        self.x("search", "--sync", "--onlyvisible", "--name", "^DexloraSoftware$", "windowfocus")
        self.x("key", "k")
        before = self.wait_for("the key configuration", lambda s: self.scene("keyconf.jpg", 0.85))
        os.remove(os.path.join(self.system, "System.ini"))  # read at the start; the end writes it again
        grid, (c, r) = index // (ROWS * COLUMNS), divmod(index % (ROWS * COLUMNS), ROWS)
        left, top = 10 + CELL_W * c, GRID_TOPS[grid] + CELL_H * r
        rows = range(top + 1, top + CELL_H - 1)
        cell = lambda shot: b"".join(shot[2][(y * W + left + 1) * 3:(y * W + left + CELL_W - 1) * 3] for y in rows)
        # One xdotool command each: the X server takes the move before the presses.
        self.x("mousemove", str(left + 20), str(top + 18), "click", "--repeat", "2", "--delay", "80", "1")
        self.wait_for(f"a new spelling in the cell of {KANA}",
                      lambda s: None if cell(s) != cell(before) else "the cell did not change", 10)
        self.x("mousemove", "570", "445", "click", "--repeat", "2", "--delay", "80", "1")  # Exit Configure
        self.wait_for("the title", lambda s: self.scene("Title.bmp"))
        typing = self.spelling()  # KeyConf.txt as Exit Configure wrote it

        self.step(f"thirty-second game typing {typing}")
        self.x("key", "d")

        untyped = romaji(self.wait_for("the question", lambda s: self.scene("game.jpg", 0.6, s) or (
            None if romaji(s)[0] and not romaji(s)[1] else "no romaji, or the typed colour before any key")))[0]
        left, width = min(untyped), max(untyped) + 1 - min(untyped)
        wrong = [k for k in "qzxvb" if k not in typing]
        self.x("type", "--delay", "40", wrong[0] + wrong[1] + typing[:2])

        def two_typed(shot):
            # Two characters of the romaji's average width in the typed colour.
            chars = (max(typed) + 1 - left) * len(typing) / width if (typed := romaji(shot)[1]) else 0
            return None if 1.5 <= chars <= 2.5 else f"a typed part {chars:.1f} characters long, not 2"

        self.wait_for("two typed characters", two_typed, 10)
        time.sleep(0.6)  # a wrong key shakes the line for a moment (Game.ini, [Miss])
        typed = romaji(self.take_shot())[1]
        self.x("type", wrong[2])
        time.sleep(0.6)
        if romaji(self.take_shot())[1] != typed:
            raise Failed("a wrong key moved the typed part")
        self.x("type", "--delay", "40", typing[2:] + typing * 11)

        self.step("result")
        self.wait_rank(((20 * (12 * len(typing) - 2) + 6) * 12 - 2 * 3) / 1000)  # 12 clears, 3 misses

        self.step("records")
        self.x("key", "space")
        self.wait_for("the title", lambda s: self.scene("Title.bmp", 0.9))
        self.x("key", "F3")
        game = pathlib.Path(self.tmp, ".local", "share", "dexlora", "history.tsv").read_text().splitlines()[1:]
        kpm, accuracy = (float(f) for f in game[-1].split("\t")[9:11])
        top = max(100, -(-kpm // 100) * 100)
        colour = lambda key: tuple(int(c) for c in re.search(rf"^{key}=(.*)\r", text(os.path.join(self.skin, "records.ini")), re.M)[1].split(","))
        left, ptop, right, bottom = PLOT

        def one_point(shot):
            # The one game recorded: its two figures at the chart's right edge, nothing of its colours before them.
            points = [(colour(key), bottom - 1 - round(min(value, 1) * (bottom - ptop - 1)))
                      for key, value in (("SpeedColor", kpm / top), ("AccuracyColor", accuracy))]
            stray = [(x, y) for x in range(left, right - 4) for y in range(ptop, bottom) for c, _ in points
                     if close(pixel(shot, x, y), c, 12)]
            found = all(close(pixel(shot, right - 1, y), c, 12) for c, y in points)
            return None if len(game) == 1 and found and not stray else f"{len(game)} games, points {found}, stray {stray[:3]}"

        self.wait_for(f"the game ({kpm} keys per minute, accuracy {accuracy}) in the records", one_point, 10)
        self.x("key", "space")
        self.wait_for("the title", lambda s: self.scene("Title.bmp", 0.9))

        self.step("F2 on the title: flexible romaji")
        # The line's text ends elsewhere once F2 has switched it (the title's animation never draws in its colour).
        colour = tuple(int(c) for c in re.search(r"^FontColor=(.*)\r", text(os.path.join(self.skin, "title.ini")).split("[OptionsLine]")[1], re.M)[1].split(","))
        left, top, right, bottom = OPTIONS_LINE
        end = lambda shot: max((x for x in range(left, right) for y in range(top, bottom) if close(pixel(shot, x, y), colour, 40)), default=None)
        before = end(self.wait_for("the options line", lambda s: None if end(s) else "none drawn yet", 10))
        self.x("key", "F2")
        self.wait_for("the options line switched", lambda s: None if end(s) not in (None, before) else f"the line still ends at {end(s)}", 10)

        self.step(f"thirty-second flexible game typing {FLEXIBLE}")
        self.x("key", "d")
        self.wait_for("the question", lambda s: self.scene("game.jpg", 0.6, s) or (
            None if romaji(s)[0] and not romaji(s)[1] else "no romaji, or the typed colour before any key"))
        self.x("type", "--delay", "40", FLEXIBLE * 5)
        # 5 clears in one run of every key: one key refused would break the
        # run, and 4 clears or a shorter run earn the rank below.
        self.wait_rank((20 * 5 * len(FLEXIBLE) + 6) * 5 / 1000)

        self.step("Esc and the files written, both games in the history")
        self.x("key", "Escape")
        if self.game.wait(20):
            raise Failed(f"the game ended with status {self.game.returncode}")
        history = pathlib.Path(self.tmp, ".local", "share", "dexlora", "history.tsv").read_text().splitlines()
        if [line.split("\t")[1:3] for line in history[1:]] != [["30", "0"], ["30", "1"]]:
            raise Failed(f"the history is not a header and two games of 30 s, the second flexible: {history}")

        if f"SkinPath={self.skin}\r\n" not in text(os.path.join(self.system, "System.ini")):
            raise Failed("System.ini does not name the chosen skin")
        if text(os.path.join(self.system, "KeyConf.txt")) != "".join("01"[i == index] + "\r\n" for i in range(entries)):
            raise Failed(f"KeyConf.txt is not {entries} lines of 0 with 1 in line {index + 1}")

    def wait_rank(self, mastery):
        """Waits for the rank seal that mastery earns in the result window."""
        points = [int(p) for p in re.search(r"^Point=(.*)\r", text(os.path.join(self.skin, "result.ini")), re.M)[1].split(",")]
        rank = next((r for r, p in enumerate(points) if p <= mastery), len(points))
        seals = [picture(os.path.join(self.skin, f"rank{r + 1}.bmp")) for r in range(len(points) + 1)]

        def result(shot):
            # The rank seal falls into the result window once it takes a key.
            matches = [share(shot, seal, RANK_AT, 2) for seal in seals]
            if not max(matches) == matches[rank] >= 0.9:
                return f"rank seals match {[f'{m:.0%}' for m in matches]}"
            return next((f"no {name} in pink" for name, (left, top, right, bottom) in EXTRAS.items() if not any(
                close(pixel(shot, x, y), PINK, 40) for y in range(top, bottom) for x in range(left, right))), None)

        self.wait_for(f"rank {rank + 1} for mastery {mastery}", result, 60, 0.5)

    def fail(self, message):
        print(f"FAILED at step \"{self.step_name}\": {message}", file=sys.stderr)
        if self.shot:
            path = os.path.join(self.keep, "failed-" + re.sub(r"\W", "-", self.step_name, flags=re.A) + ".png")
            subprocess.run(["convert", "-size", f"{W}x{H}", "-depth", "8", "rgb:-", path], input=self.shot[2])
            print(f"last screenshot kept at {path}", file=sys.stderr)

    def stop(self):
        # The game at once; Xvfb by SIGTERM, so that it removes its lock file.
        for proc in filter(None, (self.game, self.xvfb)):
            proc.kill() if proc is self.game else proc.terminate()
            proc.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)


def main():
    if missing := [tool for tool in ("Xvfb", "xdotool", "import", "convert") if not shutil.which(tool)]:
        print(f"SKIPPED: needs {', '.join(missing)} (apt-get install xvfb xdotool imagemagick)", file=sys.stderr)
        return 77
    player = Player(*sys.argv[1:4])
    try:
        player.play()
        return 0
    except Exception as e:  # a fault of the test itself still names its step
        player.fail(str(e) if isinstance(e, Failed) else f"{type(e).__name__}: {e}")
        return 1
    finally:
        player.stop()


if __name__ == "__main__":
    sys.exit(main())
