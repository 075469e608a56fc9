"""Shared tools of the skin generator: the palette, running ImageMagick and SoX,
writing pictures, sheets and settings files, and drawing the night scenery."""
import math
import os
import random
import subprocess


ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
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
OUT = None  # the skin folder being written
TMP = None  # scratch folder of one run


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
    with open(skin_file(name), "wb") as f:
        f.write(data.encode("cp932"))


def sox(dst, *effects, inputs=("-n",)):
    run("sox", "-R", "-D", *inputs, "-r", "44100", "-c", "2", "-b", "16", "-e", "signed-integer",
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


def skin_file(name):
    """A file of the skin folder."""
    return os.path.join(OUT, name)


def font_file(name):
    return GOTHIC if name == "ＭＳ ゴシック" else PGOTHIC
