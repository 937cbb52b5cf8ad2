# Sourced by every script that runs Windows programs. Picks the architecture and the cached
# prefix of this work tree for it:
#   TAVRINE_WINE_ARCH=32  the 32-bit build under 32-bit Wine (build/wineprefix-32)
#   TAVRINE_WINE_ARCH=64  the 64-bit build under 64-bit Wine (build/wineprefix-64)
# Unset: 32 where this machine runs 32-bit programs (a real start of the loader), otherwise 64.
# Run Windows programs as "$TAVRINE_WINE" prog.exe (wineboot, winepath and reg included): the
# plain "wine" wrapper always takes the 32-bit loader when it is installed, which cannot use a
# 64-bit prefix.
_tavrine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${TAVRINE_WINE_ARCH:-}" ]; then
    if "$_tavrine_root/scripts/probe-32bit.sh"; then TAVRINE_WINE_ARCH=32; else TAVRINE_WINE_ARCH=64; fi
fi
export TAVRINE_WINE_ARCH
if [ "$TAVRINE_WINE_ARCH" = 64 ]; then
    export WINEARCH=win64
    export TAVRINE_WINE=/usr/lib/wine/wine64
    export WINELOADER=$TAVRINE_WINE
    export TAVRINE_BUILD=$_tavrine_root/build/windows64
else
    export WINEARCH=win32
    export TAVRINE_WINE=/usr/lib/wine/wine
    unset WINELOADER
    export TAVRINE_BUILD=$_tavrine_root/build/windows
fi
# 32-bit and 64-bit prefixes never share a folder.
export WINEPREFIX=${TAVRINE_WINEPREFIX:-$_tavrine_root/build/wineprefix}-$TAVRINE_WINE_ARCH
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompt: the suite needs neither. No menu builder: shortcuts the
# installer makes stay inside the prefix, out of this machine's own application menu.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}
unset _tavrine_root
