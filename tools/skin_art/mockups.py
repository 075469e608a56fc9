"""Pictures of each screen as the game composes it, for checking by eye."""
import math
import os
import subprocess

from .base import H, INK, KEY, PGOTHIC, ROOT, convert, font_file, label, skin_file, text_width, tmp
from .layout import CHARA_SIZE, GAME, RESULT, RESULT_WINDOW, TEXT_WINDOW, title_texts
from .settings import animation_files


class Sprite:
    """The game's sprite rules, enough to say where a sprite is and which cell it shows."""
    drawn = 0

    def __init__(self, e):
        self.e = e
        self.x, self.y = float(e["StartX"]), float(e["StartY"])
        self.tc, self.frame, self.reverse, self.moves = 0, 0, False, 0
        self.ended = self.started = False
        self.count = e["Column"] * e["Row"]

    def tick(self):
        e = self.e
        self.tc += 1
        if not self.started:
            if self.tc > e["Wait"]:
                self.started, self.tc = True, 0
            return
        if self.ended:
            return
        self.x += e["DX"]
        self.y += e["DY"]
        self.moves += 1
        if self.moves > e["MoveCount"] - 1:
            self.ended = True
        if self.tc > e["Time"]:
            self.tc = 1
            if e["Mode"] == 0:
                self.frame = (self.frame + 1) % self.count
            elif not self.reverse:
                self.frame += 1
                if self.frame >= self.count:
                    self.frame, self.reverse = self.count - 1, True
            else:
                self.frame -= 1
                if self.frame < 0:
                    self.frame, self.reverse = 0, False

    def visible(self):
        return self.started and (not self.ended or self.e["VisibleAfterMoveEnd"] != 0)

    def layer(self, ticks):
        for _ in range(ticks):
            self.tick()
        if not self.visible():
            return None
        e = self.e
        path = skin_file(e["FileName"])
        sw, sh = map(int, subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True,
                                         check=True).stdout.split())
        cw, ch = sw // e["Column"], sh // e["Row"]
        c, r = self.frame % e["Column"], self.frame % e["Row"]
        Sprite.drawn += 1
        out = tmp("cell_%d.png" % Sprite.drawn)
        convert(path, "-crop", "%dx%d+%d+%d" % (cw, ch, c * cw, r * ch), "+repage", "-transparent", KEY, out)
        return out, math.floor(self.x), math.floor(self.y)


def sprites(entries, ticks):
    return [l for l in (Sprite(e).layer(ticks) for e in entries) if l]


def text_layer(text, font, points, colour, x, y):
    out = tmp("txt_%d_%d_%d.png" % (x, y, len(text)))
    label(text, font_file(font), points, colour, out)
    return out, x, y


def compose(background, layers, dst):
    args = [skin_file(background)]
    for pic, x, y in layers:
        args += [pic, "-geometry", "%+d%+d" % (x, y), "-compose", "over", "-composite"]
    convert(*args, "-crop", "640x480+0+0", "+repage", dst)


def mockups(folder):
    files = animation_files()
    texts = [text_layer(t["text"], t["font"], t["points"], t["colour"], t["x"], t["y"]) for t in title_texts()]
    compose("Title.bmp", sprites(files["Title_BackAnime.ini"], 400) + texts + sprites(files["Title_FrontAnime.ini"], 400),
            os.path.join(folder, "title.png"))

    g = GAME
    window = (skin_file("window.bmp"), TEXT_WINDOW["x"], TEXT_WINDOW["y"])
    convert(window[0], "-transparent", KEY, tmp("window.png"))
    for name, question, romaji, typed, left in [
            ("game.png", "猿も木から落ちる", "SARUMOKIKARAOTIRU", 7, "42"),
            ("game_longest.png", "週末に家族でキャンプに行き、夜は焚き火を囲んで星を眺めました。",
             "SYUUMATUNIKAZOKUDEKYANPUNIIKI,YORUHATAKIBIWOKAKONDEHOSIWONAGAMEMASITA.", 30, "8")]:
        layers = sprites(files["Game_BackAnime.ini"], 900) + [(tmp("window.png"), window[1], window[2])]
        layers.append(text_layer(question, g["question_font"], g["question_points"], g["colour1"], *g["question"]))
        layers.append(text_layer(romaji, g["question_font"], g["question_points"], g["colour2"], *g["rome"]))
        layers.append(text_layer(romaji[:typed], g["question_font"], g["question_points"], g["colour3"], *g["rome"]))
        layers.append(text_layer(left, g["time_font"], g["time_points"], g["time_colour"], *g["time"]))
        layers += sprites(files["Game_FrontAnime.ini"], 530)
        compose("game.jpg", layers, os.path.join(folder, name))

    r = RESULT
    convert(skin_file("resultwin.bmp"), "-transparent", KEY, tmp("resultwin.png"))
    convert(skin_file("chara.bmp"), "-transparent", KEY, tmp("chara.png"))
    cw, ch = CHARA_SIZE
    chara_x = -cw + 21 * (cw // 20)
    for rank, figures in [(1, ("186", "3", "24", "108.732")), (4, ("31", "12", "9", "9.21")), (6, ("7", "25", "2", "0.242"))]:
        layers = sprites(files["Rank%dBack.ini" % rank], 260) + [(tmp("resultwin.png"), RESULT_WINDOW["x"], RESULT_WINDOW["y"])]
        layers.append(text_layer(r["enter"][0], r["font"], r["points"], "#ffffff", r["enter"][1], r["enter"][2]))
        for (label_text, x, y), value in zip([r["maxcombo"], r["miss"], r["clear"]], figures):
            layers.append(text_layer(label_text + value, r["font"], r["points"], r["colour"], x, y))
        layers.append(text_layer(r["rate"][0] + figures[3] + r["suffix"], r["font"], r["points"], r["colour"],
                                 r["rate"][1], r["rate"][2]))
        layers.append((tmp("chara.png"), chara_x, H - ch))
        layers += sprites(files["Rank%dFront.ini" % rank], 260)
        compose("result.jpg", layers, os.path.join(folder, "result_rank%d.png" % rank))

    keyconf_mockup(os.path.join(folder, "keyconf.png"))


def keyconf_mockup(dst):
    entries = []
    lines = open(os.path.join(ROOT, "system", "Rome.ini"), "rb").read().decode("cp932").split("\r\n")
    i = 0
    while i + 1 < len(lines) and len(entries) < 140:
        kana, count = lines[i], int(lines[i + 1] or 0)
        spellings = lines[i + 2:i + 2 + count]
        entries.append((kana, spellings[0] if spellings else ""))
        i += 3 + count
    cmds = ["-fill", "none", "-stroke", "black", "-strokewidth", "1"]
    for top in (10, 210):
        for c in range(14):
            for w in range(5):
                x, y = 10 + 43 * c, top + 37 * w
                cmds += ["-draw", "rectangle %d,%d %d,%d" % (x, y, x + 42, y + 36)]
    for l, r in [(300, 400), (410, 510), (520, 620)]:
        cmds += ["-draw", "rectangle %d,430 %d,459" % (l, r - 1)]
    convert(skin_file("keyconf.jpg"), *cmds, tmp("k_grid.png"))
    layers = []
    a_height = 12
    for i, (kana, spelling) in enumerate(entries):
        c, w = (i % 70) // 5, i % 5
        x, y = 10 + 43 * c, 20 + round(37 * 5.4) * (i // 70) + 37 * w
        if kana:
            layers.append(text_layer(kana, "ＭＳ Ｐゴシック", 9, INK, x + round((43 - text_width(kana, PGOTHIC, 9)) / 2), y - 5))
        if spelling:
            layers.append(text_layer(spelling, "ＭＳ Ｐゴシック", 9, INK,
                                     x + round((43 - text_width(spelling, PGOTHIC, 9)) / 2), y + a_height - 5))
    for text, x in [("Key 1", 330), ("Key 2", 440), ("Exit Configure", 522)]:
        layers.append(text_layer(text, "ＭＳ Ｐゴシック", 9, INK, x, 435))
    args = [tmp("k_grid.png")]
    for pic, x, y in layers:
        args += [pic, "-geometry", "+%d+%d" % (x, y), "-compose", "over", "-composite"]
    convert(*args, dst)
