#!/usr/bin/env bash
# Installs missing packages, builds, and runs brelmont-cli with the arguments given
# (default: show the stored settings). Its settings live in a registry file of its own
# under build/demo, so a newcomer's real settings are never touched.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_packages
configure_and_build
export BRELMONT_REGISTRY="${BRELMONT_REGISTRY:-$BUILD_DIR/demo/registry.reg}"
mkdir -p "$(dirname "$BRELMONT_REGISTRY")"
if (($# == 0)); then set -- config list; fi
exec "$BUILD_DIR/src/cli/brelmont-cli" "$@"
