#!/usr/bin/env python3
"""Writes system/Rome.ini and system/Rome2.ini (CP932, CR LF) from the charts below.

Each chart row is one column of five cells in the key configuration (entry i is
shown at column i // 5, row i % 5), so the files read as kana charts. "_" is an
empty cell: an entry without spellings. In every list the first spelling is the
one the game starts with; the rest follow in the order a double-click cycles.

    python3 tools/make_rome_tables.py [SYSTEM_FOLDER]
"""
import os
import sys

GAP = "_"

SINGLE = [
    # Each base column is followed by its voiced and small columns.
    "あ:A い:I う:U,WU,WHU え:E お:O",
    "ぁ:XA,LA ぃ:XI,LI,XYI,LYI ぅ:XU,LU ぇ:XE,LE,XYE,LYE ぉ:XO,LO",
    "か:KA,CA き:KI く:KU,CU,QU け:KE こ:KO,CO",
    "が:GA ぎ:GI ぐ:GU げ:GE ご:GO",
    "さ:SA し:SI,SHI,CI す:SU せ:SE,CE そ:SO",
    "ざ:ZA じ:ZI,JI ず:ZU ぜ:ZE ぞ:ZO",
    "た:TA ち:TI,CHI つ:TU,TSU て:TE と:TO",
    "だ:DA ぢ:DI づ:DU で:DE ど:DO",
    # The small tsu sits in the row of tsu; the conversion reads it at entry 42.
    "_ _ っ:XTU,LTU,XTSU,LTSU _ _",
    "な:NA に:NI ぬ:NU ね:NE の:NO",
    "は:HA ひ:HI ふ:FU,HU へ:HE ほ:HO",
    "ば:BA び:BI ぶ:BU べ:BE ぼ:BO",
    "ぱ:PA ぴ:PI ぷ:PU ぺ:PE ぽ:PO",
    "ま:MA み:MI む:MU め:ME も:MO",
    "や:YA _ ゆ:YU _ よ:YO",
    "ゃ:XYA,LYA _ ゅ:XYU,LYU _ ょ:XYO,LYO",
    "ら:RA り:RI る:RU れ:RE ろ:RO",
    "わ:WA ゐ:WYI _ ゑ:WYE を:WO",
    # ん closes the chart at entry 94, where the conversion reads it.
    "ゎ:XWA,LWA _ _ _ ん:N,NN,N',XN",
    "ヵ:XKA,LKA _ ヴ:VU ヶ:XKE,LKE _",
]

# "*" (type the two kana one by one) is offered last for every pair.
PAIRS = [
    "きゃ:KYA きぃ:KYI きゅ:KYU きぇ:KYE きょ:KYO",
    "ぎゃ:GYA ぎぃ:GYI ぎゅ:GYU ぎぇ:GYE ぎょ:GYO",
    "しゃ:SYA,SHA しぃ:SYI しゅ:SYU,SHU しぇ:SYE,SHE しょ:SYO,SHO",
    "じゃ:JA,ZYA,JYA じぃ:ZYI,JYI じゅ:JU,ZYU,JYU じぇ:JE,ZYE,JYE じょ:JO,ZYO,JYO",
    "ちゃ:TYA,CHA,CYA ちぃ:TYI,CYI ちゅ:TYU,CHU,CYU ちぇ:TYE,CHE,CYE ちょ:TYO,CHO,CYO",
    "ぢゃ:DYA ぢぃ:DYI ぢゅ:DYU ぢぇ:DYE ぢょ:DYO",
    "てゃ:THA てぃ:THI,T'I てゅ:THU,T'YU てぇ:THE てょ:THO",
    "でゃ:DHA でぃ:DHI,D'I でゅ:DHU,D'YU でぇ:DHE でょ:DHO",
    "にゃ:NYA にぃ:NYI にゅ:NYU にぇ:NYE にょ:NYO",
    "ひゃ:HYA ひぃ:HYI ひゅ:HYU ひぇ:HYE ひょ:HYO",
    "びゃ:BYA びぃ:BYI びゅ:BYU びぇ:BYE びょ:BYO",
    "ぴゃ:PYA ぴぃ:PYI ぴゅ:PYU ぴぇ:PYE ぴょ:PYO",
    "みゃ:MYA みぃ:MYI みゅ:MYU みぇ:MYE みょ:MYO",
    "りゃ:RYA りぃ:RYI りゅ:RYU りぇ:RYE りょ:RYO",
    # Lower grid: pairs with a small vowel, by their first kana.
    "_ _ _ いぇ:YE _",
    "うぁ:WHA うぃ:WI,WHI _ うぇ:WE,WHE うぉ:WHO",
    "ヴぁ:VA ヴぃ:VI,VYI _ ヴぇ:VE,VYE ヴぉ:VO",
    "ヴゃ:VYA _ ヴゅ:VYU _ ヴょ:VYO",
    "くぁ:QA,KWA くぃ:QI,KWI くぅ:KWU くぇ:QE,KWE くぉ:QO,KWO",
    "ぐぁ:GWA ぐぃ:GWI ぐぅ:GWU ぐぇ:GWE ぐぉ:GWO",
    "すぁ:SWA すぃ:SWI すぅ:SWU すぇ:SWE すぉ:SWO",
    "ずぁ:ZWA ずぃ:ZWI ずぅ:ZWU ずぇ:ZWE ずぉ:ZWO",
    "つぁ:TSA つぃ:TSI _ つぇ:TSE つぉ:TSO",
    "とぁ:TWA とぃ:TWI とぅ:TWU,T'U とぇ:TWE とぉ:TWO",
    "どぁ:DWA どぃ:DWI どぅ:DWU,D'U どぇ:DWE どぉ:DWO",
    "ふぁ:FA,HWA ふぃ:FI,HWI _ ふぇ:FE,HWE ふぉ:FO,HWO",
    "ふゃ:FYA _ ふゅ:FYU,HWYU _ ふょ:FYO",
]


def entries(chart, pair_star):
    out = []
    for row in chart:
        cells = row.split()
        assert len(cells) == 5, row
        for cell in cells:
            if cell == GAP:
                out.append(("", []))
                continue
            kana, spellings = cell.split(":")
            spellings = spellings.split(",")
            if pair_star:
                spellings.append("*")
            out.append((kana, spellings))
    return out


def write(path, table):
    lines = []
    for kana, spellings in table:
        lines += [kana, str(len(spellings))] + spellings + [""]
    data = "".join(line + "\r\n" for line in lines).encode("cp932")
    with open(path, "wb") as f:
        f.write(data)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "system")
    single = entries(SINGLE, False)
    pairs = entries(PAIRS, True)
    assert single[42][0] == "っ" and single[94][0] == "ん"
    assert len(pairs) <= 140
    write(os.path.join(folder, "Rome.ini"), single)
    write(os.path.join(folder, "Rome2.ini"), pairs)


if __name__ == "__main__":
    main()
