#!/usr/bin/env bash
# Installs missing packages, builds everything and runs the whole test suite headless.
#   bash scripts/test.sh [--sanitize] [CMAKE_ARGS...]
# --sanitize builds into build-sanitize/ with AddressSanitizer and UndefinedBehaviorSanitizer
# (-DBRELMONT_SANITIZE=ON) and runs the same suite there; any finding fails its test.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cmake_args=()
for arg in "$@"; do
    if [[ "$arg" == --sanitize ]]; then
        BUILD_DIR="${SANITIZE_BUILD_DIR:-$BRELMONT_ROOT/build-sanitize}"
        # Unoptimised: it builds in far less time, and the reports point at the very line.
        BUILD_TYPE="${BUILD_TYPE:-Debug}"
        cmake_args+=(-DBRELMONT_SANITIZE=ON)
        # Stop at the first finding, with a readable stack; leaks of the system's own libraries
        # at exit are not ours (scripts/lsan.supp).
        export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1}"
        export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
        export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$BRELMONT_ROOT/scripts/lsan.supp:print_suppressions=0}"
    else
        cmake_args+=("$arg")
    fi
done
install_packages
install_soap_peer
configure_and_build "${cmake_args[@]}"
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
