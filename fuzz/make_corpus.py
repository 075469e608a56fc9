#!/usr/bin/env python3
"""Writes the committed seed corpus of every fuzz target into fuzz/corpus/.

Seeds are small well-formed files of each kind, plus one file for every class
of hostile file the readers once failed on (named after the fault). Files the
fuzzers found later are added by hand next to these and are not rewritten.

    python3 fuzz/make_corpus.py
"""
import os
import struct
import wave
import zlib
import io

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
CORPUS = os.path.join(ROOT, "fuzz", "corpus")


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("cp932")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def read(*path):
    with open(os.path.join(ROOT, *path), "rb") as f:
        return f.read()


def crlf(*lines):
    return "".join(line + "\r\n" for line in lines)


# CP932 text.
put("cp932", "japanese.txt", crlf("おはようございます。", "ｶﾀｶﾅと漢字、①㈱髙", "abc ￥ \\"))
put("cp932", "cut-lead-byte", b"\x82\xa0\x82")
put("cp932", "bad-trail-bytes", b"\x81\x0a\x82\x20\xfd\xfe\xff\x80\xa0")
put("cp932", "utf8-text", "ひらがな ✓ \U0001F600 \ufffd".encode("utf-8"))
put("cp932", "invalid-0x80", b"\x80" * 4096)

# Settings files.
SKIN_INI = crlf("; a skin", "[Title]", "Color=255,128,0", "X = 12", 'Name="タイトル"',
                "[Game]", "Speed=1.5", "Count=0x1F", "Wait=-3", "Font=ＭＳ ゴシック", "[title]", "Color=1,2,3")
put("profile", "skin.ini", SKIN_INI)
put("profile", "no-line-end", "[A]\r\nk=v")
put("profile", "long-value", crlf("[S]", "k=" + "あ" * 70))
put("profile", "quotes-and-blanks", crlf("  [ S ]  ", "\tk\t=\t' x '\t", "[S", "k2=", "=v", "k3"))
put("profile", "colors", crlf("[Title]", "Color=300,-1,2.5", "C2=1,2", "C3=1,2,3,4", "C4=a,b,c", "C5=,,"))
put("profile", "blank-lines", "\r\n" * 2048 + "[Title]\r\nColor=1,2,3\r\n")
put("profile", "csng-overflow-hidden-by-exponent", "1" + "0" * 400 + "e-1")
put("profile", "csng-underflow-long-fraction", "0." + "0" * 400 + "1")
put("profile", "csng-in-file", crlf("[S]", "a=1" + "0" * 400 + "e-1", "b=0." + "0" * 400 + "1", "c=3.4028235E+38",
                                    "d=1E-46", "e=-.25", "f=2.5"))

# The romaji tables: Rome.ini, a separator line, Rome2.ini.
SEPARATOR = b"\r\n--Rome2.ini--\r\n"
put("rome_table", "bundled", read("system", "Rome.ini") + SEPARATOR + read("system", "Rome2.ini"))
put("rome_table", "short", crlf("あ", "1", "A", "", "っ", "2", "XTU", "LTU", "") .encode("cp932") + SEPARATOR +
    crlf("きゃ", "2", "KYA", "*", "").encode("cp932"))
put("rome_table", "count-2000000000", crlf("あ", "2000000000") + "A\r\n" * 512)
put("rome_table", "long-kana-line", crlf("あ" * 2000, "1", "A", ""))
put("rome_table", "empty-spelling", crlf("あ", "1", "", "", "い", "2", "", "I", ""))
put("rome_table", "not-cp932-spelling", crlf("あ", "1").encode("cp932") + b"A\x80\xffB\r\n\r\n")
put("rome_table", "two-character-kana", crlf("ああ", "1", "A", "", "い", "1", "I", ""))
put("rome_table", "bad-counts", crlf("あ", "-1", "A", "", "い", "x", "I", ""))
put("rome_table", "cut-group", crlf("あ", "3", "A"))

# Questions.
put("questions", "bundled-start", read("skins", "Standard", "type.txt")[:2048])
put("questions", "one", crlf("今日は", "きょうは", ""))
put("questions", "symbols-and-letters", crlf("Q1", "abcXYZ123、。！？ー・（）％＆￥", "", "Q2", "きって", "", "Q3", "んあ", ""))
put("questions", "cut-group", crlf("テキスト"))
put("questions", "unspellable", crlf("漢字", "漢字", "", "空", "", ""))
put("questions", "nul-in-reading", crlf("ヌル", "あ\0い", ""))
put("questions", "many-short", crlf("a", "a", "") * 600)

# KeyConf.txt.
put("keyconf", "zeros", crlf(*["0"] * 235))
put("keyconf", "mixed", crlf(*[str(i % 5 - 1) for i in range(235)]))
put("keyconf", "short", crlf("1", "2", "3"))
put("keyconf", "not-numbers", crlf("1", "x", " 2 ", "+3", "-0", "99999999999", "2.5"))


# Pictures. Bitmaps of each depth, and JPEGs.
def bmp(width, height, bits, pixels, palette=b"", compression=0, top_down=False):
    header_size = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, compression,
                       len(pixels), 2835, 2835, len(palette) // 4, 0)
    return b"BM" + struct.pack("<IHHI", header_size + len(pixels), 0, 0, header_size) + info + palette + pixels


def rows(width, height, bits):
    stride = (width * bits + 31) // 32 * 4
    return bytes((x * 37 + y * 11) & 0xFF for y in range(height) for x in range(stride))


put("picture", "rgb24.bmp", bmp(5, 3, 24, rows(5, 3, 24)))
put("picture", "rgb32-top-down.bmp", bmp(4, 2, 32, rows(4, 2, 32), top_down=True))
put("picture", "rgb16.bmp", bmp(3, 3, 16, rows(3, 3, 16)))
put("picture", "palette8.bmp", bmp(4, 2, 8, rows(4, 2, 8), palette=bytes(range(256)) * 4))
put("picture", "palette4.bmp", bmp(7, 2, 4, rows(7, 2, 4), palette=bytes(range(64))))
put("picture", "palette1.bmp", bmp(9, 2, 1, rows(9, 2, 1), palette=b"\0\0\0\0\xff\xff\xff\0"))
put("picture", "rle8.bmp", bmp(4, 2, 8, b"\x04\x01\x00\x00\x02\x02\x00\x02\x00\x01", palette=bytes(range(12)), compression=1))
put("picture", "huge-header.bmp", bmp(100000, 100000, 24, b"\0" * 16))
# A 16x8 grey baseline JPEG on the standard Huffman tables.
GREY_JPEG = (b"\xFF\xD8\xFF\xDB\x00\x43\x00" + b"\x01" * 64 + b"\xFF\xC0\x00\x0B\x08\x00\x08\x00\x10\x01\x01\x11\x00" +
             b"\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x28\xAF\xFF\xD9")
put("picture", "grey.jpg", GREY_JPEG)
put("picture", "cut.jpg", GREY_JPEG[:-2])
put("picture", "huge-frame.jpg", GREY_JPEG.replace(b"\x08\x00\x08\x00\x10", b"\x08\xFF\xFF\xFF\xFF"))
put("picture", "svg-named-jpg.jpg",
    b'<svg xmlns="http://www.w3.org/2000/svg" width="32768" height="32768"><rect width="1" height="1"/></svg>')
# A GIF announcing a 65535x65535 screen and image.
put("picture", "gif-named-jpg.jpg", b"GIF89a\xff\xff\xff\xff\x00\x00\x00" + b"\x2c\0\0\0\0\xff\xff\xff\xff\x00" +
    b"\x08\x0b\x00\x01\x04\x04\x10\x20\x40\x80\x00\x01\x02\x00" + b"\x3b" * 16)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


put("picture", "png-named-jpg.jpg", b"\x89PNG\r\n\x1a\n" +
    png_chunk(b"IHDR", struct.pack(">IIBBBBB", 30000, 30000, 8, 6, 0, 0, 0)) +
    png_chunk(b"IDAT", zlib.compress(b"\0" * 4096)) + png_chunk(b"IEND", b""))


# Wave files.
def wav(rate, channels, width, frames, extra_chunk=b""):
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(width)
        w.setframerate(rate)
        w.writeframes(bytes((i * 7) & 0xFF for i in range(frames * channels * width)))
    data = out.getvalue()
    if extra_chunk:
        data = data[:36] + extra_chunk + data[36:]
        data = data[:4] + struct.pack("<I", len(data) - 8) + data[8:]
    return data


put("wave", "mono8.wav", wav(8000, 1, 1, 64))
put("wave", "stereo16.wav", wav(22050, 2, 2, 32))
put("wave", "list-chunk-odd.wav", wav(44100, 1, 2, 16, extra_chunk=b"LIST\x03\x00\x00\x00abc\x00"))
put("wave", "rate-1hz.wav", wav(1, 1, 1, 16384))
# One frame at 1 Hz: the resampler's own padding is stretched 44100 times.
put("wave", "rate-1hz-one-frame.wav", wav(1, 1, 1, 1))
put("wave", "rate-384000hz.wav", wav(384000, 1, 1, 128))
put("wave", "cut-data.wav", wav(8000, 1, 2, 64)[:60])

# Paths below the fuzzer's small folder tree, as skins write them.
put("resolve_path", "windows-case", b"skin\\IMAGE\\back.JPG")
put("resolve_path", "both-cases", b"SKIN/TITLE.bmp")
put("resolve_path", "double-slashes", b"Skin//sound\\\\ok.wav/")
put("resolve_path", "through-link", b"skin/link/BACK.jpg")
put("resolve_path", "link-loop", b"Skin/Loop/x")
put("resolve_path", "missing-middle", b"Skin/None/Image/a")
put("resolve_path", "dots", b"./Skin/./Image/Sub/A")
put("resolve_path", "non-ascii", "Skin/画像/Ｂack.jpg".encode("utf-8"))
