"""The four backgrounds and every sprite sheet."""
import math
import random
import subprocess

from .base import (CREAM, GOLD, H, HILL_NEAR, ICE, PANEL_EDGE, PGOTHIC, PINK, PINK_DEEP, SKY_LOW, SKY_MID, W, convert,
                   hills, label, panel, place, skin_file, sky, stars, text_width, tmp, tree, write_bmp, write_jpeg,
                   write_sheet)
from .layout import CHARA_SIZE, RANKS, RESULT_WINDOW, TEXT_WINDOW, TIME_BADGE, TITLE_PANEL


# ---------------------------------------------------------------- backgrounds

def logo(dst):
    """The game's name for the title picture."""
    label("Dexlora", PGOTHIC, 54, CREAM, tmp("logo_text.png"))
    convert(tmp("logo_text.png"), "-bordercolor", "none", "-border", "16",
            "(", "+clone", "-background", PINK_DEEP, "-shadow", "90x6+0+0", ")",
            "+swap", "-background", "none", "-layers", "merge", "+repage", dst)


def title_background(dst):
    sky(tmp("t_sky.png"), 11, moon=(574, 66, 30), avoid=(TITLE_PANEL,))
    hills(tmp("t_sky.png"), tmp("t_hills.png"))
    tree(tmp("t_hills.png"), tmp("t_tree.png"), 21, 92, 444, low_cluster=False)
    logo(tmp("logo.png"))
    label("タイピング練習　Japanese typing practice", PGOTHIC, 11, PINK, tmp("subtitle.png"))
    lw = int(subprocess.run(["identify", "-format", "%w", tmp("logo.png")], capture_output=True, text=True,
                            check=True).stdout)
    sw = text_width("タイピング練習　Japanese typing practice", PGOTHIC, 11)
    cx = (TITLE_PANEL[0] + TITLE_PANEL[2]) // 2
    place(tmp("t_tree.png"), tmp("t_logo.png"), [(tmp("logo.png"), cx - lw // 2, 70),
                                                  (tmp("subtitle.png"), cx - sw // 2, 172)])
    convert(tmp("t_logo.png"), "-stroke", PINK, "-strokewidth", "1",
            "-draw", "line %d,%d %d,%d" % (cx - 150, 196, cx + 150, 196), tmp("t_line.png"))
    panel(tmp("t_line.png"), tmp("t_panel.png"), *TITLE_PANEL)
    write_bmp(tmp("t_panel.png"), dst)


def game_background(dst):
    bx0, by0, bx1, by1 = TIME_BADGE
    sky(tmp("g_sky.png"), 12, moon=(404, 64, 26), avoid=((bx0 - 10, 0, W, by1 + 10),))
    hills(tmp("g_sky.png"), tmp("g_hills.png"), far_y=392, near_y=432)
    tree(tmp("g_hills.png"), tmp("g_tree.png"), 31, 604, 470, mirror=True)
    tree(tmp("g_tree.png"), tmp("g_tree2.png"), 41, 20, 500)
    panel(tmp("g_tree2.png"), tmp("g_badge.png"), bx0, by0, bx1, by1, radius=10)
    label("のこり  TIME", PGOTHIC, 8, PINK, tmp("g_time.png"))
    place(tmp("g_badge.png"), tmp("g_all.png"), [(tmp("g_time.png"), bx0 + 10, by0 + 5)])
    write_jpeg(tmp("g_all.png"), dst)


def result_background(dst):
    sky(tmp("r_sky.png"), 13, moon=(212, 60, 28))
    hills(tmp("r_sky.png"), tmp("r_hills.png"), far_y=396, near_y=440)
    tree(tmp("r_hills.png"), tmp("r_tree.png"), 51, 560, 470, mirror=True)
    write_jpeg(tmp("r_tree.png"), dst)


def keyconf_background(dst):
    """Pale paper where the black grid and the dark texts are drawn, over a strip
    of the night sky that holds the help and the buttons' light faces."""
    rnd = random.Random(61)
    cmds = []
    for _ in range(60):  # faint petals scattered over the paper
        x, y = rnd.randrange(0, W), rnd.randrange(0, 396)
        r = rnd.randrange(3, 7)
        cmds += ["-fill", rnd.choice(["#f6dde6", "#f3d3df", "#efe2ea"]),
                 "-draw", "ellipse %d,%d %d,%d 0,360" % (x, y, r + 2, r)]
    strip = 400
    convert("-size", "%dx%d" % (W, strip), "gradient:#fdf8f0-#f6e9ea",
            "-size", "%dx%d" % (W, H - strip), "gradient:%s-%s" % (SKY_MID, SKY_LOW), "-append", *cmds,
            *stars(62, 24, strip + 4, H - 6, avoid=((0, strip, 292, H), (296, 426, 624, 464))),
            # the two grids: cells slightly lighter than the paper
            "-fill", "#fffdf8", "-draw", "rectangle 10,10 612,195", "-draw", "rectangle 10,210 612,395",
            "-fill", "#eedbe6", "-draw", "rectangle 0,198 640,206",
            "-fill", PINK_DEEP, "-draw", "rectangle 0,%d 640,%d" % (strip, strip + 1),
            # the buttons' faces, inside the boxes the game draws
            "-fill", "#fbe3ec", "-draw", "rectangle 300,430 400,460", "-draw", "rectangle 410,430 510,460",
            "-fill", "#dfe9fb", "-draw", "rectangle 520,430 620,460",
            tmp("k_base.png"))
    label("キー設定　Key configuration", PGOTHIC, 12, CREAM, tmp("k_h1.png"))
    label("マスをダブルクリックすると綴りが切り替わります。", PGOTHIC, 9, PINK, tmp("k_h2.png"))
    label("Double-click a cell for its next spelling.", PGOTHIC, 9, PINK, tmp("k_h3.png"))
    label("Key 1：かな　Key 2：きゃ・ふぁ など　Exit：保存して戻る", PGOTHIC, 8, "#c8b8e0", tmp("k_h4.png"))
    place(tmp("k_base.png"), tmp("k_all.png"), [(tmp("k_h1.png"), 14, 404), (tmp("k_h2.png"), 14, 426),
                                                 (tmp("k_h3.png"), 14, 442), (tmp("k_h4.png"), 14, 461)])
    write_jpeg(tmp("k_all.png"), dst)


# ---------------------------------------------------------------- sprite sheets

def cell_of(frame, cols, rows):
    """Where the game shows a frame: column frame mod cols, row frame mod rows."""
    return frame % cols, frame % rows


def sheet(frames, cols, rows, cw, ch, matte, dst):
    """Lays frame pictures (with alpha) out in the game's visiting order."""
    assert math.gcd(cols, rows) == 1 and len(frames) == cols * rows
    args = ["-size", "%dx%d" % (cols * cw, rows * ch), "xc:none"]
    for f, pic in enumerate(frames):
        c, r = cell_of(f, cols, rows)
        args += [pic, "-geometry", "+%d+%d" % (c * cw, r * ch), "-compose", "over", "-composite"]
    convert(*args, tmp("sheet.png"))
    write_sheet(tmp("sheet.png"), matte, dst)


def art(name, w, h, cmds, scale=4):
    """One frame drawn at a larger scale and reduced, for smooth edges."""
    path = tmp(name + ".png")
    convert("-size", "%dx%d" % (w * scale, h * scale), "xc:none", *cmds, "-resize", "%dx%d!" % (w, h), path)
    return path


def petal_cmds(cx, cy, length, width, angle, fill, vein, s=4):
    """A cherry petal: rounded, with a notch at its outer end, turned by angle."""
    pts = []
    for i in range(0, 41):
        t = i / 40 * 2 * math.pi
        x = math.sin(t) * width / 2
        y = -math.cos(t) * length / 2
        if abs(x) < width * 0.14 and y < 0:
            y += length * 0.16 * (1 - abs(x) / (width * 0.14))  # the notch
        y *= 1 + 0.25 * (y > 0) * 0  # keep the base round
        pts.append((x, y))
    a = math.radians(angle)
    rot = [(cx + (x * math.cos(a) - y * math.sin(a)), cy + (x * math.sin(a) + y * math.cos(a))) for x, y in pts]
    poly = " ".join("%.1f,%.1f" % (x * s, y * s) for x, y in rot)
    x0, y0 = cx - math.sin(-a) * length * 0.05, cy - math.cos(a) * length * 0.05
    return ["-stroke", "#7a2e55", "-strokewidth", str(0.8 * s), "-fill", fill, "-draw", "polygon " + poly,
            "-stroke", vein, "-strokewidth", str(0.7 * s),
            "-draw", "line %.1f,%.1f %.1f,%.1f" % (cx * s, cy * s, x0 * s + math.sin(a) * length * 0.2 * s,
                                                   y0 * s - math.cos(a) * length * 0.2 * s),
            "-stroke", "none"]


def make_petals():
    # Four views of one tumbling petal; back and forth makes it flutter.
    frames = []
    for i, (angle, squash) in enumerate([(-20, 1.0), (15, 0.75), (50, 0.5), (85, 0.3)]):
        frames.append(art("petal%d" % i, 32, 32, petal_cmds(16, 16, 22, 15 * squash + 2, angle, PINK, "#fbd7e4")))
    sheet(frames, 4, 1, 32, 32, SKY_MID, skin_file("petal.bmp"))
    frames = []
    for i, (angle, squash) in enumerate([(30, 1.0), (70, 0.6), (110, 0.3)]):
        frames.append(art("spetal%d" % i, 20, 20, petal_cmds(10, 10, 13, 9 * squash + 1.5, angle, "#fbd0df", "#ffffff")))
    sheet(frames, 3, 1, 20, 20, SKY_MID, skin_file("petal_s.bmp"))


def star_cmds(c, radius, inner, colour, s=4):
    pts = []
    for i in range(8):
        r = radius if i % 2 == 0 else inner
        a = i * math.pi / 4
        pts.append("%.1f,%.1f" % ((c + math.sin(a) * r) * s, (c - math.cos(a) * r) * s))
    return ["-fill", colour, "-draw", "polygon " + " ".join(pts)]


def make_twinkle():
    # Six frames on a sheet of 3 columns and 2 rows: a star swells and fades.
    sizes = [2.5, 5, 8, 11, 7, 4]
    frames = []
    for f, size in enumerate(sizes):
        cmds = ["-fill", "rgba(255,240,210,1)", "-draw", "circle %d,%d %d,%d" % (48, 48, 48 + 8, 48)]
        cmds += star_cmds(12, size, max(1.2, size / 4.5), "#fff6dc")
        frames.append(art("twinkle%d" % f, 24, 24, cmds))
    sheet(frames, 3, 2, 24, 24, SKY_MID, skin_file("twinkle.bmp"))


def make_sparkle():
    # Ten frames on 5 columns and 2 rows: a golden glint that turns as it grows.
    frames = []
    for f in range(10):
        size = [2.5, 5, 7, 9.5, 12, 13.5, 14.5, 13, 9.5, 5.5][f]
        turn = f * 9
        cmds = ["-fill", "rgba(255,214,110,1)"]
        pts = []
        for i in range(8):
            r = size if i % 2 == 0 else size / 5
            a = math.radians(turn + i * 45)
            pts.append("%.1f,%.1f" % ((16 + math.sin(a) * r) * 4, (16 - math.cos(a) * r) * 4))
        cmds += ["-draw", "polygon " + " ".join(pts), "-fill", "#fffbe8",
                 "-draw", "circle 64,64 %d,64" % (64 + max(4, size * 1.2))]
        frames.append(art("sparkle%d" % f, 32, 32, cmds))
    sheet(frames, 5, 2, 32, 32, SKY_MID, skin_file("sparkle.bmp"))


def make_cloud():
    cmds = ["-fill", "#3a3468"]
    for x, y, r in [(40, 44, 20), (70, 32, 26), (108, 28, 30), (146, 36, 24), (176, 44, 18), (100, 48, 22)]:
        cmds += ["-draw", "circle %d,%d %d,%d" % (x * 4, y * 4, (x + r) * 4, y * 4)]
    cmds += ["-fill", "#4c4680"]
    for x, y, r in [(70, 28, 20), (108, 22, 24), (146, 32, 17)]:
        cmds += ["-draw", "circle %d,%d %d,%d" % (x * 4, y * 4, (x + r) * 4, y * 4)]
    cmds += ["-fill", "#3a3468", "-draw", "rectangle %d,%d %d,%d" % (40 * 4, 44 * 4, 176 * 4, 62 * 4)]
    frame = art("cloud", 220, 64, cmds)
    convert(frame, "-resize", "180x52!", frame)
    sheet([frame], 1, 1, 180, 52, SKY_MID, skin_file("cloud.bmp"))


def make_shooting_star():
    # Three rows: the tail flickers while the star crosses the sky.
    frames = []
    for f, length in enumerate([70, 84, 60]):
        cmds = []
        hx, hy = 14, 40  # head at the lower left: it flies left and down, its tail up and right
        for k in range(12):
            t = k / 11
            x = hx + length * t
            y = hy - length * 0.43 * t
            cmds += ["-fill", "rgba(255,240,220,%.2f)" % max(0.55, 1 - t),
                     "-draw", "circle %.1f,%.1f %.1f,%.1f" % (x * 4, y * 4, (x + 3.2 * (1 - t) + 0.8) * 4, y * 4)]
        cmds += ["-fill", "#ffffff", "-draw", "circle %d,%d %d,%d" % (hx * 4, hy * 4, (hx + 4) * 4, hy * 4)]
        frames.append(art("shoot%d" % f, 100, 48, cmds))
        convert(frames[-1], "-resize", "80x40!", frames[-1])
    sheet(frames, 1, 3, 80, 40, SKY_MID, skin_file("shooting.bmp"))


def make_firework():
    """Twelve frames on 4 columns and 3 rows: a shell rises, bursts in gold and
    pink, and fades, then a short pause."""
    size, c = 64, 32
    frames = []
    for f in range(12):
        cmds = []
        if f < 3:  # rising
            y = [58, 46, 34][f]
            cmds += ["-fill", "#fff3c4", "-draw", "circle %d,%d %d,%d" % (c * 4, y * 4, (c + 2) * 4, y * 4)]
            cmds += ["-fill", "#e0a040", "-draw", "rectangle %d,%d %d,%d" % ((c - 0.7) * 4, (y + 3) * 4, (c + 0.7) * 4, (y + 10) * 4)]
        elif f < 10:
            k = f - 3
            radius = [5, 10, 16, 21, 24, 26, 27][k]
            dot = [2.6, 2.6, 2.3, 2, 1.8, 1.5, 1.1][k]
            outer = ["#fff3c4", "#fff3c4", GOLD, GOLD, GOLD, "#e0a040", "#b07030"][k]
            inner = ["#ffffff", "#ffe3ee", PINK, PINK, PINK_DEEP, PINK_DEEP, "#a04a70"][k]
            droop = [0, 0, 1, 1.5, 2.5, 3.5, 5][k]
            for i in range(16):
                a = i * 2 * math.pi / 16
                x, y = c + math.cos(a) * radius, c - 3 + math.sin(a) * radius + droop
                cmds += ["-fill", outer, "-draw", "circle %.1f,%.1f %.1f,%.1f" % (x * 4, y * 4, (x + dot) * 4, y * 4)]
                if k >= 1:
                    b = a + math.pi / 16
                    x2, y2 = c + math.cos(b) * radius * 0.6, c - 3 + math.sin(b) * radius * 0.6 + droop * 0.6
                    cmds += ["-fill", inner,
                             "-draw", "circle %.1f,%.1f %.1f,%.1f" % (x2 * 4, y2 * 4, (x2 + dot * 0.7) * 4, y2 * 4)]
            if k < 2:
                cmds += ["-fill", "#ffffff", "-draw", "circle %d,%d %d,%d" % (c * 4, (c - 3) * 4, (c + 4 - 1.5 * k) * 4, (c - 3) * 4)]
        # frames 10 and 11 stay empty: a pause before the next shell
        frames.append(art("fw%d" % f, size, size, cmds or ["-fill", "none", "-draw", "point 0,0"]))
    sheet(frames, 4, 3, size, size, SKY_MID, skin_file("firework.bmp"))


def make_confetti():
    """Five frames of a paper strip turning over, each face another colour."""
    colours = [GOLD, PINK, ICE, "#c9b6f2", "#fff4e0"]
    frames = []
    for f, (colour, w) in enumerate(zip(colours, [10, 7, 3, 7, 10])):
        a = f * 30
        cmds = ["-fill", colour, "-stroke", "#2a1d46", "-strokewidth", "2",
                "-draw", "translate 32,32 rotate %d rectangle %d,-12 %d,12" % (a, -w * 2, w * 2)]
        frames.append(art("confetti%d" % f, 16, 16, cmds))
    sheet(frames, 5, 1, 16, 16, SKY_MID, skin_file("confetti.bmp"))


def window_art(name, w, h, title=None):
    """A rounded panel, lighter at the top, with a dark outline and a thin pink rim."""
    s = 2
    W2, H2 = w * s, h * s
    path = tmp(name + ".png")
    convert("-size", "%dx%d" % (W2, H2), "gradient:#1c2656-#0b1030",
            "(", "-size", "%dx%d" % (W2, H2), "xc:black", "-fill", "white",
            "-draw", "roundrectangle %d,%d %d,%d %d,%d" % (2 * s, 2 * s, (w - 3) * s, (h - 3) * s, 16 * s, 16 * s), ")",
            "-alpha", "off", "-compose", "CopyOpacity", "-composite",
            "-fill", "none", "-stroke", "#2a1d46", "-strokewidth", str(2 * s),
            "-draw", "roundrectangle %d,%d %d,%d %d,%d" % (2 * s, 2 * s, (w - 3) * s, (h - 3) * s, 16 * s, 16 * s),
            "-stroke", PANEL_EDGE, "-strokewidth", str(1.5 * s),
            "-draw", "roundrectangle %d,%d %d,%d %d,%d" % (6 * s, 6 * s, (w - 7) * s, (h - 7) * s, 12 * s, 12 * s),
            "-resize", "%dx%d!" % (w, h), path)
    if title:
        label(title, PGOTHIC, 11, PINK, tmp(name + "_title.png"))
        tw = text_width(title, PGOTHIC, 11)
        convert(path, tmp(name + "_title.png"), "-geometry", "+%d+%d" % ((w - tw) // 2, 14), "-compose", "over",
                "-composite", "-stroke", PINK_DEEP, "-strokewidth", "1",
                "-draw", "line %d,%d %d,%d" % (24, 38, w - 24, 38), path)
    return path


def make_windows():
    tw = TEXT_WINDOW
    sheet([window_art("textwin", tw["w"], tw["h"])], 1, 1, tw["w"], tw["h"], SKY_LOW, skin_file("window.bmp"))
    rw = RESULT_WINDOW
    sheet([window_art("resultwin", rw["w"], rw["h"], "RESULT　結果")], 1, 1, rw["w"], rw["h"], SKY_MID,
          skin_file("resultwin.bmp"))


def make_badges():
    """Each rank's seal, laid on the result window."""
    bw, bh = 104, 70
    for n, (_, kanji, english, fill, ink) in enumerate(RANKS, 1):
        points = 26 if len(kanji) < 3 else 20
        label(kanji, PGOTHIC, points, ink, tmp("b_k.png"), stroke=(ink, 1))
        label(english, PGOTHIC, 9, ink, tmp("b_e.png"))
        kw = text_width(kanji, PGOTHIC, points)
        ew = text_width(english, PGOTHIC, 9)
        convert("-size", "%dx%d" % (bw * 4, bh * 4), "xc:none", "-fill", fill, "-stroke", "#2a1d46",
                "-strokewidth", "8", "-draw", "roundrectangle 6,6 %d,%d 40,40" % (bw * 4 - 7, bh * 4 - 7),
                "-fill", "none", "-stroke", ink, "-strokewidth", "3",
                "-draw", "roundrectangle 22,22 %d,%d 30,30" % (bw * 4 - 23, bh * 4 - 23),
                "-resize", "%dx%d!" % (bw, bh),
                tmp("b_k.png"), "-geometry", "+%d+%d" % ((bw - kw) // 2, 6 if len(kanji) < 3 else 11),
                "-compose", "over", "-composite",
                tmp("b_e.png"), "-geometry", "+%d+%d" % ((bw - ew) // 2, 48), "-compose", "over", "-composite",
                tmp("badge%d.png" % n))
        sheet([tmp("badge%d.png" % n)], 1, 1, bw, bh, "#0d1330", skin_file("rank%d.bmp" % n))


def make_chara():
    """The large character: a white cat in a pink scarf, waving."""
    w, h = CHARA_SIZE  # drawn on a grid of 240 x 280, then reduced
    s = 2
    o = "#2a1d46"
    line = ["-stroke", o, "-strokewidth", str(3 * s)]

    def e(cx, cy, rx, ry, fill):
        return ["-fill", fill, "-draw", "ellipse %d,%d %d,%d 0,360" % (cx * s, cy * s, rx * s, ry * s)]

    cmds = ["-stroke", o, "-strokewidth", str(16 * s), "-fill", "none",
            "-draw", "path 'M %d,%d C %d,%d %d,%d %d,%d'" % (170 * s, 250 * s, 232 * s, 250 * s, 232 * s, 170 * s, 206 * s, 150 * s),
            "-stroke", "#fbf6f0", "-strokewidth", str(10 * s),
            "-draw", "path 'M %d,%d C %d,%d %d,%d %d,%d'" % (170 * s, 250 * s, 232 * s, 250 * s, 232 * s, 170 * s, 206 * s, 150 * s)]
    cmds += line + e(118, 218, 80, 58, "#fbf6f0")                       # body
    cmds += line + e(84, 268, 24, 11, "#fbf6f0") + e(150, 268, 24, 11, "#fbf6f0")  # feet
    cmds += line + ["-fill", "#fbf6f0", "-draw", "polygon %d,%d %d,%d %d,%d" % (54 * s, 96 * s, 58 * s, 22 * s, 108 * s, 64 * s),
                    "-draw", "polygon %d,%d %d,%d %d,%d" % (130 * s, 64 * s, 178 * s, 22 * s, 184 * s, 96 * s)]
    cmds += ["-stroke", "none", "-fill", "#f6b7cc",
             "-draw", "polygon %d,%d %d,%d %d,%d" % (64 * s, 80 * s, 64 * s, 40 * s, 96 * s, 64 * s),
             "-draw", "polygon %d,%d %d,%d %d,%d" % (142 * s, 64 * s, 172 * s, 40 * s, 174 * s, 80 * s)]
    cmds += line + e(118, 118, 74, 62, "#fbf6f0")                       # head
    cmds += ["-stroke", "none"] + e(116, 150, 48, 10, "#fbf6f0")
    cmds += ["-stroke", "none"] + e(92, 112, 9, 12, o) + e(144, 112, 9, 12, o)       # eyes
    cmds += e(95, 107, 3, 4, "#ffffff") + e(147, 107, 3, 4, "#ffffff")
    cmds += e(72, 136, 12, 7, "#f8c0d2") + e(166, 136, 12, 7, "#f8c0d2")              # cheeks
    cmds += e(118, 128, 5, 3.5, "#e07aa0")                                             # nose
    cmds += ["-stroke", o, "-strokewidth", str(2.5 * s), "-fill", "none",
             "-draw", "path 'M %d,%d Q %d,%d %d,%d Q %d,%d %d,%d'" % (106 * s, 136 * s, 112 * s, 146 * s, 118 * s, 134 * s,
                                                                   124 * s, 146 * s, 130 * s, 136 * s)]
    for y, dy in [(128, -4), (138, 0), (148, 5)]:                                     # whiskers
        cmds += ["-draw", "line %d,%d %d,%d" % (60 * s, y * s, 20 * s, (y + dy) * s),
                 "-draw", "line %d,%d %d,%d" % (176 * s, y * s, 216 * s, (y + dy) * s)]
    cmds += ["-stroke", o, "-strokewidth", str(3 * s), "-fill", PINK_DEEP,                 # scarf
             "-draw", "roundrectangle %d,%d %d,%d %d,%d" % (62 * s, 166 * s, 176 * s, 186 * s, 10 * s, 10 * s),
             "-draw", "polygon %d,%d %d,%d %d,%d %d,%d" % (80 * s, 178 * s, 64 * s, 222 * s, 84 * s, 226 * s, 98 * s, 184 * s)]
    cmds += line + e(196, 150, 19, 24, "#fbf6f0")                                      # raised paw
    cmds += ["-stroke", "none"] + e(196, 156, 7, 6, "#f6b7cc") + e(186, 140, 3.5, 4, "#f6b7cc") \
        + e(196, 136, 3.5, 4, "#f6b7cc") + e(206, 140, 3.5, 4, "#f6b7cc")
    cmds += petal_cmds(62, 36, 14, 10, -30, PINK, "#fbd7e4", s=s) + petal_cmds(74, 30, 14, 10, 40, PINK, "#fbd7e4", s=s)
    cmds += e(68, 36, 3, 3, GOLD)
    path = art("chara", 240, 280, cmds, scale=s)
    convert(path, "-resize", "%dx%d!" % (w, h), path)
    sheet([path], 1, 1, w, h, HILL_NEAR, skin_file("chara.bmp"))
