#!/bin/sh
# Runs a Windows program of the MinGW build under Wine (wine64), for the tests.
#
#   wine-run.sh PREFIX --init             create the Wine prefix PREFIX once (later calls do nothing)
#   wine-run.sh PREFIX --stop             stop the Wine server of PREFIX
#   wine-run.sh PREFIX PROGRAM [ARGS...]  run PROGRAM, creating the prefix first if needed
#
# Wine's background services inherit the program's output and hold it open until the Wine server
# exits, seconds later, so a caller reading a pipe (ctest) would wait for that, or for ever with a
# persistent server. The program's output therefore goes to temporary files, printed once it has
# ended; the exit status is the program's.
set -u

if [ $# -lt 2 ]; then
    echo "usage: $0 PREFIX --init | --stop | PROGRAM [ARGS...]" >&2
    exit 2
fi
# Wine wants an absolute prefix; one given relative to here is made so.
case $1 in
/*) prefix=$1 ;;
*) prefix=$(pwd)/$1 ;;
esac
shift

if ! command -v wine >/dev/null 2>&1; then
    echo "wine-run: wine is not installed (make deps installs wine64 and wine)" >&2
    exit 2
fi
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
ready=$prefix/.prefix-ready

out=$(mktemp) && err=$(mktemp) || exit 2
trap 'rm -f "$out" "$err"' EXIT

create_prefix() {
    [ -f "$ready" ] && return 0
    mkdir -p "$(dirname "$prefix")"
    (
        # One creator at a time; a half-made prefix (an interrupted run) is made again.
        flock 9
        [ -f "$ready" ] && exit 0
        rm -rf "$prefix"
        if wineboot -i >"$out" 2>"$err" </dev/null && wineserver -w >>"$out" 2>>"$err" </dev/null; then
            touch "$ready"
        else
            echo "wine-run: could not create the Wine prefix $prefix:" >&2
            cat "$out" "$err" >&2
            exit 1
        fi
    ) 9>"$prefix.lock"
}

case $1 in
--init)
    create_prefix
    exit $?
    ;;
--stop)
    [ -d "$prefix" ] || exit 0
    wineserver -k >/dev/null 2>&1 </dev/null
    exit 0
    ;;
esac

create_prefix || exit 1
status=0
wine "$@" >"$out" 2>"$err" </dev/null || status=$?
cat "$out"
cat "$err" >&2
exit "$status"
