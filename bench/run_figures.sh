#!/usr/bin/env bash
# Runs every figure of BENCHMARKS.md and prints them: the frame beside its
# plain-SDL floor (headless), processor time, latency, memory and
# instructions per frame in a real window under Xvfb (ours by each present
# path, SDL alone by OpenGL and by its software renderer, and the game's
# title and typing scenes by each path, and its private memory scene by scene),
# start-up to the first title frame (in the process, and from exec beside the
# plain-SDL floor, headless and in a real window), leaving the key configuration,
# flexible romaji on a long reading, recording a game in a full history and
# reading it back, opening the records; the frame on a 1920x1080 screen
# (shown at 1440x1080) with sharp text on and off.
# Usage: bench/run_figures.sh [BUILD_DIR]   (default: build)
# Needs xvfb and xdotool for the real-window figures, valgrind for the
# instruction counts.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
reps=${DEXLORA_BENCH_REPS:-5}
# Google Benchmark prints a median only over two repetitions or more.
((reps >= 2)) || reps=2
seconds=${DEXLORA_BENCH_SECONDS:-10}
run() { nice -n 5 "$@"; }
work=$(mktemp -d)
xvfb=
xvfb_wide=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    [ -n "$xvfb_wide" ] && kill "$xvfb_wide" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# The player's own options and history stay out of the figures.
mkdir -p "$work/config" "$work/data"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"

echo "== machine"
echo "nproc=$(nproc) cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //') mem=$(free -g | awk '/^Mem:/{print $2}')GiB load=$(cut -d' ' -f1-3 /proc/loadavg)"

echo "== frame, headless (median of $reps)"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy run "$build/bench_drawing_frame" \
    --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true 2>/dev/null | grep -E '_median|_stddev'

echo "== leaving the key configuration, 10,000 questions (median of $reps)"
run "$build/bench_typing" --benchmark_filter='LeaveKeyConf|LoadQuestions' \
    --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true 2>/dev/null | grep -E '_median'

echo "== opening the records scene on 10,000 games: read and shown (/0), the page alone (/1) (median of $reps)"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy run "$build/bench_records" \
    --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true 2>/dev/null | grep -E '_median'

echo "== the game history, 10,000 games: recording one, reading them back (median of $reps)"
run "$build/bench_history" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true 2>/dev/null |
    grep -E '_median'

echo "== flexible romaji, a 200-kana reading: making its matcher, one key (median of $reps)"
run "$build/bench_typing" --benchmark_filter='Flexible' \
    --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true 2>/dev/null | grep -E '_median'

if [ -x "$build/bench_startup" ]; then
    echo "== start to the first title frame, headless, standard skin"
    run "$build/bench_startup" 11
fi

# A program folder of the game's own: the bundled system folder, System.ini
# naming the standard skin, and a settings folder of its own.
if [ -x "$build/dexlora" ]; then
    mkdir -p "$work/game/system"
    cp "$root"/system/Rome*.ini "$work/game/system/"
    printf '[System]\r\nSkinPath=%s/skins/Standard\r\n' "$root" >"$work/game/system/System.ini"
    cp "$build/dexlora" "$work/game/"
fi
# From exec to the first title frame (the chooser answered at once, the game
# ended right after that frame), beside SDL alone showing its first frame.
exec_startup() {
    [ -x "$build/dexlora" ] && [ -x "$build/bench_exec_startup" ] || return 0
    XDG_CONFIG_HOME="$work/config" SDL_AUDIODRIVER=dummy run "$build/bench_exec_startup" --runs 11 \
        game="$work/game/dexlora" plain="$build/bench_plain_first_frame"
}
echo "== start-up from exec to the first frame, dummy video driver (median of 11)"
SDL_VIDEODRIVER=dummy exec_startup

if ! command -v Xvfb >/dev/null; then
    echo "== no Xvfb: real-window figures skipped"
    exit 0
fi
display=:$((100 + RANDOM % 800))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 2
export DISPLAY=$display
unset SDL_VIDEODRIVER

echo "== start-up from exec to the first frame, real window (median of 11)"
exec_startup

# The floors: SDL alone through OpenGL (software here, as on any machine
# without a graphics card) and through its own software renderer on the
# window's shared-memory surface; ours by the path it chooses itself and by
# the accelerated one.
floors_and_ours() {  # runs its arguments with bench_frame_loop for each
    "$@" plain "plain" ""
    "$@" plain "plain-software" "SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0"
    "$@" dexlora "dexlora-auto" "DEXLORA_PRESENT=auto"
    "$@" dexlora "dexlora-accelerated" "DEXLORA_PRESENT=accelerated"
}
paced() {  # who label environment
    echo "$2 $(env $3 nice -n 5 "$build/bench_frame_loop" "$1" --seconds "$seconds" --keys 100)"
}
echo "== real window at the display's pace, ${seconds} s each (the floors, ours by each path; three rounds)"
for i in 1 2 3; do floors_and_ours paced; done

# Instructions per presented frame, every thread of the process counted:
# a 640x480 window (unscaled), then covering the desktop (scaled).
counted() {  # who label environment
    env $3 valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$work/callgrind.out" \
        "$build/bench_frame_loop" "$1" --frames 60 --window640 "$window640" >/dev/null 2>&1 || { echo "$2 failed"; return; }
    callgrind_annotate "$work/callgrind.out" | awk -v l="$2" -v w="$window640" '/PROGRAM TOTALS/ {
        gsub(",", "", $1); printf "%s window640=%s instructions_per_frame=%.2fM\n", l, w, $1 / 60 / 1e6 }'
}
if command -v valgrind >/dev/null && command -v callgrind_annotate >/dev/null; then
    echo "== instructions per frame in a real window (callgrind, 60 frames)"
    for window640 in 1 0; do floors_and_ours counted; done
else
    echo "== no valgrind: instruction counts skipped"
fi

# The game itself: processor time from /proc/PID/stat over a stretch of the
# title and of a typing game, and its private memory. Sound is mixed for the
# dummy audio device, as for a real one.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
measure() {  # label pid
    local t0 c0 c1 t1
    t0=$(date +%s.%N); c0=$(cpu_ticks "$2")
    sleep "$seconds"
    t1=$(date +%s.%N); c1=$(cpu_ticks "$2")
    awk -v l="$1" -v c="$((c1 - c0))" -v t0="$t0" -v t1="$t1" -v hz="$(getconf CLK_TCK)" \
        'BEGIN { printf "%s cpu_percent=%.1f\n", l, 100 * c / hz / (t1 - t0) }'
    echo "$1 $(grep RssAnon "/proc/$2/status" | tr -s ' \t' ' ')"
}
if [ -x "$build/dexlora" ]; then
    for i in 1 2 3; do
        for present in auto accelerated; do
            (cd "$work/game" && DEXLORA_PRESENT=$present SDL_AUDIODRIVER=dummy exec nice -n 5 ./dexlora) &
            game=$!
            sleep 3
            xdotool mousemove 512 384 key Return  # the chooser's OK
            sleep 3
            measure "game-title-$present" "$game"
            xdotool key a  # a 60-second game
            sleep 3
            measure "game-typing-$present" "$game"
            xdotool key Escape
            wait "$game" || true
        done
    done
fi

# Private memory through every scene once, by the path the game chooses: the
# title, a typing game, its result once the 60-second game is over, the title
# again, the records, the title after them.
if [ -x "$build/dexlora" ]; then
    echo "== private memory scene by scene (auto)"
    (cd "$work/game" && SDL_AUDIODRIVER=dummy exec nice -n 5 ./dexlora) &
    game=$!
    rss() { echo "game-scenes-$1 $(grep RssAnon "/proc/$game/status" | tr -s ' \t' ' ')"; }
    sleep 3
    xdotool mousemove 512 384 key Return
    sleep 4
    rss title
    xdotool key a
    sleep 5
    rss typing
    sleep 62
    rss result
    xdotool key Return
    sleep 4
    rss title-again
    xdotool key F3
    sleep 4
    rss records
    xdotool key space
    sleep 4
    rss title-after-records
    xdotool key Escape
    wait "$game" || true
fi

# Sharp text: on a 1920x1080 screen the frame is shown at 1440x1080; the game
# composes it there (sharp text, the default) or at 640x480 scaled by the
# output (--no-sharp-text), beside SDL alone scaling its 640x480 frame.
wide=:$((100 + RANDOM % 800))
Xvfb "$wide" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_wide=$!
sleep 2
echo "== real window on 1920x1080 (frames at 1440x1080), ${seconds} s each (plain SDL, ours, ours without sharp text)"
for i in 1 2 3; do
    DISPLAY=$wide run "$build/bench_frame_loop" plain --seconds "$seconds" --keys 100
    DISPLAY=$wide run "$build/bench_frame_loop" dexlora --seconds "$seconds" --keys 100
    DISPLAY=$wide run "$build/bench_frame_loop" dexlora --seconds "$seconds" --keys 100 --no-sharp-text
done
