#!/usr/bin/env bash
# Prints the Portivo-versus-raw-HID feature round trip on the virtual mouse (Windows build).
# Usage: scripts/vmouse-bench.sh [build dir, default: the build this machine runs] [iterations, default 500]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
build=${1:-$TAVRINE_BUILD}
iterations=${2:-500}
bench=$build/bin/vmouse_roundtrip_bench.exe
[ -f "$bench" ] || { echo "not built: $bench (cmake --build $build --target vmouse_roundtrip_bench)"; exit 1; }
source "$root/scripts/xvfb.sh"
xvfb_start || { echo "Xvfb could not be started"; exit 1; }
"$root/scripts/wine-prefix.sh" || { xvfb_stop; exit 1; }
cd "$build/bin" && "$TAVRINE_WINE" "$bench" "$iterations"
status=$?
xvfb_stop
exit $status
