# Shared by play.sh and test.sh: install what is missing, then configure and build.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${DEXLORA_BUILD_DIR:-$ROOT/build}

PACKAGES=(g++ cmake ninja-build pkg-config
          libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev libsdl2-mixer-dev
          libfontconfig-dev fonts-ipafont-gothic
          libgtest-dev libgmock-dev libbenchmark-dev
          xvfb xdotool imagemagick python3)

ensure_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    else
        echo "Missing Debian packages. Run as root first:"
        echo "  apt-get install -y ${missing[*]}"
        exit 1
    fi
}

build() {
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$BUILD" --parallel "$(nproc)"
}
