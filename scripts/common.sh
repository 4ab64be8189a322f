#!/usr/bin/env bash
# Shared steps of run.sh and test.sh: install what is missing, configure, build.
set -euo pipefail

BRELMONT_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$BRELMONT_ROOT/build}"

install_packages() {
    local missing=()
    while read -r pkg; do
        [[ -z "$pkg" || "$pkg" == \#* ]] && continue
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done < "$BRELMONT_ROOT/scripts/packages.txt"
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [[ $(id -u) -ne 0 ]] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

configure_and_build() {
    local extra=()
    [[ "${CI:-}" == "true" ]] && extra+=(-DBRELMONT_WERROR=ON)
    cmake -S "$BRELMONT_ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
        "${extra[@]}" "$@"
    cmake --build "$BUILD_DIR" --parallel "$(nproc)"
}
