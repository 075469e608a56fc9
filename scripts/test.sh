#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages
build -DDEXLORA_TESTS=ON -DDEXLORA_BENCH=ON
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
cd "$BUILD"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
