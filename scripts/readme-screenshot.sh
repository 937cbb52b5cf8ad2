#!/usr/bin/env bash
# Refreshes docs/main-window.png, the README's picture of the main window, from the screenshot the
# installer's end-to-end test takes of the installed program (installer_journey_tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shot=${1:-$root/build/windows/test-artifacts/installed-main-window.bmp}
[ -f "$shot" ] || { echo "no $shot: run installer_journey_tests first" >&2; exit 1; }
# The main window (980 x 750) is centred on the screen; kept small for the repository.
size=$(identify -format '%w %h' "$shot")
read -r width height <<<"$size"
x=$(( (width - 980) / 2 )); y=$(( (height - 750) / 2 ))
convert "$shot" -crop "980x750+$x+$y" +repage -resize 70% -colors 128 "PNG8:$root/docs/main-window.png"
echo "$root/docs/main-window.png"
