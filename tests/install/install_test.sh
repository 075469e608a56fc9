#!/usr/bin/env bash
# Installs the build into temporary prefixes (plain, staged with DESTDIR, a
# path beyond ASCII, a reinstall) and checks every installed file the game
# and the desktop rely on; then starts the installed game headless and ends
# it the way a closed window does.
# Usage: install_test.sh layout|start BUILD_DIR SOURCE_DIR
set -uo pipefail
mode=$1
build=$2
source=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/dexlora-install-test.XXXXXX")
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# install PREFIX [DESTDIR]
install_to() {
    if ! DESTDIR=${2:-} cmake --install "$build" --prefix "$1" >"$work/install.log" 2>&1; then
        cat "$work/install.log"
        fail "cmake --install --prefix $1 ${2:+(DESTDIR $2)} failed"
        return 1
    fi
}

# The exact bytes of a file, as printable text: CR shows as \r.
bytes() { od -An -c "$1" | tr -d ' \n'; }
expect_bytes() {  # row FILE EXPECTED(printf format)
    local want
    want=$(printf "$3" >"$work/want"; bytes "$work/want")
    [ -f "$2" ] || { fail "$1: $2 missing"; return; }
    [ "$(bytes "$2")" = "$want" ] || fail "$1: $2 holds $(bytes "$2"), expected $want"
}

# Width and height from a PNG's header.
png_size() {
    local h
    h=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
    echo "$((16#${h:0:8}))x$((16#${h:8:8}))"
}

check_layout() {  # row STAGE PREFIX
    local row=$1 root=$2$3 prefix=$3
    local program=$root/lib/dexlora
    [ -x "$program/dexlora" ] && [ -f "$program/dexlora" ] || fail "$row: $program/dexlora is not an executable file"
    [ -L "$root/bin/dexlora" ] || fail "$row: $root/bin/dexlora is not a link"
    [ "$(readlink -f "$root/bin/dexlora")" = "$(readlink -f "$program/dexlora")" ] ||
        fail "$row: bin/dexlora does not lead to lib/dexlora/dexlora"
    [ "$(readlink "$root/bin/dexlora")" = "../lib/dexlora/dexlora" ] ||
        fail "$row: bin/dexlora is not a relative link ($(readlink "$root/bin/dexlora"))"
    [ -x "$root/bin/dexlora-check" ] || fail "$row: bin/dexlora-check missing"
    for f in Rome.ini Rome2.ini; do
        cmp -s "$source/system/$f" "$program/system/$f" || fail "$row: system/$f differs from the sources"
    done
    for f in "$source"/skins/Standard/*; do
        cmp -s "$f" "$root/share/dexlora/skins/Standard/${f##*/}" || fail "$row: skin file ${f##*/} not installed whole"
    done
    local desktop=$root/share/applications/dexlora.desktop
    [ -f "$desktop" ] || fail "$row: desktop entry missing"
    if command -v desktop-file-validate >/dev/null; then
        local complaints
        complaints=$(desktop-file-validate "$desktop" 2>&1 | grep -v ': hint: ')
        [ -z "$complaints" ] || fail "$row: desktop-file-validate: $complaints"
    fi
    grep -qx 'Icon=dexlora' "$desktop" || fail "$row: desktop entry names no dexlora icon"
    for size in 32 48 64 128 256; do
        local icon=$root/share/icons/hicolor/${size}x${size}/apps/dexlora.png
        [ -f "$icon" ] || { fail "$row: icon $size missing"; continue; }
        [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "$row: icon $size is $(png_size "$icon")"
    done
}

check_installs() {
    # 1. A plain prefix: every file, the seeded System.ini (Shift_JIS, CR LF),
    #    the desktop entry's command.
    p1=$work/prefix
    if install_to "$p1"; then
        check_layout plain "" "$p1"
        expect_bytes plain "$p1/lib/dexlora/system/System.ini" "[System]\r\nSkinPath=$p1/share/dexlora/skins/Standard\r\n"
        grep -qx "Exec=$p1/bin/dexlora" "$p1/share/applications/dexlora.desktop" ||
            fail "plain: Exec is $(grep ^Exec= "$p1/share/applications/dexlora.desktop")"
    fi

    # 2. Staged with DESTDIR: files under the stage, paths inside them without it.
    stage=$work/stage
    if install_to /opt/dexlora-test "$stage"; then
        check_layout staged "$stage" /opt/dexlora-test
        expect_bytes staged "$stage/opt/dexlora-test/lib/dexlora/system/System.ini" \
            "[System]\r\nSkinPath=/opt/dexlora-test/share/dexlora/skins/Standard\r\n"
        grep -qx "Exec=/opt/dexlora-test/bin/dexlora" "$stage/opt/dexlora-test/share/applications/dexlora.desktop" ||
            fail "staged: Exec names the stage"
    fi

    # 3. A prefix with characters the desktop entry reserves and Japanese ones:
    #    Exec quoted and escaped, System.ini written in Shift_JIS.
    p3="$work/ゲーム dir\$%"
    if install_to "$p3"; then
        check_layout odd-name "" "$p3"
        grep -qxF "Exec=\"$work/ゲーム dir\\\\\$%%/bin/dexlora\"" "$p3/share/applications/dexlora.desktop" ||
            fail "odd-name: Exec is $(grep ^Exec= "$p3/share/applications/dexlora.desktop")"
        decoded=$(iconv -f CP932 -t UTF-8 "$p3/lib/dexlora/system/System.ini" 2>/dev/null)
        [ "$decoded" = "$(printf '[System]\r\nSkinPath=%s/share/dexlora/skins/Standard\r' "$p3")" ] ||
            fail "odd-name: System.ini is not the skin path in Shift_JIS"
    fi

    # 4. Reinstalling keeps a player's choice of an existing skin folder, and
    #    seeds again over a folder that is gone.
    if [ -d "$p1" ]; then
        ini=$p1/lib/dexlora/system/System.ini
        mkdir -p "$work/MySkin"
        printf '[System]\r\nSkinPath=%s\r\n' "$work/MySkin" >"$ini"
        install_to "$p1" && expect_bytes reinstall-kept "$ini" "[System]\r\nSkinPath=$work/MySkin\r\n"
        printf '[System]\r\nSkinPath=%s\r\n' "$work/gone" >"$ini"
        install_to "$p1" &&
            expect_bytes reinstall-stale "$ini" "[System]\r\nSkinPath=$p1/share/dexlora/skins/Standard\r\n"
    fi
}

start_installed_game() {
    # The installed game starts headless from its link on the installed skin,
    # stays up, and ends through its shutdown on the signal a closed window
    # sends, writing the skin it ran with back to System.ini.
    local p1=$work/prefix
    if install_to "$p1"; then
        ini=$p1/lib/dexlora/system/System.ini
        (cd "$work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy exec "$p1/bin/dexlora") >"$work/game.log" 2>&1 &
        game=$!
        sleep 3
        if ! kill -0 "$game" 2>/dev/null; then
            wait "$game"
            fail "start: the installed game ended by itself with status $?: $(cat "$work/game.log")"
        else
            kill -TERM "$game"
            for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
            if kill -0 "$game" 2>/dev/null; then
                kill -KILL "$game"
                fail "start: the installed game did not end within 5 s of SIGTERM"
            fi
            wait "$game"
            status=$?
            [ "$status" -eq 0 ] || fail "start: the installed game ended with status $status: $(cat "$work/game.log")"
            expect_bytes start "$ini" "[System]\r\nSkinPath=$p1/share/dexlora/skins/Standard/\r\n"
        fi
    fi
}

case $mode in
    layout) check_installs ;;
    start) start_installed_game ;;
    *) echo "unknown mode $mode"; exit 2 ;;
esac

if [ "$failures" -eq 0 ]; then
    echo "install $mode: all checks passed"
    exit 0
fi
echo "install $mode: $failures failed"
exit 1
