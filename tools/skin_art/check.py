"""Checks a skin folder: key colours, fringes, settings files and the files they name."""
import os
import subprocess

from .base import ENV, H, KEY, W, skin_file
from . import base


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
    files = set(os.listdir(base.OUT))
    sheets = sorted(f for f in files if f.endswith(".bmp") and f != "Title.bmp")
    for name in sheets:
        path = skin_file(name)
        corner = subprocess.run(["convert", path, "-format", "%[hex:p{0,0}]", "info:"], capture_output=True, text=True,
                                check=True).stdout.strip()
        if corner.upper()[:6] != KEY.lstrip("#").upper():
            problems.append("%s: top-left pixel is #%s, not the key colour" % (name, corner))
        near = near_key_pixels(path, "#" + corner[:6])
        if near:
            problems.append("%s: %d pixels near the key colour" % (name, near))

    def size(name):
        return tuple(map(int, subprocess.run(["identify", "-format", "%w %h", skin_file(name)],
                                             capture_output=True, text=True, check=True).stdout.split()))

    def named(ini, what):
        if what not in files:
            problems.append("%s names %s, which is not in the skin" % (ini, what))
            return False
        return True

    if "Title.bmp" not in files or size("Title.bmp") != (W, H):
        problems.append("Title.bmp must exist and be 640x480")
    for ini in sorted(f for f in files if f.lower().endswith(".ini")):
        sections, found = read_ini(skin_file(ini))
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
    total = sum(os.path.getsize(skin_file(f)) for f in files)
    if total > 2_500_000:
        problems.append("the skin is %d bytes" % total)
    return sheets, total, problems
