# Shared by scripts/run and scripts/test: install what is missing, configure and build. Each step does
# nothing when nothing is missing or changed, so that starting the program costs no more than the program.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${VELU_BUILD_DIR:-$ROOT/build}
PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libsqlite3-dev libzip-dev libsodium-dev libgtest-dev
          libbenchmark-dev xvfb xauth fonts-dejavu-core wngerman manpages-de debian-reference-de
          qt6-translations-l10n poppler-utils)

install_missing() {
    local wanted=("${PACKAGES[@]}" "$@") installed=() missing=()
    # One query for all packages; one that dpkg does not know is missing.
    mapfile -t installed < <(dpkg-query -W -f='${Package} ${Status}\n' "${wanted[@]}" 2>/dev/null |
                             awk '/ install ok installed$/ {print $1}')
    for p in "${wanted[@]}"; do
        [[ " ${installed[*]} " == *" $p "* ]] || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# True when the build folder holds a configured Ninja build whose cache has every -DNAME=VALUE given.
# Changes to the CMake files themselves need no check here: the build re-runs CMake for them.
configured() {
    local cache="$BUILD_DIR/CMakeCache.txt" opt name value
    [ -f "$cache" ] && [ -f "$BUILD_DIR/build.ninja" ] || return 1
    for opt in -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"; do
        [[ $opt == -D*=* ]] || return 1
        name=${opt#-D}
        value=${name#*=}
        name=${name%%=*}
        name=${name%%:*}
        grep -qxF "$name:${value}" <(sed -E 's/^([^:=]*):[A-Z]+=/\1:/' "$cache") || return 1
    done
}

configure() {
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

# Configures when the build folder is new or lacks one of the options, then builds (the targets after "--",
# else everything).
build() {
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift && targets=("$@")
    configured "${options[@]}" || configure "${options[@]}"
    cmake --build "$BUILD_DIR" -j"$(nproc)" ${targets[@]:+--target "${targets[@]}"}
}
