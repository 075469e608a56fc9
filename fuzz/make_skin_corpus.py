#!/usr/bin/env python3
"""Writes the seed corpus of the skin loader, animation and chooser targets.

A skin input is a settings file followed by the files it names, each after a
line "@@NAME" (see fuzz/skin_fuzz.h). A chooser input is a script of keys and
clicks followed by entry names, separated by '/', folders starting with NUL.
Files the fuzzers found later sit next to these seeds and are not rewritten.

    python3 fuzz/make_skin_corpus.py
"""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
CORPUS = os.path.join(ROOT, "fuzz", "corpus")


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def read(*path):
    with open(os.path.join(ROOT, *path), "rb") as f:
        return f.read()


def bmp(width, height, corner=(255, 0, 255), color=(40, 120, 200)):
    """A 24-bit bottom-up bitmap; its top-left pixel is corner."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = b""
        for x in range(width):
            b, g, r = (corner if (x, y) == (0, 0) else ((color[0] + x * 7) % 256, (color[1] + y * 13) % 256, color[2]))
            row += bytes((b, g, r))
        rows.append(row + b"\0" * (stride - len(row)))
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


JPEG = read("fuzz", "corpus", "picture", "grey.jpg")
WAVE = read("fuzz", "corpus", "wave", "mono8.wav")
SHEET = bmp(24, 8)
BACK = bmp(8, 6, color=(10, 20, 30))


def skin(settings, *files):
    """A settings text (CP932, CR LF) and its files, given as name, bytes."""
    out = settings.replace("\n", "\r\n").encode("cp932")
    for name, data in zip(files[::2], files[1::2]):
        out += b"\n@@" + name.encode("cp932") + b"\n" + data
    return out


# Game.ini
GAME = """[Wipe]
In=Fade
Out=Circle
[TextWindow]
FileName=win.bmp
StartX=10
StartY=300
Column=3
Row=1
Time=2
[QuestionText]
QuestionFontName=ＭＳ ゴシック
QuestionFontSize=16
QuestionX=20
QuestionY=320
QuestionFontColor1=255,255,255
QuestionFontColor2=0,128,255
QuestionFontColor3=300,-1,0
[Time]
TimeFontSize=20
TimeFontColor=1,2,3
[Sound]
Type=type.wav
Complete=Sub\\done.wav
[BackGround]
FileName=Game.bmp
"""
put("skin_game", "full", skin(GAME, "win.bmp", SHEET, "type.wav", WAVE, "Sub\\done.wav", WAVE, "Game.bmp", BACK))
put("skin_game", "jpeg-background", skin("[BackGround]\nFileName=back.JPG\n", "back.jpg", JPEG))
put("skin_game", "colour-of-two-parts", skin("[QuestionText]\nQuestionFontColor1=1,2\n", "Game.bmp", BACK))
put("skin_game", "font-sizes", skin("[QuestionText]\nQuestionFontSize=0\n[Time]\nTimeFontSize=500\n",
                                    "Game.bmp", BACK))
put("skin_game", "missing-picture", skin("[TextWindow]\nFileName=none.bmp\n", "Game.bmp", BACK))
put("skin_game", "outside", skin("[BackGround]\nFileName=..\\back.bmp\n[Sound]\nMiss=..\\..\\miss.wav\n",
                                 "..\\back.bmp", BACK, "..\\../miss.wav", WAVE))
put("skin_game", "absolute-and-drive", skin("[Sound]\nType=/etc/passwd\n[BackGround]\nFileName=C:\\Game.bmp\n",
                                            "Game.bmp", BACK))
put("skin_game", "wave-named-bmp", skin("[BackGround]\nFileName=Game.bmp\n", "Game.bmp", WAVE))

# result.ini, with the rank animation files it leads to.
RESULT = """[Wipe]
In=Fade
[ResultWindow]
FileName=window.bmp
[ResultText]
ResultFontName=MS UI Gothic
ResultFontSize=12
ResultFontColor=255,255,0
EnterText=Press Enter
MaxComboX=100
ResultText2=％
[Rank]
Point=90,50,10
FileNameBack=rb1,rb2,rb3
FileNameFront=rf1,,rf3
[Sound]
First=first.wav
[BackGround]
FileName=Result.bmp
"""
RANK_BACK = """[setting]
AnimeName=star
[star]
FileName=star.bmp
Column=3
MoveCount=10
DX=1.5
[Sound]
First=fan.wav
"""
put("skin_result", "full", skin(RESULT, "window.bmp", SHEET, "first.wav", WAVE, "Result.bmp", BACK,
                                 "rb1.ini", RANK_BACK.replace("\n", "\r\n").encode(), "star.bmp", SHEET,
                                 "fan.wav", WAVE))
put("skin_result", "bad-threshold", skin("[Rank]\nPoint=10,x\nFileNameBack=a\n", "Result.bmp", BACK))
put("skin_result", "fewer-names", skin("[Rank]\nPoint=90,60,30,1\nFileNameFront=a,b\n", "Result.bmp", BACK))
put("skin_result", "rank-outside", skin("[Rank]\nPoint=50\nFileNameBack=..\\up\nFileNameFront=/abs\n",
                                        "..\\up.ini", b"[setting]\r\nAnimeName=a\r\n", "Result.bmp", BACK))
put("skin_result", "font-size-text", skin("[ResultText]\nResultFontSize=big\n", "Result.bmp", BACK))
put("skin_result", "missing-sound", skin("[Sound]\nFirst=none.wav\n", "Result.bmp", BACK))

# title.ini and keyconf.ini (one text for both).
TITLE = """[Wipe]
In=Slide
[TitleText]
TitleText1_Text=Dexlora
TitleText1_FontSize=28
TitleText1_FontColor=255,200,0
TitleText2_FontName=ＭＳ 明朝
TitleText4_FontSize=201
KeyConfFontSize=12
KeyConfFontColor=0,0,0
[BackGround]
FileName=back.bmp
"""
put("skin_title", "full", skin(TITLE, "back.bmp", BACK))
put("skin_title", "defaults", skin("", "Title.bmp", BACK, "KeyConf.bmp", BACK))
put("skin_title", "colour-parts", skin("[TitleText]\nKeyConfFontColor=1,2,3,4\nTitleText3_FontSize=-4\n",
                                       "Title.bmp", BACK, "KeyConf.bmp", JPEG))
put("skin_title", "outside", skin("[BackGround]\nFileName=..\\..\\..\\t.bmp\n", "..\\..\\../t.bmp", BACK))
put("skin_title", "missing", skin("[BackGround]\nFileName=nothing.jpg\n"))

# Animation definition files.
ANIME = """[setting]
AnimeName=a,b
[a]
FileName=sheet.bmp
StartX=-20
StartY=470
DX=3.25
DY=-2
Time=1
Mode=1
Wait=3
Column=3
Row=1
MoveCount=100
[b]
FileName=Sub\\sheet.BMP
StartX=600
Column=2
Row=2
VisibleAfterMoveEnd=0
MoveCount=5
"""
put("anime", "two-sprites", skin(ANIME, "sheet.bmp", SHEET, "Sub\\sheet.bmp", SHEET))
put("anime", "negative-layout", skin("[setting]\nAnimeName=n\n[n]\nFileName=s.bmp\nColumn=-3\nRow=-2\nStartX=-5\n",
                                     "s.bmp", SHEET))
put("anime", "zero-columns", skin("[setting]\nAnimeName=z\n[z]\nFileName=s.bmp\nColumn=0\n", "s.bmp", SHEET))
put("anime", "huge-steps", skin("[setting]\nAnimeName=h\n[h]\nFileName=s.jpg\nDX=3.4E+38\nDY=-1E30\n"
                                "MoveCount=-2147483648\nTime=2147483647\n", "s.jpg", JPEG))
put("anime", "result-sound", skin("[setting]\nAnimeName=r\n[r]\nFileName=s.bmp\n[Sound]\nFirst=f.wav\n",
                                  "s.bmp", SHEET, "f.wav", WAVE))
put("anime", "outside", skin("[setting]\nAnimeName=o\n[o]\nFileName=..\\s.bmp\n", "..\\s.bmp", SHEET))
put("anime", "missing", skin("[setting]\nAnimeName=a,m\n[a]\nFileName=s.bmp\n[m]\nFileName=gone.bmp\n",
                             "s.bmp", SHEET))
put("anime", "bad-dx", skin("[setting]\nAnimeName=d\n[d]\nFileName=s.bmp\nDX=fast\n", "s.bmp", SHEET))
put("anime", "big-sheet", skin("[setting]\nAnimeName=w\n[w]\nFileName=w.bmp\nStartX=-100\nStartY=-50\nDX=7\nDY=5\n",
                               "w.bmp", bmp(700, 2)))


# The chooser: a script, then names.
def chooser(script, *names):
    return b"/".join([bytes(script)] + list(names))


KEYS = bytes([0, 0, 8 + 5, 5, 4, 0, 2 + 8, 3, 3 + 8, 6, 6 + 16, 7, 7 + 16 + 8, 12, 1])
put("chooser_listing", "plain", chooser(KEYS, b"skin.ini", b"\0Standard", b"\0Other",
                                        b"readme.txt", b"type.txt"))
put("chooser_listing", "invalid-utf8", chooser(KEYS, b"\0\xff\xfe", b"\x82\xa0\x82\xa2.ini", b"\xc3", b"\xed\xa0\x80x",
                                               b"\0\xe3\x81"))
put("chooser_listing", "long-names", chooser(KEYS, b"\0" + b"a" * 255, "あ".encode() * 85, b"x" * 255))
put("chooser_listing", "line-ends", chooser(KEYS, b"\0CR\rname", b"LF\nname", b"\r\n", b"\0\t\x1b\x7f"))
put("chooser_listing", "dots-and-spaces", chooser(KEYS, b"\0...", b"\0 ", b". .", b".hidden", b"\0.hid", b"trailing ",
                                                  b"\0\\", b"a\\..\\b"))
put("chooser_listing", "many", chooser(bytes([0, 2 + 8, 2 + 8, 3 + 8, 5 + 8, 5, 7, 7 + 16]),
                                       *[b"\0f%02d" % i if i % 3 == 0 else b"n%02d" % i for i in range(40)]))

# A whole skin: one text standing for every settings and animation file.
WHOLE = GAME + RESULT.replace("[Wipe]\nIn=Fade\n", "") + TITLE.replace("[Wipe]\nIn=Slide\n", "") + """[setting]
AnimeName=a
[a]
FileName=sheet.bmp
Column=3
"""
put("skin_whole", "full", skin(WHOLE, "win.bmp", SHEET, "type.wav", WAVE, "Sub\\done.wav", WAVE, "Game.bmp", BACK,
                               "window.bmp", SHEET, "first.wav", WAVE, "Result.bmp", BACK, "back.bmp", BACK,
                               "sheet.bmp", SHEET, "chara.bmp", bmp(20, 10)))
put("skin_whole", "defaults", skin("", "Game.bmp", BACK, "Result.bmp", BACK, "Title.bmp", BACK, "KeyConf.bmp", BACK))
put("skin_whole", "chara-not-a-picture", skin("", "Game.bmp", BACK, "Result.bmp", BACK, "chara.bmp", WAVE))
put("skin_whole", "warnings", skin("[QuestionText]\nQuestionFontColor1=1\n[ResultText]\nResultFontSize=0\n"
                                   "[TitleText]\nTitleText1_FontSize=0\nKeyConfFontSize=999\n[setting]\nAnimeName=x\n"
                                   "[x]\nFileName=s.bmp\nColumn=0\n",
                                   "s.bmp", SHEET, "Game.bmp", BACK, "Result.bmp", BACK, "Title.bmp", BACK,
                                   "KeyConf.bmp", BACK))
