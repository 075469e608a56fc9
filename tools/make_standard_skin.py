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
--check writes nothing: it checks the folder as it stands (see check()) and
exits 1 when it finds a problem.

Sprite sheets are 24-bit BMP files whose top-left pixel is the transparent key
colour. Their anti-aliased edges are blended towards the colour of the scene
behind the sprite, never towards the key colour, and a pixel is either exactly
the key colour or far from it; the script checks that before it finishes.
"""
import math
import os
import random
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GOTHIC = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"    # ＭＳ ゴシック in the game
PGOTHIC = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"  # MS UI Gothic, ＭＳ Ｐゴシック

KEY = "#00FF00"  # no picture of this skin uses a green anywhere near it
W, H = 640, 480

# The palette every screen shares.
SKY_TOP = "#080c22"
SKY_MID = "#1c1a46"
SKY_LOW = "#4a2c62"
HORIZON = "#8a4a78"
HILL_FAR = "#2a1d46"
HILL_NEAR = "#150f2a"
PANEL = "#121a3c"
PANEL_EDGE = "#f2a6c2"
CREAM = "#fff4e0"
PINK = "#f7b3cb"
PINK_DEEP = "#e07aa0"
GOLD = "#ffd66e"
ICE = "#a8dcff"
INK = "#1b2447"

ENV = dict(os.environ, MAGICK_THREAD_LIMIT="1", MAGICK_OCL_DEVICE="OFF", LC_ALL="C")
TMP = None


def run(*args):
    subprocess.run([str(a) for a in args], check=True, env=ENV)


def convert(*args):
    run("convert", *args)


def tmp(name):
    return os.path.join(TMP, name)


def px(points):
    """Pixels per em of a font size in points, as the game opens fonts."""
    return int(math.floor(points * 96 / 72 + 0.5))


def text_width(text, font, points):
    out = subprocess.run(["convert", "-density", "72", "-font", font, "-pointsize", str(px(points)),
                          "label:" + text, "-format", "%w", "info:"],
                         check=True, env=ENV, capture_output=True, text=True).stdout
    return int(out)


# ---------------------------------------------------------------- writers

def write_bmp(src, dst):
    """24-bit uncompressed BMP without metadata."""
    convert(src, "-alpha", "off", "-strip", "-type", "TrueColor", "BMP3:" + dst)


def write_jpeg(src, dst):
    convert(src, "-alpha", "off", "-strip", "-sampling-factor", "1x1", "-quality", "92",
            "-interlace", "None", "-density", "72", "-units", "PixelsPerInch", dst)


def write_sheet(art, matte, dst):
    """A sprite sheet from a picture with alpha: pixels at least half covered are
    blended over the matte (the colour the sprite will mostly sit on), the rest
    become the key colour."""
    convert(art,
            "(", "-clone", "0", "-alpha", "off", "-fill", KEY, "-colorize", "100", ")",
            "(", "-clone", "0", "-background", matte, "-alpha", "remove", "-alpha", "off", ")",
            "(", "-clone", "0", "-alpha", "extract", "-threshold", "50%", ")",
            "-delete", "0", "-compose", "over", "-composite",
            "-alpha", "off", "-strip", "-type", "TrueColor", "BMP3:" + dst)


def write_ini(name, text):
    """Settings and text files are CP932 with CR LF line ends."""
    data = text.strip("\n").replace("\n", "\r\n") + "\r\n"
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data.encode("cp932"))


def sox(dst, *effects, inputs=("-n",)):
    run("sox", "-R", "-D", *inputs, "-r", "22050", "-c", "1", "-b", "16", "-e", "signed-integer",
        dst, *effects)


# ---------------------------------------------------------------- drawing helpers

def stars(seed, count, top, bottom, avoid=()):
    """Draw commands for a field of small stars."""
    rnd = random.Random(seed)
    cmds = []
    while len(cmds) < count:
        x, y = rnd.randrange(4, W - 4), rnd.randrange(top, bottom)
        if any(l <= x <= r and t <= y <= b for l, t, r, b in avoid):
            continue
        level = rnd.random()
        grey = int(150 + 105 * level)
        tint = rnd.choice([(0, 0, 0), (0, 10, 30), (30, 10, 0)])
        colour = "rgb(%d,%d,%d)" % (max(0, grey - tint[2]), max(0, grey - tint[1] // 2), min(255, grey))
        if level > 0.85:
            cmds += ["-fill", colour, "-draw", "circle %d,%d %d,%d" % (x, y, x + 1, y)]
        else:
            cmds += ["-fill", colour, "-draw", "point %d,%d" % (x, y)]
    return cmds


def sky(dst, seed, horizon=400, star_count=110, moon=(540, 78, 34), avoid=()):
    """The night sky shared by the four screens, with stars and a moon."""
    convert("-size", "%dx%d" % (W, 150), "gradient:%s-%s" % (SKY_TOP, SKY_MID),
            "-size", "%dx%d" % (W, 170), "gradient:%s-%s" % (SKY_MID, SKY_LOW),
            "-size", "%dx%d" % (W, H - 320), "gradient:%s-%s" % (SKY_LOW, HORIZON),
            "-append", tmp("grad.png"))
    mx, my, mr = moon
    convert(tmp("grad.png"), *stars(seed, star_count, 0, horizon - 40, avoid + ((mx - 70, my - 70, mx + 70, my + 70),)),
            # moon glow and the moon with a few soft marks
            "(", "-size", "%dx%d" % (W, H), "xc:none", "-fill", "rgba(255,236,200,0.35)",
            "-draw", "circle %d,%d %d,%d" % (mx, my, mx + mr + 26, my), "-blur", "0x18", ")",
            "-compose", "over", "-composite",
            "-fill", "#fff1d2", "-draw", "circle %d,%d %d,%d" % (mx, my, mx + mr, my),
            "-fill", "#efdcb8", "-draw", "circle %d,%d %d,%d" % (mx - 10, my - 6, mx - 2, my - 6),
            "-draw", "circle %d,%d %d,%d" % (mx + 12, my + 10, mx + 17, my + 10),
            "-draw", "circle %d,%d %d,%d" % (mx + 4, my - 16, mx + 8, my - 16),
            dst)


def hills(src, dst, far_y=380, near_y=420):
    """Two layers of hills along the bottom edge."""
    far = "M 0,%d C 120,%d 220,%d 330,%d C 430,%d 520,%d 640,%d L 640,480 L 0,480 Z" % (
        far_y + 10, far_y - 30, far_y - 20, far_y + 5, far_y + 30, far_y - 25, far_y - 5)
    near = "M 0,%d C 140,%d 260,%d 380,%d C 480,%d 560,%d 640,%d L 640,480 L 0,480 Z" % (
        near_y + 5, near_y + 30, near_y - 20, near_y + 10, near_y + 35, near_y + 10, near_y + 25)
    convert(src, "-fill", HILL_FAR, "-draw", "path '%s'" % far, "-fill", HILL_NEAR, "-draw", "path '%s'" % near, dst)


def blossoms(seed, cx, cy, rx, ry, count, scale=1.0):
    """Draw commands for a cloud of blossoms around (cx, cy): a shaded underside,
    then lighter flowers, then a few bright highlights on top."""
    rnd = random.Random(seed)
    layers = [(["#b8557f", "#c9668f"], 0.9, 6), (["#f29bbb", "#f7b3cb", "#e887aa"], 1.0, 0),
              (["#fbd0df", "#ffe3ec"], 0.55, -4)]
    cmds = []
    for shades, share, dy in layers:
        for _ in range(int(count * share)):
            a = rnd.random() * 2 * math.pi
            d = math.sqrt(rnd.random())
            x = cx + math.cos(a) * rx * d
            y = cy + math.sin(a) * ry * d + dy * (0.5 + d)
            r = (1.8 + rnd.random() * 3.2) * scale
            cmds += ["-fill", rnd.choice(shades), "-draw", "circle %.1f,%.1f %.1f,%.1f" % (x, y, x + r, y)]
    return cmds


def tree(src, dst, seed, base_x, base_y, mirror=False, low_cluster=True):
    """A cherry tree in blossom; its trunk stands on the hills."""
    s = -1 if mirror else 1

    def X(v):
        return base_x + s * v

    trunk = "M %d,%d C %d,%d %d,%d %d,%d L %d,%d C %d,%d %d,%d %d,%d Z" % (
        X(-14), base_y, X(-10), base_y - 60, X(-30), base_y - 110, X(-18), base_y - 170,
        X(-6), base_y - 172, X(-12), base_y - 110, X(10), base_y - 60, X(14), base_y)
    branches = [
        (X(-16), base_y - 150, X(-80), base_y - 200, X(-120), base_y - 205),
        (X(-14), base_y - 160, X(30), base_y - 220, X(80), base_y - 230),
        (X(-18), base_y - 168, X(-40), base_y - 250, X(-20), base_y - 290),
    ]
    if low_cluster:
        branches.append((X(-4), base_y - 110, X(40), base_y - 140, X(90), base_y - 150))
    cmds = ["-fill", "#0e0a1e", "-draw", "path '%s'" % trunk, "-stroke", "#0e0a1e", "-fill", "none"]
    for x0, y0, x1, y1, x2, y2 in branches:
        cmds += ["-strokewidth", "7", "-draw", "path 'M %d,%d Q %d,%d %d,%d'" % (x0, y0, x1, y1, x2, y2)]
    cmds += ["-stroke", "none"]
    cmds += blossoms(seed, X(-110), base_y - 212, 62, 34, 160)
    cmds += blossoms(seed + 1, X(70), base_y - 238, 70, 36, 170)
    cmds += blossoms(seed + 2, X(-20), base_y - 290, 64, 40, 180)
    if low_cluster:
        cmds += blossoms(seed + 3, X(88), base_y - 156, 46, 26, 90)
    cmds += blossoms(seed + 4, X(-40), base_y - 200, 50, 30, 90)
    convert(src, *cmds, dst)


def panel(src, dst, l, t, r, b, radius=14, fill=PANEL, edge=PANEL_EDGE, opacity=0.82):
    """A rounded panel of deep blue with a thin pink rim, laid over a picture."""
    convert(src,
            "(", "-size", "%dx%d" % (W, H), "xc:none", "-fill", "rgba(4,6,20,0.45)",
            "-draw", "roundrectangle %d,%d %d,%d %d,%d" % (l + 4, t + 6, r + 4, b + 6, radius, radius),
            "-blur", "0x6", ")", "-compose", "over", "-composite",
            "(", "-size", "%dx%d" % (W, H), "xc:none", "-fill", fill, "-channel", "A",
            "-evaluate", "set", "0", "+channel",
            "-draw", "fill-opacity %.2f roundrectangle %d,%d %d,%d %d,%d" % (opacity, l, t, r, b, radius, radius),
            ")", "-compose", "over", "-composite",
            "-fill", "none", "-stroke", edge, "-strokewidth", "1.5",
            "-draw", "roundrectangle %d,%d %d,%d %d,%d" % (l + 0.5, t + 0.5, r - 0.5, b - 0.5, radius, radius),
            "-stroke", "none", dst)


def label(text, font, points, colour, dst, stroke=None):
    args = ["-density", "72", "-background", "none", "-font", font, "-pointsize", str(px(points)), "-fill", colour]
    if stroke:
        args += ["-stroke", stroke[0], "-strokewidth", str(stroke[1])]
    convert(*args, "label:" + text, dst)


def place(src, dst, items):
    """Composites (picture, x, y) items onto src."""
    args = [src]
    for pic, x, y in items:
        args += [pic, "-geometry", "+%d+%d" % (x, y), "-compose", "over", "-composite"]
    convert(*args, dst)


# ---------------------------------------------------------------- screen layout

TEXT_WINDOW = dict(x=20, y=170, w=600, h=112)        # where the text window's slide ends
RESULT_WINDOW = dict(x=304, y=106, w=320, h=256)      # where the result window's slide ends
TIME_BADGE = (506, 14, 624, 74)
TITLE_PANEL = (150, 262, 610, 432)
CHARA_SIZE = (220, 260)
FOREVER = 100000000  # moves enough for a sprite that animates in place for days

RANKS = [  # threshold, kanji, English, badge colour, text colour
    (100, "極", "KIWAMI", "#ffd66e", "#4a2400"),
    (50, "達人", "MASTER", "#f7a6c4", "#4a0f2a"),
    (20, "上級", "EXPERT", "#a8dcff", "#0f2a4a"),
    (8, "中級", "SKILLED", "#c9b6f2", "#2a1850"),
    (2, "初級", "NOVICE", "#f2d7b0", "#4a3010"),
    (None, "見習い", "TRAINEE", "#d4d0dc", "#2e2a38"),
]


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
    sheet(frames, 4, 1, 32, 32, SKY_MID, os.path.join(OUT, "petal.bmp"))
    frames = []
    for i, (angle, squash) in enumerate([(30, 1.0), (70, 0.6), (110, 0.3)]):
        frames.append(art("spetal%d" % i, 20, 20, petal_cmds(10, 10, 13, 9 * squash + 1.5, angle, "#fbd0df", "#ffffff")))
    sheet(frames, 3, 1, 20, 20, SKY_MID, os.path.join(OUT, "petal_s.bmp"))


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
    sheet(frames, 3, 2, 24, 24, SKY_MID, os.path.join(OUT, "twinkle.bmp"))


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
    sheet(frames, 5, 2, 32, 32, SKY_MID, os.path.join(OUT, "sparkle.bmp"))


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
    sheet([frame], 1, 1, 180, 52, SKY_MID, os.path.join(OUT, "cloud.bmp"))


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
    sheet(frames, 1, 3, 80, 40, SKY_MID, os.path.join(OUT, "shooting.bmp"))


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
    sheet(frames, 4, 3, size, size, SKY_MID, os.path.join(OUT, "firework.bmp"))


def make_confetti():
    """Five frames of a paper strip turning over, each face another colour."""
    colours = [GOLD, PINK, ICE, "#c9b6f2", "#fff4e0"]
    frames = []
    for f, (colour, w) in enumerate(zip(colours, [10, 7, 3, 7, 10])):
        a = f * 30
        cmds = ["-fill", colour, "-stroke", "#2a1d46", "-strokewidth", "2",
                "-draw", "translate 32,32 rotate %d rectangle %d,-12 %d,12" % (a, -w * 2, w * 2)]
        frames.append(art("confetti%d" % f, 16, 16, cmds))
    sheet(frames, 5, 1, 16, 16, SKY_MID, os.path.join(OUT, "confetti.bmp"))


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
    sheet([window_art("textwin", tw["w"], tw["h"])], 1, 1, tw["w"], tw["h"], SKY_LOW, os.path.join(OUT, "window.bmp"))
    rw = RESULT_WINDOW
    sheet([window_art("resultwin", rw["w"], rw["h"], "RESULT　結果")], 1, 1, rw["w"], rw["h"], SKY_MID,
          os.path.join(OUT, "resultwin.bmp"))


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
        sheet([tmp("badge%d.png" % n)], 1, 1, bw, bh, "#0d1330", os.path.join(OUT, "rank%d.bmp" % n))


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
    sheet([path], 1, 1, w, h, HILL_NEAR, os.path.join(OUT, "chara.bmp"))


# ---------------------------------------------------------------- sounds

def make_sounds():
    s = lambda n: os.path.join(OUT, n)
    # a soft wooden tick for every correct key
    sox(s("type.wav"), "synth", "0.035", "pluck", "1760", "fade", "t", "0", "0.035", "0.03", "gain", "-8")
    # two rising bell tones when a line is finished
    sox(tmp("c1.wav"), "synth", "0.16", "sine", "1318.5", "fade", "t", "0.003", "0.16", "0.12", "gain", "-9")
    sox(tmp("c2.wav"), "synth", "0.28", "sine", "1975.5", "fade", "t", "0.003", "0.28", "0.24", "gain", "-9")
    run("sox", "-R", "-D", tmp("c1.wav"), tmp("c2.wav"), s("complete.wav"))
    # a short low buzz for a wrong key
    sox(s("miss.wav"), "synth", "0.14", "square", "110", "gain", "-6", "lowpass", "900", "fade", "t", "0.005", "0.14", "0.08", "gain", "-n", "-9")
    # the result chime: an arpeggio that rings on
    notes = [523.25, 659.25, 783.99, 1046.5]
    parts = []
    for i, f in enumerate(notes):
        sox(tmp("r%d.wav" % i), "synth", "0.7", "sine", str(f), "fade", "t", "0.005", "0.7", "0.62",
            "gain", "-12", "pad", str(0.12 * i))
        parts.append(tmp("r%d.wav" % i))
    run("sox", "-R", "-D", "-m", *parts, s("result.wav"), "gain", "-n", "-5")
    # the best rank's fanfare: brighter, with a chord at the end
    fan = []
    for i, f in enumerate([783.99, 1046.5, 1318.5, 1568.0]):
        sox(tmp("f%d.wav" % i), "synth", "0.22", "triangle", str(f), "fade", "t", "0.005", "0.22", "0.1",
            "gain", "-14", "pad", str(0.11 * i))
        fan.append(tmp("f%d.wav" % i))
    for i, f in enumerate([1046.5, 1318.5, 1568.0, 2093.0]):
        sox(tmp("fc%d.wav" % i), "synth", "0.8", "triangle", str(f), "fade", "t", "0.01", "0.8", "0.66",
            "gain", "-17", "pad", "0.46")
        fan.append(tmp("fc%d.wav" % i))
    run("sox", "-R", "-D", "-m", *fan, s("fanfare.wav"), "gain", "-n", "-5")


# ---------------------------------------------------------------- animation files

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


BADGE_X = RESULT_WINDOW["x"] + RESULT_WINDOW["w"] - 104 - 16
BADGE_Y = RESULT_WINDOW["y"] + 52


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


def title_texts():
    """The four title lines, each centred in the panel."""
    rows = [  # font, points, colour, text, y
        ("ＭＳ Ｐゴシック", 14, GOLD, "何かキーで 60秒プレイ　Any key: play 60 s", 282),
        ("MS UI Gothic", 12, CREAM, "D … 30秒　S … 1秒　　D: 30 s　S: 1 s", 326),
        ("ＭＳ ゴシック", 11, ICE, "K … キー設定　K: key configuration", 360),
        ("MS UI Gothic", 10, PINK, "Esc … 終了　Esc: quit", 394),
    ]
    cx = (TITLE_PANEL[0] + TITLE_PANEL[2]) // 2
    out = []
    for font, points, colour, text, y in rows:
        x = cx - text_width(text, font_file(font), points) // 2
        out.append(dict(font=font, points=points, colour=colour, text=text, x=x, y=y))
    return out


def font_file(name):
    return GOTHIC if name == "ＭＳ ゴシック" else PGOTHIC


GAME = dict(question_font="ＭＳ ゴシック", question_points=12,
            question=(TEXT_WINDOW["x"] + 20, TEXT_WINDOW["y"] + 28), rome=(TEXT_WINDOW["x"] + 20, TEXT_WINDOW["y"] + 72),
            colour1=CREAM, colour2=ICE, colour3="#f58fb4",
            time_font="ＭＳ ゴシック", time_points=20, time_colour=GOLD, time=(TIME_BADGE[0] + 44, TIME_BADGE[1] + 22))

RESULT = dict(font="ＭＳ Ｐゴシック", points=14, colour=CREAM,
              enter=("何かキーで戻る　Press any key", RESULT_WINDOW["x"] + 22, RESULT_WINDOW["y"] + 218),
              maxcombo=("最大コンボ：", RESULT_WINDOW["x"] + 22, RESULT_WINDOW["y"] + 52),
              miss=("ミス：", RESULT_WINDOW["x"] + 22, RESULT_WINDOW["y"] + 84),
              clear=("クリア：", RESULT_WINDOW["x"] + 22, RESULT_WINDOW["y"] + 116),
              rate=("タイプ極め度は", RESULT_WINDOW["x"] + 22, RESULT_WINDOW["y"] + 166), suffix="％です")


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
    for name, entries in animation_files().items():
        write_ini(name, anim_ini(entries, sound="fanfare.wav" if name == "Rank1Front.ini" else None))


# ---------------------------------------------------------------- mock-ups

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
        path = os.path.join(OUT, e["FileName"])
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
    args = [os.path.join(OUT, background)]
    for pic, x, y in layers:
        args += [pic, "-geometry", "%+d%+d" % (x, y), "-compose", "over", "-composite"]
    convert(*args, "-crop", "640x480+0+0", "+repage", dst)


def mockups(folder):
    files = animation_files()
    texts = [text_layer(t["text"], t["font"], t["points"], t["colour"], t["x"], t["y"]) for t in title_texts()]
    compose("Title.bmp", sprites(files["Title_BackAnime.ini"], 400) + texts + sprites(files["Title_FrontAnime.ini"], 400),
            os.path.join(folder, "title.png"))

    g = GAME
    window = (os.path.join(OUT, "window.bmp"), TEXT_WINDOW["x"], TEXT_WINDOW["y"])
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
    convert(os.path.join(OUT, "resultwin.bmp"), "-transparent", KEY, tmp("resultwin.png"))
    convert(os.path.join(OUT, "chara.bmp"), "-transparent", KEY, tmp("chara.png"))
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
    convert(os.path.join(OUT, "keyconf.jpg"), *cmds, tmp("k_grid.png"))
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


# ---------------------------------------------------------------- checks

def near_key_pixels(path, key):
    """Pixels close to the key colour without being it: they would show as a fringe."""
    def count(fuzz):
        out = subprocess.run(["convert", path, "-alpha", "off", "-fuzz", fuzz, "-fill", "black", "-opaque", key,
                              "-fuzz", "0", "-fill", "white", "+opaque", "black", "-format", "%[fx:round((1-mean)*w*h)]", "info:"],
                             capture_output=True, text=True, check=True, env=ENV).stdout
        return int(out)
    return count("30%") - count("0")


def read_ini(path):
    """Sections of a settings file as the game reads them (CP932, CR LF)."""
    data = open(path, "rb").read()
    problems = []
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError as e:
        return {}, ["%s: not CP932 (%s)" % (os.path.basename(path), e)]
    if "\n" in text.replace("\r\n", "") or not text.endswith("\r\n"):
        problems.append("%s: lines must end in CR LF" % os.path.basename(path))
    sections, current = {}, None
    for line in text.split("\r\n"):
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1].lower(), {})
        elif "=" in line and current is not None:
            key, value = line.split("=", 1)
            current[key.lower()] = value
            if len(value.encode("cp932")) > 127:
                problems.append("%s: %s is longer than the 127 bytes the game reads" % (os.path.basename(path), key))
    return sections, problems


def check():
    """Every sprite sheet takes its key colour from its top-left pixel and has no
    pixel near it; the title picture is 640x480; every settings file is CP932
    with CR LF and values the game reads whole; every file they name exists
    under exactly that name; every listed animation has its section and a sheet
    that divides into its cells; the skin stays small."""
    problems = []
    files = set(os.listdir(OUT))
    sheets = sorted(f for f in files if f.endswith(".bmp") and f != "Title.bmp")
    for name in sheets:
        path = os.path.join(OUT, name)
        corner = subprocess.run(["convert", path, "-format", "%[hex:p{0,0}]", "info:"], capture_output=True, text=True,
                                check=True).stdout.strip()
        if corner.upper()[:6] != KEY.lstrip("#").upper():
            problems.append("%s: top-left pixel is #%s, not the key colour" % (name, corner))
        near = near_key_pixels(path, "#" + corner[:6])
        if near:
            problems.append("%s: %d pixels near the key colour" % (name, near))

    def size(name):
        return tuple(map(int, subprocess.run(["identify", "-format", "%w %h", os.path.join(OUT, name)],
                                             capture_output=True, text=True, check=True).stdout.split()))

    def named(ini, what):
        if what not in files:
            problems.append("%s names %s, which is not in the skin" % (ini, what))
            return False
        return True

    if "Title.bmp" not in files or size("Title.bmp") != (W, H):
        problems.append("Title.bmp must exist and be 640x480")
    for ini in sorted(f for f in files if f.lower().endswith(".ini")):
        sections, found = read_ini(os.path.join(OUT, ini))
        problems += found
        for section, keys in sections.items():
            for key in ("filename", "first", "type", "complete", "miss"):
                if keys.get(key):
                    named(ini, keys[key])
        names = sections.get("setting", {}).get("animename", "")
        for name in filter(None, names.split(",")):
            e = sections.get(name.lower())
            if e is None:
                problems.append("%s: animation %s has no section" % (ini, name))
                continue
            if named(ini, e.get("filename", "")):
                w, h = size(e["filename"])
                cols, rows = int(e.get("column", 1)), int(e.get("row", 1))
                if w % cols or h % rows:
                    problems.append("%s: %s does not divide into %dx%d cells" % (ini, e["filename"], cols, rows))
        rank = sections.get("rank", {})
        for key in ("filenameback", "filenamefront"):
            for name in filter(None, rank.get(key, "").split(",")):
                named(ini, name + ".ini")
    total = sum(os.path.getsize(os.path.join(OUT, f)) for f in files)
    if total > 2_500_000:
        problems.append("the skin is %d bytes" % total)
    return sheets, total, problems


def main(argv):
    global OUT, TMP
    args = list(argv)
    mock = None
    only_check = "--check" in args
    if only_check:
        args.remove("--check")
    if "--mockups" in args:
        i = args.index("--mockups")
        mock = os.path.abspath(args[i + 1])
        del args[i:i + 2]
    OUT = os.path.abspath(args[0]) if args else os.path.join(ROOT, "skins", "Standard")
    for font in (GOTHIC, PGOTHIC):
        if not os.path.exists(font):
            sys.exit("missing font %s (Debian package fonts-ipafont-gothic)" % font)
    for tool in ("convert", "identify", "sox"):
        if not shutil.which(tool):
            sys.exit("missing %s (Debian packages imagemagick, sox)" % tool)
    os.makedirs(OUT, exist_ok=True)
    TMP = tempfile.mkdtemp(prefix="dexlora-skin-")
    try:
        if only_check:
            sheets, total, problems = check()
            for p in problems:
                print("problem:", p)
            print("%d sprite sheets, %d bytes in all, %d problems" % (len(sheets), total, len(problems)))
            return 1 if problems else 0
        title_background(os.path.join(OUT, "Title.bmp"))
        game_background(os.path.join(OUT, "game.jpg"))
        result_background(os.path.join(OUT, "result.jpg"))
        keyconf_background(os.path.join(OUT, "keyconf.jpg"))
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
        shutil.rmtree(TMP, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
