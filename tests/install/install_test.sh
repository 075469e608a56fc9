#!/usr/bin/env bash
# Installs the build into temporary prefixes (plain, staged with DESTDIR, a
# path beyond ASCII, a reinstall) and checks every installed file the game
# and the desktop rely on (layout); starts the installed game headless and on
# a screen and ends it as a closed window and Esc do (start); and runs it as
# a player who cannot write the installed copy, whose choice is then saved in
# the per-user folder (per-user).
# Usage: install_test.sh layout|start|per-user BUILD_DIR SOURCE_DIR
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
    [ -x "$root/bin/dexlora-skin-check" ] || fail "$row: bin/dexlora-skin-check, which dexlora-check runs, missing"
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

# run_game ROW COMMAND...: starts the game, lets it run 3 s, sends the
# signal a closed window sends, and expects it to end by its shutdown.
run_game() {
    local row=$1
    shift
    (cd "$work" && exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$@") >"$work/game.log" 2>&1 &
    local game=$!
    sleep 3
    if ! kill -0 "$game" 2>/dev/null; then
        wait "$game"
        fail "$row: the installed game ended by itself with status $?: $(cat "$work/game.log")"
        return 1
    fi
    kill -TERM "$game"
    for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$game" 2>/dev/null; then
        kill -KILL "$game"
        wait "$game"
        fail "$row: the installed game did not end within 5 s of SIGTERM"
        return 1
    fi
    wait "$game"
    local status=$?
    [ "$status" -eq 0 ] || { fail "$row: the installed game ended with status $status: $(cat "$work/game.log")"; return 1; }
}

# The SkinPath a System.ini holds, decoded, without a trailing '/'.
skin_path_in() {
    iconv -f CP932 -t UTF-8 "$1" 2>/dev/null | tr -d '\r' | sed -n 's/^SkinPath=//p' | sed 's:/*$::'
}

start_installed_game() {
    local p1=$work/prefix
    install_to "$p1" || return
    local ini=$p1/lib/dexlora/system/System.ini skin=$p1/share/dexlora/skins/Standard

    # Started from its link, the game opens the skin chooser (its window is
    # the first to show a frame) on the installed skin, stays up, and ends
    # through its shutdown, which writes the skin back.
    mkdir -p "$work/frames"
    if run_game from-link env SDL_VIDEO_DUMMY_SAVE_FRAMES=1 sh -c "cd '$work/frames' && exec '$p1/bin/dexlora'"; then
        [ "$(skin_path_in "$ini")" = "$skin" ] || fail "from-link: System.ini names $(skin_path_in "$ini")"
        local first
        first=$(ls "$work/frames" | head -1)
        [ -n "$first" ] || fail "from-link: no window showed a frame"
    fi

    # On a real screen, as from the desktop entry's command: OK in the
    # chooser brings up the main window with the title picture, and Esc ends
    # the game. Needs Xvfb, xdotool and ImageMagick's import.
    # Not in a sanitizer build: on a screen, SDL's D-Bus and the GL driver
    # leak at exit of their own, and the GL driver's JIT deadlocks under
    # AddressSanitizer's slow unwinding.
    if grep -q '^DEXLORA_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
        echo "skipped on a screen: sanitizer build"
        return
    fi
    local tool
    for tool in Xvfb xdotool import; do
        command -v "$tool" >/dev/null || { echo "skipped on a screen: no $tool"; return; }
    done
    local display=:$((200 + RANDOM % 700))
    Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
    local xvfb=$!
    for _ in $(seq 100); do
        DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1 && break
        sleep 0.1
    done
    local exec_line
    exec_line=$(sed -n 's/^Exec=//p' "$p1/share/applications/dexlora.desktop")
    (cd "$work" && exec env -u SDL_VIDEODRIVER DISPLAY="$display" SDL_AUDIODRIVER=dummy "$exec_line") \
        >"$work/screen.log" 2>&1 &
    local game=$!
    # Each step waits for what it needs, up to 20 s, so that a slow machine
    # only makes the test slower.
    local chooser= shown= colours=0
    for _ in $(seq 200); do
        chooser=$(DISPLAY=$display xdotool search --onlyvisible --name '^Skin' 2>/dev/null)
        [ -n "$chooser" ] && break
        sleep 0.1
    done
    [ -n "$chooser" ] || fail "on-screen: the chooser did not open"
    DISPLAY=$display xdotool mousemove 400 300 key Return
    for _ in $(seq 200); do
        shown=$(DISPLAY=$display xdotool search --onlyvisible --name '^DexloraSoftware$' 2>/dev/null)
        [ -n "$shown" ] && break
        sleep 0.1
    done
    [ -n "$shown" ] || fail "on-screen: no main window after OK in the chooser"
    for _ in $(seq 40); do
        DISPLAY=$display import -window root "$work/title.png" 2>/dev/null
        colours=$(convert "$work/title.png" -format %k info: 2>/dev/null || echo 0)
        [ "$colours" -gt 1000 ] && break
        sleep 0.5
    done
    [ "$colours" -gt 1000 ] || fail "on-screen: the screen shows $colours colours, not the title picture"
    DISPLAY=$display xdotool key Escape
    for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$game" 2>/dev/null; then
        kill -KILL "$game"
        fail "on-screen: Esc did not end the game"
    fi
    wait "$game" || fail "on-screen: the game ended with status $?: $(cat "$work/screen.log")"
    kill "$xvfb"
    wait "$xvfb" 2>/dev/null
}

per_user_save() {
    local p1=$work/prefix
    install_to "$p1" || return
    local ini=$p1/lib/dexlora/system/System.ini skin=$p1/share/dexlora/skins/Standard
    # Run by a player who cannot write the installed copy, the game saves
    # the player's System.ini in the per-user folder and leaves the
    # installed one as it was.
    chmod 755 "$work"
    local config=$work/config
    mkdir -p "$config"
    cp "$ini" "$work/installed-System.ini"
    if [ "$(id -u)" -eq 0 ]; then
        local nobody
        nobody=$(id -u nobody 2>/dev/null) || { fail "per-user: no user nobody to run as"; return; }
        chown "$nobody" "$config"
        run_game per-user setpriv --reuid="$nobody" --regid="$(id -g nobody)" --clear-groups \
            env HOME="$config" XDG_CONFIG_HOME="$config" "$p1/bin/dexlora"
    else
        chmod -R a-w "$p1/lib/dexlora"
        run_game per-user env HOME="$config" XDG_CONFIG_HOME="$config" "$p1/bin/dexlora"
        chmod -R u+w "$p1/lib/dexlora"
    fi
    [ -f "$config/dexlora/System.ini" ] || fail "per-user: no System.ini saved in $config/dexlora"
    [ "$(skin_path_in "$config/dexlora/System.ini")" = "$skin" ] ||
        fail "per-user: the saved System.ini names $(skin_path_in "$config/dexlora/System.ini")"
    cmp -s "$ini" "$work/installed-System.ini" || fail "per-user: the installed System.ini changed"
}

case $mode in
    layout) check_installs ;;
    start) start_installed_game ;;
    per-user) per_user_save ;;
    *) echo "unknown mode $mode"; exit 2 ;;
esac

if [ "$failures" -eq 0 ]; then
    echo "install $mode: all checks passed"
    exit 0
fi
echo "install $mode: $failures failed"
exit 1
