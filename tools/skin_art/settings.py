"""The settings files: Game.ini, result.ini, title.ini, keyconf.ini and the animation files."""
import math
import os
import random

from .base import CREAM, GOLD, H, ICE, INK, PANEL, PINK, PINK_DEEP, SKY_TOP, W, write_ini
from .layout import BADGE_X, BADGE_Y, FOREVER, GAME, RANKS, RESULT, RESULT_EXTRA, RESULT_WINDOW, TEXT_WINDOW, title_texts


SHEETS = {  # file: (columns, rows)
    "petal.bmp": (4, 1), "petal_s.bmp": (3, 1), "twinkle.bmp": (3, 2), "sparkle.bmp": (5, 2),
    "cloud.bmp": (1, 1), "shooting.bmp": (1, 3), "confetti.bmp": (5, 1),
    "firework.bmp": (4, 3),
}


def anim(file, x, y, dx=0.0, dy=0.0, time=1, mode=0, wait=0, moves=FOREVER, visible=1, sheet=None):
    cols, rows = SHEETS[file] if sheet is None else sheet
    return dict(FileName=file, StartX=x, StartY=y, DX=dx, DY=dy, Time=time, Mode=mode, Wait=wait,
                Column=cols, Row=rows, MoveCount=moves, VisibleAfterMoveEnd=visible)


def twinkles(points):
    """Stars that twinkle in place for as long as the scene lasts."""
    return [anim("twinkle.bmp", x, y, time=t, mode=m, wait=w) for x, y, t, m, w in points]


def falling(seed, count, span, x_range, small_share=0.4, dy_range=(0.6, 1.1), drift=(-0.6, -0.2), top=-32):
    """Petals falling from above the screen, one after another over span ticks;
    each leaves the picture at the bottom edge and is then no longer drawn."""
    rnd = random.Random(seed)
    out = []
    for i in range(count):
        small = rnd.random() < small_share
        dy = round(rnd.uniform(*dy_range), 2)
        dx = round(rnd.uniform(*drift), 2)
        moves = int(math.ceil((H - top + 4) / dy))
        x = rnd.randrange(*x_range) + int(-dx * moves * 0.3)
        wait = int(span * i / count + rnd.randrange(0, max(1, span // count)))
        out.append(anim("petal_s.bmp" if small else "petal.bmp", x, top, dx, dy,
                        time=rnd.randrange(5, 11), mode=1, wait=wait, moves=moves, visible=0))
    return out


def confetti(seed, count, span):
    rnd = random.Random(seed)
    out = []
    for i in range(count):
        dy = round(rnd.uniform(1.2, 2.2), 2)
        dx = round(rnd.uniform(-0.5, 0.5), 2)
        moves = int(math.ceil((H + 24) / dy))
        out.append(anim("confetti.bmp", rnd.randrange(0, 630), -20, dx, dy, time=rnd.randrange(3, 7),
                        mode=0, wait=int(span * i / count), moves=moves, visible=0))
    return out


def shooting(starts):
    return [anim("shooting.bmp", x, y, dx, dy, time=2, mode=0, wait=w, moves=m, visible=0)
            for x, y, dx, dy, m, w in starts]


def fireworks(items):
    return [anim("firework.bmp", x, y, time=t, mode=0, wait=w) for x, y, t, w in items]


def badge(rank):
    # The seal drops onto the window and stays there.
    return [anim("rank%d.bmp" % rank, BADGE_X, BADGE_Y - 72, 0, 8, wait=30, moves=9, visible=1, sheet=(1, 1))]


def animation_files():
    title_stars = [(262, 34, 5, 0, 0), (330, 16, 7, 1, 40), (470, 30, 6, 0, 80), (612, 126, 9, 1, 20),
                   (246, 226, 8, 0, 120), (520, 222, 4, 1, 60), (600, 214, 6, 0, 100), (432, 8, 10, 0, 10)]
    game_stars = [(40, 24, 6, 0, 0), (196, 52, 8, 1, 30), (300, 14, 5, 0, 70), (470, 118, 7, 1, 15),
                  (140, 124, 9, 0, 50), (560, 116, 6, 1, 90), (250, 112, 4, 0, 110)]
    result_stars = [(24, 110, 6, 0, 0), (120, 20, 8, 1, 30), (300, 40, 5, 0, 70), (420, 14, 7, 1, 15),
                    (560, 48, 9, 0, 50), (90, 170, 6, 1, 90)]
    files = {
        "Title_BackAnime.ini": twinkles(title_stars)
        + [anim("cloud.bmp", 640, 6, -0.25, 0, wait=120, moves=3500, visible=0),
           anim("cloud.bmp", 640, 26, -0.16, 0, wait=3000, moves=5500, visible=0)]
        + falling(101, 18, 5400, (40, 640)),
        "Title_FrontAnime.ini": [anim("sparkle.bmp", 262, 76, time=3, mode=1, wait=30),
                                 anim("sparkle.bmp", 470, 118, time=4, mode=1, wait=160)]
        + shooting([(640, -30, -8, 2.6, 80, 240), (600, -40, -9, 2.2, 72, 1700), (660, 0, -7, 2.0, 95, 3400)]),
        "Game_BackAnime.ini": twinkles(game_stars)
        + [anim("cloud.bmp", 640, 84, -0.2, 0, wait=200, moves=4300, visible=0)]
        + falling(202, 26, 3900, (20, 640)),
        "Game_FrontAnime.ini": shooting([(520, -44, -9, 1.3, 60, 500), (560, -40, -9, 1.1, 64, 2000),
                                         (500, -46, -8, 1.4, 64, 3300)])
        + [anim("sparkle.bmp", 598, 2, time=4, mode=1, wait=60)],
        "Result_BackAnime.ini": twinkles(result_stars),
        "Result_FrontAnime.ini": falling(303, 10, 3000, (20, 240)),
    }
    backs = [
        twinkles(result_stars) + fireworks([(10, 4, 4, 0), (130, 30, 5, 20), (300, -10, 3, 45),
                                            (430, -6, 4, 70), (540, 4, 5, 95), (40, 110, 4, 120)]),
        twinkles(result_stars) + fireworks([(40, 10, 5, 0), (340, -10, 4, 40), (510, 0, 5, 80)]),
        twinkles(result_stars) + fireworks([(80, 20, 5, 40)]),
        twinkles(result_stars) + [anim("cloud.bmp", -180, 30, 0.2, 0, wait=100, moves=4300, visible=0)],
        twinkles(result_stars[:4]) + [anim("cloud.bmp", -180, 30, 0.2, 0, wait=40, moves=4300, visible=0)],
        twinkles(result_stars[:2]) + [anim("cloud.bmp", -180, 20, 0.15, 0, wait=0, moves=5800, visible=0),
                                      anim("cloud.bmp", 640, 150, -0.12, 0, wait=200, moves=7200, visible=0)],
    ]
    fronts = [
        badge(1) + confetti(404, 36, 3800) + [anim("sparkle.bmp", BADGE_X - 16, BADGE_Y - 18, time=3, mode=1, wait=45),
                                               anim("sparkle.bmp", BADGE_X + 96, BADGE_Y + 56, time=4, mode=1, wait=70)],
        badge(2) + falling(405, 24, 3800, (20, 240), drift=(-0.5, -0.2))
        + [anim("sparkle.bmp", BADGE_X + 96, BADGE_Y - 18, time=4, mode=1, wait=60)],
        badge(3) + falling(406, 16, 3800, (20, 240), drift=(-0.5, -0.2)),
        badge(4) + falling(407, 10, 3800, (20, 240), drift=(-0.5, -0.2)),
        badge(5) + falling(408, 6, 3800, (20, 240), drift=(-0.5, -0.2)),
        badge(6) + falling(409, 3, 3000, (20, 240), dy_range=(0.4, 0.6), drift=(-0.3, -0.1)),
    ]
    for n, (b, f) in enumerate(zip(backs, fronts), 1):
        files["Rank%dBack.ini" % n] = b
        files["Rank%dFront.ini" % n] = f
    return files


PREFIX = {"twinkle": "t", "cloud": "c", "petal": "p", "sparkle": "k", "shooting": "s", "confetti": "f",
          "firework": "w", "rank": "r"}
DIGITS = "0123456789abcdefghijklmnopqrstuvwxyz"


def anim_ini(entries, sound=None):
    # The game reads at most 127 bytes of a value, so the list of names must fit
    # in that: each section gets a letter for its kind and one digit.
    counts = {}
    names = []
    for e in entries:
        kind = PREFIX[os.path.splitext(e["FileName"])[0].split("_")[0].rstrip("0123456789")]
        names.append(kind + DIGITS[counts.get(kind, 0)])
        counts[kind] = counts.get(kind, 0) + 1
    assert len(",".join(names)) <= 127, names
    lines = []
    if sound:
        lines += ["[Sound]", "First=" + sound, ""]
    lines += ["[setting]", "AnimeName=" + ",".join(names), ""]
    for name, e in zip(names, entries):
        lines.append("[%s]" % name)
        for key, value in e.items():
            lines.append("%s=%s" % (key, fmt(value)))
        lines.append("")
    return "\n".join(lines)


def fmt(v):
    if isinstance(v, float):
        return ("%.2f" % v).rstrip("0").rstrip(".") if v != int(v) else str(int(v))
    return str(v)


def rgb(colour):
    c = colour.lstrip("#")
    return "%d,%d,%d" % (int(c[0:2], 16), int(c[2:4], 16), int(c[4:6], 16))


def ini_text(sections):
    lines = []
    for section, keys in sections:
        lines.append("[%s]" % section)
        lines += ["%s=%s" % (k, fmt(v)) for k, v in keys]
        lines.append("")
    return "\n".join(lines)

def settings_files():
    tw = TEXT_WINDOW
    write_ini("Game.ini", ini_text([
        ("Wipe", [("In", "BoxIn"), ("Out", "BoxOut")]),
        ("TextWindow", [("FileName", "window.bmp"), ("StartX", tw["x"]), ("StartY", H), ("DX", 0), ("DY", -10),
                        ("Time", 1), ("Mode", 0), ("Wait", 0), ("Column", 1), ("Row", 1),
                        ("MoveCount", (H - tw["y"]) // 10)]),
        ("QuestionText", [("QuestionFontName", GAME["question_font"]), ("QuestionFontSize", GAME["question_points"]),
                          ("QuestionX", GAME["question"][0]), ("QuestionY", GAME["question"][1]),
                          ("QuestionFontColor1", rgb(GAME["colour1"])),
                          ("RomeX", GAME["rome"][0]), ("RomeY", GAME["rome"][1]),
                          ("QuestionFontColor2", rgb(GAME["colour2"])), ("QuestionFontColor3", rgb(GAME["colour3"]))]),
        ("Time", [("TimeFontName", GAME["time_font"]), ("TimeFontSize", GAME["time_points"]),
                  ("TimeFontColor", rgb(GAME["time_colour"])), ("TimeX", GAME["time"][0]), ("TimeY", GAME["time"][1])]),
        ("Sound", [("Type", "type.wav"), ("Complete", "complete.wav"), ("Miss", "miss.wav")]),
        ("Miss", [("MissFlash", 1), ("MissColor", rgb(GAME["miss_colour"])), ("MissTime", GAME["miss_ms"]),
                  ("MissShake", GAME["miss_shake"])]),
        ("BackGround", [("FileName", "game.jpg")]),
    ]))
    rw = RESULT_WINDOW
    r = RESULT
    write_ini("result.ini", ini_text([
        ("Wipe", [("In", "BoxIn")]),
        ("ResultWindow", [("FileName", "resultwin.bmp"), ("StartX", W), ("StartY", rw["y"]), ("DX", -14), ("DY", 0),
                          ("Time", 1), ("Mode", 0), ("Wait", 0), ("Column", 1), ("Row", 1),
                          ("MoveCount", (W - rw["x"]) // 14)]),
        ("ResultText", [("ResultFontName", r["font"]), ("ResultFontSize", r["points"]),
                        ("ResultFontColor", rgb(r["colour"])),
                        ("EnterText", r["enter"][0]), ("EnterX", r["enter"][1]), ("EnterY", r["enter"][2]),
                        ("MaxComboText", r["maxcombo"][0]), ("MaxComboX", r["maxcombo"][1]), ("MaxComboY", r["maxcombo"][2]),
                        ("MissText", r["miss"][0]), ("MissX", r["miss"][1]), ("MissY", r["miss"][2]),
                        ("ClearText", r["clear"][0]), ("ClearX", r["clear"][1]), ("ClearY", r["clear"][2]),
                        ("ResultText1", r["rate"][0]), ("Text1X", r["rate"][1]), ("Text1Y", r["rate"][2]),
                        ("ResultText2", r["suffix"])]),
        ("ResultExtra", [("FontSize", RESULT_EXTRA["points"]), ("FontColor", rgb(PINK))] +
         [pair for key, text, suffix, x, y in RESULT_EXTRA["items"]
          for pair in [(key + "Text", text)] + ([(key + "Suffix", suffix)] if suffix else []) + [(key + "X", x), (key + "Y", y)]]),
        ("Rank", [("Point", ",".join(str(p) for p, *_ in RANKS if p is not None)),
                  ("FileNameBack", ",".join("Rank%dBack" % n for n in range(1, len(RANKS) + 1))),
                  ("FileNameFront", ",".join("Rank%dFront" % n for n in range(1, len(RANKS) + 1)))]),
        ("BackGround", [("FileName", "result.jpg")]),
        ("Sound", [("First", "result.wav")]),
    ]))
    keys = []
    for n, t in enumerate(title_texts(), 1):
        p = "TitleText%d_" % n
        keys += [(p + "FontName", t["font"]), (p + "Text", t["text"]), (p + "FontSize", t["points"]),
                 (p + "X", t["x"]), (p + "Y", t["y"]), (p + "FontColor", rgb(t["colour"]))]
    write_ini("title.ini", ini_text([("Wipe", [("In", "BoxOut")]), ("TitleText", keys),
                                     ("BackGround", [("FileName", "Title.bmp")])]))
    write_ini("keyconf.ini", ini_text([
        ("TitleText", [("KeyConfFontName", "ＭＳ Ｐゴシック"), ("KeyConfFontSize", 9), ("KeyConfFontColor", rgb(INK))]),
        ("BackGround", [("FileName", "keyconf.jpg")]),
    ]))
    records_ini()
    # Every rank brings its own result sound: one that brought none would play
    # whichever sound the last result left behind.
    for name, entries in animation_files().items():
        sound = None
        if name.startswith("Rank") and name.endswith("Front.ini"):
            sound = "fanfare.wav" if name == "Rank1Front.ini" else "result.wav"
        write_ini(name, anim_ini(entries, sound=sound))


def records_ini():
    """The records scene over the result picture's night sky, in the panels' blue with the texts' cream and gold."""
    write_ini("records.ini", ini_text([
        ("RecordsText", [("RecordsFontName", "ＭＳ Ｐゴシック"), ("RecordsFontSize", 9), ("RecordsFontColor", rgb(CREAM)),
                         ("HeadFontColor", rgb(GOLD))]),
        ("Chart", [("PanelColor", rgb(PANEL)), ("PanelOpacity", 80), ("LineColor", rgb("#6a5f96")),
                   ("SpeedColor", rgb(GOLD)), ("AccuracyColor", rgb(ICE))]),
        ("HeatMap", [("ColdColor", rgb("#2b3f7a")), ("HotColor", rgb(PINK_DEEP))]),
        ("BackGround", [("FileName", "result.jpg"), ("BackColor", rgb(SKY_TOP))]),
    ]))
