#!/bin/sh
# The Windows build (gang-horse-sim.exe under Wine) writes the same report page as the Linux build,
# byte for byte: nothing in a page depends on addresses, clocks or the platform.
# usage: same_page_on_windows.sh LINUX_SIM WINE_RUN WINE_PREFIX WINDOWS_SIM SCENARIO OUT_DIR
set -eu
mkdir -p "$6"
"$1" run "$5" --quiet --report "$6/linux.html"
sh "$2" "$3" "$4" run "$5" --quiet --report "$6/windows.html"
cmp "$6/linux.html" "$6/windows.html"
echo "the same page from both builds: $(wc -c <"$6/linux.html") bytes"
