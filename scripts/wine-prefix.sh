#!/usr/bin/env bash
# Makes sure the Wine prefix of the chosen architecture exists and has finished booting. Safe to
# call from parallel tests.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
[ -x "$TAVRINE_WINE" ] || { echo "Wine's $TAVRINE_WINE_ARCH-bit loader is not installed ($TAVRINE_WINE)" >&2; exit 1; }
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.tavrine-ready" ]; then
    rm -rf "$WINEPREFIX"
    if ! "$TAVRINE_WINE" wineboot.exe -i >"$WINEPREFIX.boot.log" 2>&1; then
        echo "wineboot failed; see $WINEPREFIX.boot.log" >&2
        exit 1
    fi
    # Installing or starting services right after the boot fails silently: wait for it to settle.
    wineserver -w
    touch "$WINEPREFIX/.tavrine-ready"
fi
# Our displays have no window manager. For a managed window Wine then waits up to two seconds
# for a manager to confirm each hide, so every dialog that closes stalls its program; windows
# Wine manages itself hide at once. (The skinned windows draw their own frames either way.)
if [ ! -f "$WINEPREFIX/.tavrine-unmanaged" ]; then
    "$TAVRINE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
        wineserver -w && touch "$WINEPREFIX/.tavrine-unmanaged"
fi
