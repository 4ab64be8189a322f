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

# The npm "soap" server that the remote phone-book tests start (tests/peers/soap/node_modules).
# Nothing is fetched when the pinned version is already there; without it those tests are skipped.
install_soap_peer() {
    local dir="$BRELMONT_ROOT/tests/peers/soap" want
    want="$(sed -n 's/.*"soap": *"\([^"]*\)".*/\1/p' "$dir/package.json")"
    if grep -qs "\"version\": \"$want\"" "$dir/node_modules/soap/package.json"; then
        return 0
    fi
    if ! command -v npm >/dev/null; then
        # Debian's npm only where no other Node.js brought its own (the two packages conflict).
        local sudo=""
        [[ $(id -u) -ne 0 ]] && sudo="sudo"
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends npm || true
    fi
    (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error) ||
        echo "warning: the npm soap peer could not be installed; its tests will be skipped" >&2
}

configure_and_build() {
    local extra=()
    [[ "${CI:-}" == "true" ]] && extra+=(-DBRELMONT_WERROR=ON)
    cmake -S "$BRELMONT_ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
        "${extra[@]}" "$@"
    cmake --build "$BUILD_DIR" --parallel "$(nproc)"
}
