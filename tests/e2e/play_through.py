#!/usr/bin/env python3
"""Plays Dexlora in a real X window as a player would: its own Xvfb, real
keys and double clicks through xdotool, each scene recognised by pixels it
knows from the skin, and the files the game writes checked afterwards.

Usage: play_through.py RUNTIME_FOLDER DEXLORA_CHECK [KEEP_FOLDER]

RUNTIME_FOLDER holds the built dexlora with system/ and skins/Standard/; the
test plays a copy of it, so the files it writes start from a known state.
Exits 0 when every step passed, 1 naming the step that failed (with the last
screenshot kept in KEEP_FOLDER), 77 when Xvfb, xdotool or ImageMagick is
missing."""

import ctypes
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# The source tree stays clean: no bytecode cache beside the test.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import screen  # noqa: E402

SKIP = 77
# The whole play, kept below the test's own time-out so that a slow run still
# fails here, naming its step, and cleans up.
BUDGET_S = 200
WIDTH, HEIGHT = 640, 480
CHOOSER_CAPTION = "Skinディレクトリ選択"
MAIN_CAPTION = "DexloraSoftware"

# The one question of the test skin: its romaji follows the choice for し,
# which the key configuration changes.
QUESTION = "しか"
CHANGED_KANA = "し"

# Where the standard skin draws what (its settings files and pictures).
TEXT_WINDOW_AT = (20, 170)              # window.bmp where its slide ends
ROMAJI_RECT = (40, 238, 600, 266)       # the romaji line inside the text window
TYPED_COLOUR = (245, 143, 180)          # QuestionFontColor3
UNTYPED_COLOUR = (168, 220, 255)        # QuestionFontColor2
TITLE_TEXT_RECT = (200, 280, 600, 304)  # TitleText1, drawn in 255,214,110
TITLE_TEXT_COLOUR = (255, 214, 110)
RESULT_WINDOW_AT = (304, 106)           # resultwin.bmp where it comes to rest
BIG_CHARA_AT = (11, 220)                # chara.bmp where it comes to rest
RANK_AT = (504, 158)                    # the rank picture where its fall ends
GRID_TOPS = (10, 210)                   # the two 14x5 grids of 43x37 cells at x 10
CELL_W, CELL_H, COLUMNS, ROWS = 43, 37, 14, 5
EXIT_CONFIGURE = (570, 445)

_libc = ctypes.CDLL(None, use_errno=True)


def die_with_parent():
    # A test killed from outside must not leave its X server or game behind.
    _libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


class StepFailed(Exception):
    pass


def read_cp932_lines(path):
    with open(path, "rb") as f:
        return f.read().decode("cp932").split("\r\n")


def rome_entries(path):
    """The entries of a romaji table: (kana, [spellings]) in file order."""
    lines = read_cp932_lines(path)
    entries = []
    i = 0
    while i + 1 < len(lines) and lines[i + 1].strip().isdigit():
        count = int(lines[i + 1])
        entries.append((lines[i], lines[i + 2:i + 2 + count]))
        i += count + 3
    return entries


def ini_value(path, section, key):
    current = None
    for line in read_cp932_lines(path):
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = line[1:-1]
        elif current == section and "=" in line and line.split("=", 1)[0] == key:
            return line.split("=", 1)[1]
    return None


class Player:
    def __init__(self, checker, keep):
        self.checker = checker
        self.keep = keep
        self.tmp = tempfile.mkdtemp(prefix="dexlora-e2e-")
        self.root = os.path.join(self.tmp, "game")
        self.home = os.path.join(self.tmp, "home")
        self.skin = os.path.join(self.root, "skins", "Test")
        self.system = os.path.join(self.root, "system")
        self.xvfb = None
        self.game = None
        self.display = None
        self._step = "setting up"
        self.started = time.monotonic()
        self.budget_end = self.started + BUDGET_S
        self.last_shot = None
        self.logs = []

    @property
    def step(self):
        return self._step

    @step.setter
    def step(self, name):
        now = time.monotonic()
        print(f"{now - self.started:6.1f} s  {name}", flush=True)
        self._step = name

    # --- set-up and tear-down -------------------------------------------

    def prepare(self, runtime):
        os.makedirs(self.home)
        os.makedirs(os.path.join(self.root, "skins"))
        shutil.copy2(os.path.join(runtime, "dexlora"), self.root)
        shutil.copytree(os.path.join(runtime, "system"), self.system)
        for written in ("System.ini", "KeyConf.txt"):
            if os.path.exists(os.path.join(self.system, written)):
                os.remove(os.path.join(self.system, written))
        shutil.copytree(os.path.join(runtime, "skins", "Standard"), self.skin)
        with open(os.path.join(self.skin, "type.txt"), "wb") as f:
            f.write(f"{QUESTION}\r\n{QUESTION}\r\n\r\n".encode("cp932"))
        with open(os.path.join(self.system, "System.ini"), "wb") as f:
            f.write(f"[System]\r\nSkinPath={self.skin}\r\n".encode("cp932"))
        self.rome = rome_entries(os.path.join(self.system, "Rome.ini"))
        self.rome2 = rome_entries(os.path.join(self.system, "Rome2.ini"))
        self.pictures = {name: screen.read_picture(os.path.join(self.skin, name))
                         for name in ("Title.bmp", "game.jpg", "result.jpg", "keyconf.jpg", "window.bmp",
                                      "resultwin.bmp", "chara.bmp")}
        self.everywhere = screen.grid_points(0, 0, WIDTH, HEIGHT, 16)

    def log(self, name):
        f = open(os.path.join(self.tmp, name), "wb")
        self.logs.append(f)
        return f

    def read_log(self, name):
        with open(os.path.join(self.tmp, name), errors="replace") as f:
            return f.read().strip()

    def start_x(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{WIDTH}x{HEIGHT}x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=self.log("xvfb.log"),
            preexec_fn=die_with_parent)
        os.close(write_end)
        # Xvfb writes the display number it took once it accepts clients.
        number = b""
        deadline = self.deadline(20)
        try:
            while not number.endswith(b"\n"):
                ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
                chunk = os.read(read_end, 16) if ready else b""
                if not chunk:
                    raise StepFailed(f"Xvfb did not start: {self.read_log('xvfb.log')[-500:] or 'no message'}")
                number += chunk
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()

    def start_game(self):
        env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "SDL_"))}
        env.update(DISPLAY=self.display, HOME=self.home, SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER="dummy")
        self.game = subprocess.Popen([os.path.join(self.root, "dexlora")], cwd=self.root, env=env,
                                     stdout=subprocess.DEVNULL, stderr=self.log("dexlora.log"),
                                     preexec_fn=die_with_parent)

    def stop(self):
        for proc in (self.game, self.xvfb):
            if proc is not None and proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        for f in self.logs:
            f.close()

    # --- X -----------------------------------------------------------

    def xdotool(self, *args, check=True):
        env = dict(os.environ, DISPLAY=self.display)
        out = subprocess.run(["xdotool", *args], env=env, capture_output=True, timeout=20)
        out.stdout, out.stderr = (text.decode("utf-8", errors="replace") for text in (out.stdout, out.stderr))
        if check and out.returncode != 0:
            raise StepFailed(f"xdotool {' '.join(args)}: {out.stderr.strip()}")
        return out.stdout

    def shot(self):
        env = dict(os.environ, DISPLAY=self.display)
        out = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env, capture_output=True,
                             timeout=20)
        if out.returncode != 0:
            raise StepFailed(f"import: {out.stderr.decode(errors='replace').strip()}")
        self.last_shot = screen.parse_ppm(out.stdout)
        return self.last_shot

    def game_alive(self):
        if self.game.poll() is not None:
            raise StepFailed(f"the game ended with status {self.game.returncode}")

    def deadline(self, timeout):
        return min(time.monotonic() + timeout, self.budget_end)

    def window(self, caption, timeout):
        """Polls for a visible window of the caption; its id."""
        deadline = self.deadline(timeout)
        while time.monotonic() < deadline:
            self.game_alive()
            # xdotool's name patterns miss non-ASCII captions: compare here.
            for window in self.xdotool("search", "--onlyvisible", "--pid", str(self.game.pid), check=False).split():
                if self.xdotool("getwindowname", window, check=False).rstrip("\n") == caption:
                    return window
            time.sleep(0.1)
        raise StepFailed(f"no window \"{caption}\" within {timeout} s")

    def wait_for(self, what, test, timeout, interval=0.05):
        """Polls screenshots until test(shot) answers None (shown); it
        answers why not otherwise, which the failure quotes."""
        deadline = self.deadline(timeout)
        while True:
            self.game_alive()
            why = test(self.shot())
            if why is None:
                return self.last_shot
            if time.monotonic() > deadline:
                raise StepFailed(f"{what} not shown within {timeout} s: {why}")
            time.sleep(interval)

    def keys(self, *names):
        self.xdotool("key", "--delay", "40", *names)

    def type(self, text):
        self.xdotool("type", "--delay", "40", text)

    def double_click(self, x, y):
        # One command: the X server takes the move before the presses.
        self.xdotool("mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "80", "1")

    # --- scenes by their pixels --------------------------------------

    def background(self, shot, name, points, least):
        share = screen.share_like(shot, self.pictures[name], points)
        return None if share >= least else f"{name} shows at {share:.0%} of its points (needs {least:.0%})"

    def sprite(self, shot, name, at, least, step=4):
        picture = self.pictures[name]
        share = screen.share_like(shot, picture, screen.opaque_points(picture, step), at=at)
        return None if share >= least else f"{name} at {at} shows at {share:.0%} (needs {least:.0%})"

    def outside(self, *rects):
        return [(x, y) for x, y in self.everywhere
                if not any(l <= x < r and t <= y < b for l, t, r, b in rects)]

    def title_shown(self, shot):
        return (self.background(shot, "Title.bmp", self.everywhere, 0.95)
                or (None if screen.colour_columns(shot, TITLE_TEXT_RECT, TITLE_TEXT_COLOUR) else "no title text"))

    def game_shown(self, shot):
        window = self.pictures["window.bmp"]
        wx, wy = TEXT_WINDOW_AT
        rect = (wx, wy, wx + window.width, wy + window.height)
        return (self.background(shot, "game.jpg", self.outside(rect), 0.95)
                or self.sprite(shot, "window.bmp", TEXT_WINDOW_AT, 0.95))

    def romaji(self, shot):
        """Columns of the romaji line in the untyped and the typed colour."""
        return (screen.colour_columns(shot, ROMAJI_RECT, UNTYPED_COLOUR),
                screen.colour_columns(shot, ROMAJI_RECT, TYPED_COLOUR))

    def result_shown(self, shot, rank):
        rw, cw = self.pictures["resultwin.bmp"], self.pictures["chara.bmp"]
        rx, ry = RESULT_WINDOW_AT
        cx, cy = BIG_CHARA_AT
        why = (self.background(shot, "result.jpg",
                               self.outside((rx, ry, rx + rw.width, ry + rw.height),
                                            (0, cy, cx + cw.width, HEIGHT)), 0.85)
               or self.sprite(shot, "resultwin.bmp", RESULT_WINDOW_AT, 0.7)
               or self.sprite(shot, "chara.bmp", BIG_CHARA_AT, 0.9))
        if why:
            return why
        # The rank picture drops into the result window once the result is
        # ready for a key; each rank's own picture tells them apart.
        scores = {r: screen.share_like(shot, picture, screen.opaque_points(picture, 2), at=RANK_AT)
                  for r, picture in self.ranks.items()}
        best = max(scores, key=scores.get)
        if scores[rank] < 0.9 or best != rank:
            return f"rank picture {rank + 1} not in place (matches: " + \
                   ", ".join(f"rank{r + 1} {s:.0%}" for r, s in sorted(scores.items())) + ")"
        return None

    def grid_lines(self):
        points = []
        for top in GRID_TOPS:
            bottom = top + ROWS * CELL_H
            for c in range(COLUMNS):
                for x in (10 + CELL_W * c, 10 + CELL_W * (c + 1) - 1):
                    points += [(x, y) for y in range(top, bottom, 5)]
            for w in range(ROWS):
                for y in (top + CELL_H * w, top + CELL_H * (w + 1) - 1):
                    points += [(x, y) for x in range(10, 10 + CELL_W * COLUMNS, 5)]
        return points

    def keyconf_shown(self, shot):
        lines = self.grid_lines()
        black = sum(1 for p in lines if screen.close(shot.pixel(*p), (0, 0, 0), 8))
        if black < len(lines):
            return f"{len(lines) - black} of {len(lines)} grid line points are not black"
        grids = [(10, top, 10 + CELL_W * COLUMNS, top + CELL_H * ROWS) for top in GRID_TOPS]
        return self.background(shot, "keyconf.jpg", self.outside(*grids, (300, 430, 620, 460)), 0.95)

    # --- the play --------------------------------------------------------

    def run(self):
        self.step = "reading the question with the checker"
        kana = {k: spellings for k, spellings in self.rome}
        index = next(i for i, (k, _) in enumerate(self.rome) if k == CHANGED_KANA)
        spellings = kana[CHANGED_KANA]
        if len(spellings) < 2:
            raise StepFailed(f"{CHANGED_KANA} has one spelling only; the test changes it")
        first = spellings[0] + kana["か"][0]
        changed = spellings[1] + kana["か"][0]
        self.expect_romaji(first)
        points = [int(p) for p in ini_value(os.path.join(self.skin, "result.ini"), "Rank", "Point").split(",")]
        self.ranks = {r: screen.read_picture(os.path.join(self.skin, f"rank{r + 1}.bmp"))
                      for r in range(len(points) + 1)}

        self.step = "starting Xvfb"
        self.start_x()
        self.start_game()

        self.step = "chooser"
        chooser = self.window(CHOOSER_CAPTION, 30)
        self.xdotool("mousemove", str(WIDTH // 2), str(HEIGHT // 2))
        self.xdotool("windowfocus", chooser, check=False)
        self.wait_for("the chooser", lambda s: None if len(set(s.crop(0, 0, WIDTH, HEIGHT)[::97])) > 8
                      else "a blank screen", 20)
        self.keys("Return")

        self.step = "title after the chooser"
        main = self.window(MAIN_CAPTION, 30)
        self.xdotool("windowfocus", main, check=False)
        self.wait_for("the title", self.title_shown, 30)
        # The game read System.ini when the chooser opened; it must write it
        # again when it ends.
        os.remove(os.path.join(self.system, "System.ini"))

        self.step = "one-second game"
        self.keys("s")
        self.wait_for("the typing scene", self.game_shown, 20)

        self.step = "result of the one-second game"
        self.wait_for("the result with nothing typed", lambda s: self.result_shown(s, self.rank(points, 0, 0, 0)),
                      30)
        self.keys("x")

        self.step = "title after the result"
        self.wait_for("the title", self.title_shown, 20)

        self.step = "key configuration"
        self.keys("k")
        before = self.wait_for("the key configuration", self.keyconf_shown, 20)

        self.step = f"double click on {CHANGED_KANA}"
        cell = self.cell_rect(index)
        self.double_click((cell[0] + cell[2]) // 2, (cell[1] + cell[3]) // 2)
        self.wait_for(f"a new spelling in the cell of {CHANGED_KANA}",
                      lambda s: None if s.crop(*cell) != before.crop(*cell) else "the cell did not change", 10)
        after = self.last_shot
        for other in range(70):
            rect = self.cell_rect(other)
            if other != index and after.crop(*rect) != before.crop(*rect):
                raise StepFailed(f"the cell of entry {other} changed too")

        self.step = "Exit Configure"
        self.double_click(*EXIT_CONFIGURE)
        self.wait_for("the title", self.title_shown, 20)
        self.expect_romaji(changed)

        self.step = "thirty-second game"
        self.xdotool("mousemove", str(WIDTH // 2), str(HEIGHT // 2))
        self.keys("d")
        self.play_thirty_seconds(changed)

        self.step = "result of the thirty-second game"
        misses = 3
        max_combo = len(changed) - 2 + 11 * len(changed)
        # Most of the thirty seconds are still to run: look less often.
        self.wait_for("the result", lambda s: self.result_shown(s, self.rank(points, max_combo, 12, misses)), 60,
                      interval=0.5)
        self.keys("x")

        self.step = "title after the second result"
        self.wait_for("the title", self.title_shown, 20)

        self.step = "Esc"
        self.keys("Escape")
        try:
            status = self.game.wait(20)
        except subprocess.TimeoutExpired:
            raise StepFailed("the game did not end within 20 s of Esc")
        if status != 0:
            raise StepFailed(f"the game ended with status {status}")

        self.step = "files written"
        self.check_files(index)
        # Load messages do not fail the play, but a skin author wants them.
        log = self.read_log("dexlora.log")
        if log:
            print("the game's standard error:\n" + log)

    def play_thirty_seconds(self, romaji):
        wrong = [c for c in "QZXJ" if c not in romaji]

        def question_shown(shot):
            why = self.game_shown(shot)
            if why:
                return why
            untyped, typed = self.romaji(shot)
            if typed:
                return "typed colour before any key"
            return None if untyped else "no romaji"

        untyped, _ = self.romaji(self.wait_for("the question", question_shown, 20))
        start, width = min(untyped), max(untyped) + 1 - min(untyped)
        # Two wrong keys, two right ones, a wrong one where the third is due.
        self.type((wrong[0] + wrong[1] + romaji[:2]).lower())

        def two_typed(shot):
            # The screenshot may come before the game has shown the second
            # key: wait for a typed part between one and a half and two and a
            # half characters of the romaji's average width.
            _, typed = self.romaji(shot)
            if not typed or min(typed) > start + 2:
                return "no typed colour at the start of the romaji"
            chars = (max(typed) + 1 - start) * len(romaji) / width
            return None if 1.5 <= chars <= 2.5 else f"a typed part {chars:.1f} characters long, not 2"

        typed = self.romaji(self.wait_for("two typed characters in their colour", two_typed, 10))[1]
        self.type(wrong[2].lower())
        time.sleep(0.3)
        if self.romaji(self.shot())[1] != typed:
            raise StepFailed("a wrong key moved the typed part")
        # The rest of the question and eleven more: the next question starts
        # untyped each time.
        self.type((romaji[2:] + romaji * 11).lower())
        self.wait_for("the next question untyped",
                      lambda s: None if not self.romaji(s)[1] and self.romaji(s)[0] else "typed colour stays", 10)

    def rank(self, points, max_combo, clears, misses):
        mastery = ((20 * max_combo + 6) * clears - 2 * misses) / 1000
        return next((r for r, p in enumerate(points) if p <= mastery), len(points))

    def cell_rect(self, index):
        grid, rest = divmod(index, COLUMNS * ROWS)
        c, w = divmod(rest, ROWS)
        left, top = 10 + CELL_W * c, GRID_TOPS[grid] + CELL_H * w
        return (left + 1, top + 1, left + CELL_W - 1, top + CELL_H - 1)

    def expect_romaji(self, romaji):
        out = subprocess.run([self.checker, self.system, os.path.join(self.skin, "type.txt")], capture_output=True,
                             timeout=30)
        lines = out.stdout.decode("utf-8", errors="replace").splitlines()
        if out.returncode != 0 or lines != [f"{QUESTION}\t{romaji}"]:
            raise StepFailed(f"the checker spells the question {lines} (status {out.returncode}), not {romaji}")

    def check_files(self, index):
        """System.ini and KeyConf.txt, where the next start reads them: the
        player's folder first, else the system folder."""
        user = os.path.join(self.home, ".config", "dexlora")

        def written(name):
            for folder in (user, self.system):
                path = os.path.join(folder, name)
                if os.path.isfile(path):
                    return path
            raise StepFailed(f"no {name} written")

        skin_path = ini_value(written("System.ini"), "System", "SkinPath")
        if skin_path != self.skin:
            raise StepFailed(f"System.ini holds SkinPath={skin_path!r}, not {self.skin!r}")
        with open(written("KeyConf.txt"), "rb") as f:
            data = f.read()
        expected = ["0"] * (len(self.rome) + len(self.rome2))
        expected[index] = "1"
        if data != "".join(n + "\r\n" for n in expected).encode():
            lines = data.split(b"\r\n")
            raise StepFailed(f"KeyConf.txt has {len(lines) - 1} lines, entry {index} {lines[index:index + 1]}, "
                             f"not {len(expected)} lines of 0 with 1 at entry {index}")

    # --- reporting ---------------------------------------------------------

    def report_failure(self, message):
        print(f"FAILED at step \"{self.step}\": {message}", file=sys.stderr)
        if self.last_shot is not None:
            os.makedirs(self.keep, exist_ok=True)
            path = os.path.join(self.keep, "failed-" + "".join(c if c.isalnum() else "-" for c in self.step) + ".png")
            screen.write_png(path, self.last_shot)
            print(f"last screenshot kept at {path}", file=sys.stderr)
        if self.game is not None:
            log = self.read_log("dexlora.log")
            if log:
                print("the game's standard error:\n" + log, file=sys.stderr)


def terminated(*_):
    raise StepFailed("terminated from outside (time-out)")


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    missing = [tool for tool in ("Xvfb", "xdotool", "import", "convert") if shutil.which(tool) is None]
    if missing:
        print(f"SKIPPED: the real-window test needs {', '.join(missing)} "
              "(apt-get install xvfb xdotool imagemagick)", file=sys.stderr)
        return SKIP
    runtime, checker = sys.argv[1], sys.argv[2]
    keep = sys.argv[3] if len(sys.argv) > 3 else os.getcwd()
    # Stopped from outside, the test cleans up as on a failure; killed, it
    # takes Xvfb and the game with it (die_with_parent).
    signal.signal(signal.SIGTERM, terminated)
    started = time.monotonic()
    player = Player(checker, keep)
    try:
        player.prepare(runtime)
        player.run()
        print(f"played through in {time.monotonic() - started:.1f} s")
        return 0
    except StepFailed as e:
        player.report_failure(str(e))
        return 1
    except Exception as e:  # a fault of the test itself still names its step
        player.report_failure(f"{type(e).__name__}: {e}")
        return 1
    finally:
        player.stop()
        shutil.rmtree(player.tmp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
