#!/usr/bin/env bash
# Makes sure the Wine prefix exists and has finished booting. Safe to call from parallel tests.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
command -v wine >/dev/null || { echo "wine is not installed" >&2; exit 1; }
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.tavrine-ready" ]; then
    rm -rf "$WINEPREFIX"
    if ! wineboot -i >"$WINEPREFIX.boot.log" 2>&1; then
        echo "wineboot failed; see $WINEPREFIX.boot.log" >&2
        exit 1
    fi
    # Installing or starting services right after the boot fails silently: wait for it to settle.
    wineserver -w
    touch "$WINEPREFIX/.tavrine-ready"
fi
