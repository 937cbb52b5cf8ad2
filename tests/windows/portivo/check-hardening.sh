#!/usr/bin/env bash
# A shipped binary is hardened and, for a program, carries its application manifest:
#   every binary: ASLR and DEP in its header (and high-entropy ASLR in a 64-bit one), the stack
#   protector's and the checked functions' failure handlers linked in;
#   a program (MANIFEST given): asInvoker, Windows 7 to 11, DPI aware per monitor v2 with the
#   system-aware fallback, and common controls 6 when COMMON_CONTROLS is given.
# Reads the files only, so it runs on machines that cannot run them.
# usage: check-hardening.sh OBJDUMP BINARY [MANIFEST [COMMON_CONTROLS]]
set -euo pipefail
objdump=$1
binary=$2
want_manifest=${3:-}
want_comctl=${4:-}
here=$(dirname "$0")
failures=()

dump=$("$objdump" -p "$binary")
flags=$(awk '/^DllCharacteristics/ {print $2}' <<<"$dump")
[ -n "$flags" ] || { echo "$binary: no DllCharacteristics in the header"; exit 1; }
wanted=$((0x40 | 0x100))  # DYNAMIC_BASE, NX_COMPAT
grep -q '^Magic.*020b' <<<"$dump" && wanted=$((wanted | 0x20))  # PE32+: HIGH_ENTROPY_VA
(( (0x$flags & wanted) == wanted )) ||
    failures+=("DllCharacteristics 0x$flags lacks $(printf '0x%x' $((wanted & ~0x$flags)))")

symbols=$("$objdump" -t "$binary")
[ "$(wc -l <<<"$symbols")" -gt 10 ] || failures+=("no symbol table: cannot tell the protections")
grep -Eq '[ _]__stack_chk_fail$' <<<"$symbols" || failures+=("no stack protector (__stack_chk_fail)")
grep -Eq '[ _]__chk_fail$' <<<"$symbols" || failures+=("no checked functions (_FORTIFY_SOURCE: __chk_fail)")

if [ "$want_manifest" = MANIFEST ]; then
    if manifest=$(python3 "$here/pe_manifest.py" "$binary"); then
        need=('level="asInvoker"'
              '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}'  # Windows 7
              '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}'  # Windows 8
              '{1f676c76-80e1-4239-95bb-83d0f6d0da78}'  # Windows 8.1
              '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'  # Windows 10 and 11
              '>true/pm</dpiAware>'
              '>PerMonitorV2, PerMonitor</dpiAwareness>')
        [ "$want_comctl" = COMMON_CONTROLS ] &&
            need+=('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"')
        for text in "${need[@]}"; do
            grep -qF -- "$text" <<<"$manifest" || failures+=("manifest lacks $text")
        done
        if [ "$want_comctl" != COMMON_CONTROLS ] && grep -q Common-Controls <<<"$manifest"; then
            failures+=("manifest asks for common controls the program does not use")
        fi
        python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parseString(sys.stdin.buffer.read())' \
            <<<"$manifest" || failures+=("manifest is not well-formed XML")
    else
        failures+=("no application manifest")
    fi
fi

if [ ${#failures[@]} -gt 0 ]; then
    printf "$binary: %s\n" "${failures[@]}"
    exit 1
fi
echo "$binary: hardened (DllCharacteristics 0x$flags)${want_manifest:+, manifest as expected}"
