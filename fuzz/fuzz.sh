#!/usr/bin/env bash
# Builds and runs the libFuzzer targets of fuzz/.
#
#   fuzz.sh build               configures (preset fuzz) and builds the targets
#   fuzz.sh run SECONDS NAME... runs fuzz_NAME for SECONDS each; prints the
#                               executions and crashes of each run
#
# Environment: FUZZ_BUILD_DIR (default build/fuzz), FUZZ_CXX (the clang++ to
# use instead of the preset's), FUZZ_FRESH=1 (start from the seeds alone, in a
# temporary corpus; otherwise the corpus grows in FUZZ_BUILD_DIR/corpus/NAME),
# FUZZ_ARGS (more libFuzzer options). Exit 1 when a run found a crash.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build/fuzz}
compiler=()
[ -n "${FUZZ_CXX:-}" ] && compiler=(-DCMAKE_CXX_COMPILER="$FUZZ_CXX")
# The inner build runs as if started from a shell, whoever started this.
unset MAKEFLAGS MFLAGS MAKELEVEL

build_targets() {
    (cd "$root" && cmake --preset fuzz -B "$build" "${compiler[@]}") || exit 1
    cmake --build "$build" --target fuzz_settings fuzz_scenario -j"$(nproc)" || exit 1
}

run_target() {
    local seconds=$1 name=$2
    local binary=$build/fuzz/fuzz_$name
    local seeds=$root/fuzz/corpus/$name
    local artifacts=$build/artifacts/$name
    local log=$build/logs/fuzz_$name.log
    local corpus=$build/corpus/$name
    if [ ! -x "$binary" ]; then
        echo "fuzz_$name: $binary is not built (fuzz.sh build)" >&2
        return 1
    fi
    if [ "${FUZZ_FRESH:-0}" = 1 ]; then
        corpus=$(mktemp -d "${TMPDIR:-/tmp}/gh_fuzz_corpus_XXXXXX")
    fi
    mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
    rm -f "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-* "$artifacts"/slow-unit-*
    local extra=()
    # The bundled scenarios seed the scenario reader too, whatever their number.
    [ "$name" = scenario ] && [ -d "$root/scenarios" ] && extra=("$root/scenarios")
    local dict=()
    [ -f "$root/fuzz/$name.dict" ] && dict=(-dict="$root/fuzz/$name.dict")
    local started=$SECONDS
    # shellcheck disable=SC2086
    "$binary" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "${dict[@]}" ${FUZZ_ARGS:-} "$corpus" "$seeds" "${extra[@]}" >"$log" 2>&1
    local status=$?
    local took=$((SECONDS - started))
    local executions
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ -z "$executions" ]; then
        executions=$(sed -n 's/^#\([0-9][0-9]*\).*/\1/p' "$log" | tail -n 1)
    fi
    local found
    found=$(find "$artifacts" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
        -o -name 'oom-*' \) | sort)
    local crashes=0
    [ -n "$found" ] && crashes=$(printf '%s\n' "$found" | wc -l)
    if [ "$status" -ne 0 ] && [ "$crashes" -eq 0 ]; then
        crashes=1 # stopped by a finding without an artifact
    fi
    echo "fuzz_$name: ${executions:-0} executions in $took s, $crashes crashes, corpus $(find "$corpus" -type f | wc -l) files"
    if [ "${FUZZ_FRESH:-0}" = 1 ]; then
        rm -rf "$corpus"
    fi
    if [ "$status" -ne 0 ]; then
        echo "fuzz_$name: the run stopped on a finding (exit $status); its report, from $log:" >&2
        grep -v '^#[0-9]' "$log" | tail -n 60 >&2
        for artifact in $found; do
            echo "fuzz_$name: reproduce with: $binary $artifact" >&2
        done
        return 1
    fi
}

case "${1:-}" in
build)
    build_targets
    ;;
run)
    [ $# -ge 3 ] || { echo "usage: fuzz.sh run SECONDS NAME..." >&2; exit 2; }
    seconds=$2
    shift 2
    failed=0
    for name in "$@"; do
        run_target "$seconds" "$name" || failed=1
    done
    exit $failed
    ;;
*)
    echo "usage: fuzz.sh build | fuzz.sh run SECONDS NAME..." >&2
    exit 2
    ;;
esac
