# Shared by play.sh and test.sh: install what is missing, then configure and build.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${DEXLORA_BUILD_DIR:-$ROOT/build}
# The test command's second build, with the sanitizers.
SANITIZE_BUILD=${DEXLORA_SANITIZE_BUILD_DIR:-$BUILD-sanitize}

PACKAGES=(g++ cmake ninja-build pkg-config
          libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev libsdl2-mixer-dev
          libjpeg-dev libfontconfig-dev fonts-ipafont-gothic
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

# build [-DOPTION=VALUE...]: configures and builds into $BUILD.
build() {
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
    cmake --build "$BUILD" --parallel "$(nproc)"
}
