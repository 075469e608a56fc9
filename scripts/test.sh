#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test headless twice: in
# the normal build, and in a second build under AddressSanitizer and
# UndefinedBehaviorSanitizer with leak checking. Both runs replay every
# committed fuzz corpus file through its target.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

run_tests() {
    (cd "$1" && ctest --output-on-failure --parallel "$(nproc)" --timeout 300)
}

echo "== Normal build: $BUILD"
build -DDEXLORA_TESTS=ON -DDEXLORA_BENCH=ON -DDEXLORA_SANITIZE=OFF
run_tests "$BUILD"

echo "== Sanitizer build: $SANITIZE_BUILD"
BUILD=$SANITIZE_BUILD build -DDEXLORA_TESTS=ON -DDEXLORA_BENCH=OFF -DDEXLORA_SANITIZE=ON
# Every report ends the test that made it; stacks through libraries built
# without frame pointers are walked the slow way so they name their callers.
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:fast_unwind_on_malloc=0 \
UBSAN_OPTIONS=print_stacktrace=1 \
    run_tests "$SANITIZE_BUILD"

echo "== All tests passed in both builds (${SECONDS} s)"
