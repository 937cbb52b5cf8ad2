#!/usr/bin/env bash
# Screenshots of the toolkit's sample window under Wine on a private Xvfb: the pointer over one
# button, then pressing the other. The sample grabs the screen itself through GDI (BitBlt from
# the desktop): `xwd -root` on Xvfb shows Wine's later, overlapping windows black.
# Usage: screenshot.sh <build dir> <output dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=$(cd "${1:?build dir}" && pwd)
mkdir -p "${2:?output dir}"
out=$(cd "$2" && pwd)
source "$root/scripts/xvfb.sh"
source "$root/scripts/wine-env.sh"
xvfb_start
trap 'wineserver -k 2>/dev/null || true; xvfb_stop' EXIT
"$root/scripts/wine-prefix.sh"
timeout 60 "$TAVRINE_WINE" "$build/bin/ui_sample_form.exe" "$("$TAVRINE_WINE" winepath.exe -w "$out")"
convert "$out/sample-hover.bmp" "$out/sample-hover.png"
convert "$out/sample-pressed.bmp" "$out/sample-pressed.png"
convert "$out/sample-hover.png" "$out/sample-pressed.png" +append "$out/sample.png"
rm -f "$out/sample-hover.bmp" "$out/sample-pressed.bmp"
echo "$out/sample.png"
