#!/usr/bin/env bash
# Installs what is missing, builds, and starts Dexlora on the bundled skin.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages
build -DDEXLORA_TESTS=OFF -DDEXLORA_BENCH=OFF
exec "$BUILD/dexlora"
