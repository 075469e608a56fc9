#!/usr/bin/env bash
# Draws Dexlora's application icon with ImageMagick: a keycap bearing the kana
# "あ" with "a" beneath it, in the sizes the desktop menus ask for. The PNGs
# are committed beside this script; rerun it after changing the drawing.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
font=$(fc-match -f '%{file}' 'IPAGothic:lang=ja')
master=$(mktemp --suffix=.png)
trap 'rm -f "$master"' EXIT

# Drawn once at 512 pixels and scaled down, so every size has the same shape.
convert -size 512x512 xc:none \
    -fill '#2b1d3a' -draw 'roundrectangle 16,16 496,496 96,96' \
    -fill '#f4eadf' -draw 'roundrectangle 64,56 448,424 56,56' \
    -fill '#d9c8b6' -draw 'roundrectangle 64,360 448,448 40,40' \
    -fill '#f4eadf' -draw 'rectangle 64,360 448,400' \
    -font "$font" -fill '#c2384b' -pointsize 250 -gravity center -annotate +0-40 'あ' \
    -fill '#6a5a4a' -pointsize 84 -gravity center -annotate +0+130 'a' \
    -strip "$master"

for size in 32 48 64 128 256; do
    mkdir -p "icons/${size}x${size}"
    convert "$master" -filter Lanczos -resize "${size}x${size}" -strip \
        -define png:exclude-chunks=date,time "icons/${size}x${size}/dexlora.png"
done
