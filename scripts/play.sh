#!/usr/bin/env bash
# Installs what is missing, builds, and starts Dexlora on the bundled skin.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages
build -DDEXLORA_TESTS=OFF -DDEXLORA_BENCH=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Built $BUILD/dexlora; no display to start it on (DISPLAY is not set)."
    exit 1
fi
exec "$BUILD/dexlora"
