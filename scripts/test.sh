#!/usr/bin/env bash
# Installs missing packages, builds everything and runs the whole test suite headless.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_packages
install_soap_peer
configure_and_build "$@"
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
