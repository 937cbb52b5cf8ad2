# Sourced by every script that runs Windows programs: one cached 32-bit prefix per work tree.
_tavrine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEARCH=win32
export WINEPREFIX=${TAVRINE_WINEPREFIX:-$_tavrine_root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompt: the suite needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
unset _tavrine_root
