#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (build-fuzz/) and runs them one after another.
#   bash scripts/fuzz.sh [--time SECONDS] [TARGET...]    (default: 600 s each, every target)
# Each target starts from its committed seeds (fuzz/corpus/TARGET) and keeps what it learns in
# build-fuzz/corpus/TARGET; a crash, leak or time-out is written to build-fuzz/findings/TARGET/.
# The fuzzer runs at the lowest priority on one core.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
seconds=600
targets=()
while (($#)); do
    case "$1" in
    --time) seconds="$2"; shift 2 ;;
    *) targets+=("$1"); shift ;;
    esac
done
FUZZ_DIR="${FUZZ_DIR:-$BRELMONT_ROOT/build-fuzz}"
if ((${#targets[@]} == 0)); then
    mapfile -t targets < <(sed -n 's/^brelmont_fuzz_target(\([a-z0-9_]*\).*/\1/p' "$BRELMONT_ROOT/fuzz/CMakeLists.txt")
fi
cmake -S "$BRELMONT_ROOT" -B "$FUZZ_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DBRELMONT_FUZZ=ON -DBRELMONT_BUILD_TESTS=OFF >/dev/null
cmake --build "$FUZZ_DIR" --target "${targets[@]/#/fuzz_}"

# Leaks inside system libraries (FreeXL) are not ours to fix.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$BRELMONT_ROOT/scripts/lsan.supp:print_suppressions=0}"
status=0
for t in "${targets[@]}"; do
    work="$FUZZ_DIR/corpus/$t" findings="$FUZZ_DIR/findings/$t"
    mkdir -p "$work" "$findings"
    echo "== $t: ${seconds}s"
    start=$(date +%s)
    # The scratch files of the readers that take a path go to memory when it can: a target that
    # saves files (registry) would otherwise wait on the disk at every input.
    scratch="$FUZZ_DIR"
    [[ -d /dev/shm && -w /dev/shm ]] && scratch=/dev/shm
    if ! TMPDIR="$scratch" nice -n 19 "$FUZZ_DIR/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 \
        -rss_limit_mb=4096 -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" \
        "$work" "$BRELMONT_ROOT/fuzz/corpus/$t" >"$findings/log.txt" 2>&1; then
        status=1
        echo "   finding after $(($(date +%s) - start))s: $(ls -t "$findings" | grep -v log.txt | head -1)"
    fi
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::new_units_added)' "$findings/log.txt" | sed "s/^/   /" || true
done
exit "$status"
