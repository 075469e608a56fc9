#!/usr/bin/env bash
# Installs the build as a package does (staged with DESTDIR, then moved into
# place under a prefix with a space and Japanese in its name) and checks what
# lands there, reinstalls over a player's choice, and starts the installed
# game from its link as a player who cannot write the installed copy.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1
source=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/dexlora-install-test.XXXXXX")
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"  # the player runs the game from here
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
install_to() {  # PREFIX [DESTDIR]
    DESTDIR=${2:-} cmake --install "$build" --prefix "$1" >"$work/install.log" 2>&1 ||
        { cat "$work/install.log"; echo "FAIL: cmake --install --prefix $1 ${2:+DESTDIR=$2}"; exit 1; }
}
ini_of() {  # SYSTEM_INI: its text, decoded from Shift_JIS, CR LF as \r\n
    iconv -f CP932 -t UTF-8 "$1" 2>/dev/null | sed -z 's/\r/\\r/g; s/\n/\\n/g'
}
prefix="$work/ゲーム dir"
program=$prefix/lib/dexlora
skin=$prefix/share/dexlora/skins/Standard
ini=$program/system/System.ini

# The paths written into installed files are those of the prefix, never of
# the stage; the relative link stays right when the tree moves into place.
install_to "$prefix" "$work/stage"
mv "$work/stage$prefix" "$prefix"
[ -x "$program/dexlora" ] || fail "lib/dexlora/dexlora is not an executable"
[ "$(readlink "$prefix/bin/dexlora")" = ../lib/dexlora/dexlora ] || fail "bin/dexlora is not a link to lib/dexlora"
diff -r -x System.ini "$source/system" "$program/system" || fail "the romaji tables are not installed whole"
diff -r "$source/skins" "$prefix/share/dexlora/skins" || fail "the skins are not installed whole"
[ "$(ini_of "$ini")" = "[System]\r\nSkinPath=$skin\r\n" ] || fail "System.ini holds $(ini_of "$ini")"
"$prefix/bin/dexlora-check" "$program/system" --skin "$skin" >"$work/check.log" 2>&1 ||
    fail "dexlora-check --skin on the installed skin: $(cat "$work/check.log")"
desktop=$prefix/share/applications/dexlora.desktop
grep -qxF "Exec=\"$prefix/bin/dexlora\"" "$desktop" || fail "the desktop entry has $(grep ^Exec= "$desktop")"
ls "$prefix"/share/icons/hicolor/{32,48,64,128,256}x*/apps/dexlora.png >/dev/null || fail "an icon is missing"

# A reinstall keeps a System.ini naming a skin folder that exists, and seeds
# one naming a folder that is gone again.
mkdir "$work/MySkin"
for chosen in "$work/MySkin" "$work/gone"; do
    printf '[System]\r\nSkinPath=%s\r\n' "$chosen" >"$ini"
    install_to "$prefix"
    [ "$chosen" = "$work/gone" ] && chosen=$skin
    [ "$(ini_of "$ini")" = "[System]\r\nSkinPath=$chosen\r\n" ] || fail "reinstalled, System.ini holds $(ini_of "$ini")"
done

# Started from its link by a player who cannot write the installed copy, the
# game shows its chooser on the installed skin and, ended as a closed window
# ends it, keeps the player's System.ini in $XDG_CONFIG_HOME/dexlora.
mkdir "$work/config" "$work/frames"
cp "$ini" "$work/installed.ini"
as_player=()
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$work/config" "$work/frames"
    as_player=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups)
else
    chmod -R a-w "$program"
fi
(cd "$work/frames" && exec "${as_player[@]}" env HOME="$work/config" XDG_CONFIG_HOME="$work/config" \
    SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_VIDEO_DUMMY_SAVE_FRAMES=1 "$prefix/bin/dexlora") \
    >"$work/game.log" 2>&1 &
game=$!
for _ in $(seq 300); do
    [ -z "$(ls "$work/frames")" ] && kill -0 $game 2>/dev/null || break
    sleep 0.1
done
[ -n "$(ls "$work/frames")" ] || fail "the installed game showed no frame within 30 s"
kill -TERM $game
for _ in $(seq 100); do kill -0 $game 2>/dev/null && sleep 0.1; done
kill -KILL $game 2>/dev/null && fail "the installed game did not end within 10 s of SIGTERM"
wait $game || fail "the installed game ended with status $?: $(cat "$work/game.log")"
saved=$work/config/dexlora/System.ini
[ "$(ini_of "$saved")" = "[System]\r\nSkinPath=$skin\r\n" ] || fail "the player's System.ini holds $(ini_of "$saved")"
cmp -s "$ini" "$work/installed.ini" || fail "the installed System.ini changed"

echo "install: $failures failed"
[ "$failures" -eq 0 ]
