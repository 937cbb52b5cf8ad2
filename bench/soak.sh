#!/usr/bin/env bash
# The soak under Wine: 200 profile writes and 1,000 event reports against the virtual mouse,
# with the program's memory, handles and GDI/USER objects before and after.
#   bench/soak.sh [writes, default 200] [event reports, default 1000]
# Uses build/windows (TAVRINE_WINE_ARCH=32) or build/windows64 (64); builds what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
export TAVRINE_WINE_ARCH=${TAVRINE_WINE_ARCH:-32}
# A prefix of its own: the soak leaves the tests' mouse and settings alone, and can run beside them.
export TAVRINE_WINEPREFIX=${TAVRINE_WINEPREFIX:-$PWD/build/wineprefix-soak}
[ "$TAVRINE_WINE_ARCH" = 32 ] && preset=windows || preset=windows64
[ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
cmake --build "build/$preset" -j 2 --target soak_bench >/dev/null
source scripts/wine-env.sh
scripts/wine-prefix.sh >/dev/null
source scripts/xvfb.sh
xvfb_start
trap 'xvfb_stop' EXIT
"$TAVRINE_WINE" "build/$preset/bin/soak_bench.exe" "${1:-200}" "${2:-1000}"
