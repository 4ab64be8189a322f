#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package/, `cpack -G DEB` (dependencies
# computed by dpkg-shlibdeps), then lintian on the result when it is installed.
#   bash scripts/package.sh          -> build-package/brelmont_<version>_<arch>.deb
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
BUILD_DIR="${PACKAGE_BUILD_DIR:-$BRELMONT_ROOT/build-package}"
install_packages
# Only this script needs them (dpkg-shlibdeps, the ELF check of CPack, the package check).
missing=()
for pkg in dpkg-dev file lintian; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if ((${#missing[@]})); then
    sudo=""
    [[ $(id -u) -ne 0 ]] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
BUILD_TYPE=Release configure_and_build -DBRELMONT_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
(cd "$BUILD_DIR" && cpack -G DEB --config CPackConfig.cmake)
deb="$(ls -t "$BUILD_DIR"/brelmont_*.deb | head -1)"
echo "package: $deb"
dpkg-deb --info "$deb" | sed -n '/Depends/p'
lintian --fail-on error "$deb"
