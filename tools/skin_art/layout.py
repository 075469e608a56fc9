"""Where things sit on the 640x480 screens, and the ranks."""

from .base import CREAM, GOLD, ICE, PINK, font_file, text_width


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

BADGE_X = RESULT_WINDOW["x"] + RESULT_WINDOW["w"] - 104 - 16
BADGE_Y = RESULT_WINDOW["y"] + 52

GAME = dict(question_font="ＭＳ ゴシック", question_points=12,
            question=(TEXT_WINDOW["x"] + 20, TEXT_WINDOW["y"] + 28), rome=(TEXT_WINDOW["x"] + 20, TEXT_WINDOW["y"] + 72),
            colour1=CREAM, colour2=ICE, colour3="#f58fb4",
            miss_colour="#ff8a1e", miss_ms=300, miss_shake=3,
            time_font="ＭＳ ゴシック", time_points=20, time_colour=GOLD, time=(TIME_BADGE[0] + 44, TIME_BADGE[1] + 22))

RESULT = dict(font="ＭＳ Ｐゴシック", points=14, colour=CREAM,
              enter=("何かキーで戻る　Press any key", RESULT_WINDOW["x"] + 22, RESULT_WINDOW["y"] + 218),
              maxcombo=("最大コンボ：", RESULT_WINDOW["x"] + 22, RESULT_WINDOW["y"] + 52),
              miss=("ミス：", RESULT_WINDOW["x"] + 22, RESULT_WINDOW["y"] + 84),
              clear=("クリア：", RESULT_WINDOW["x"] + 22, RESULT_WINDOW["y"] + 116),
              rate=("タイプ極め度は", RESULT_WINDOW["x"] + 22, RESULT_WINDOW["y"] + 166), suffix="％です")
# The added figures, smaller and in pink: speed and accuracy under the rank seal, the weakest kana and a
# personal best between the mastery and the prompt. Quoted where a blank ends the text.
RESULT_EXTRA = dict(points=11, items=[
    ("Speed", '"速さ "', '" 打/分"', RESULT_WINDOW["x"] + 204, RESULT_WINDOW["y"] + 128),
    ("Accuracy", '"正確さ "', None, RESULT_WINDOW["x"] + 204, RESULT_WINDOW["y"] + 146),
    ("Best", "自己ベスト更新！", None, RESULT_WINDOW["x"] + 182, RESULT_WINDOW["y"] + 192),
    ("Weak", '"苦手 "', None, RESULT_WINDOW["x"] + 22, RESULT_WINDOW["y"] + 192),
])


def title_texts():
    """The four title lines, each centred in the panel."""
    rows = [  # font, points, colour, text, y
        ("ＭＳ Ｐゴシック", 14, GOLD, "何かキーで 60秒プレイ　Any key: play 60 s", 282),
        ("MS UI Gothic", 12, CREAM, "D … 30秒　S … 1秒　　D: 30 s　S: 1 s", 326),
        ("ＭＳ ゴシック", 12, ICE, "K … キー設定　K: key configuration", 360),
        ("MS UI Gothic", 10, PINK, "F3 … 記録　Esc … 終了　F3: records　Esc: quit", 394),
    ]
    cx = (TITLE_PANEL[0] + TITLE_PANEL[2]) // 2
    out = []
    for font, points, colour, text, y in rows:
        x = cx - text_width(text, font_file(font), points) // 2
        out.append(dict(font=font, points=points, colour=colour, text=text, x=x, y=y))
    return out
