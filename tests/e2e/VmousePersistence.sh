#!/usr/bin/env bash
# The virtual mouse's EEPROM outlives Wine, as a real one outlives power: a byte written through
# the write collection is read back after `wineserver -k` and a fresh start, with 0 to 50 ms
# between the write and the kill. Runs in a prefix of its own, so the other tests' mouse and
# settings are left alone.
#   VmousePersistence.sh BIN_FOLDER ARCH
# Prints one line per delay; exits 1 when any change was lost, 77 when Wine cannot run here.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$1
export TAVRINE_WINE_ARCH=$2
export TAVRINE_WINEPREFIX=$root/build/wineprefix-persistence
source "$root/scripts/wine-env.sh"
if [ "$TAVRINE_WINE_ARCH" = 32 ] && ! "$root/scripts/probe-32bit.sh"; then
    echo "SKIPPED: this machine does not run 32-bit programs"; exit 77
fi
if ! "$root/scripts/wine-prefix.sh"; then echo "SKIPPED: the Wine prefix could not be prepared"; exit 77; fi

vm() { "$TAVRINE_WINE" "$bin/vmouse.exe" "$@"; }
dump=$(mktemp)
trap 'rm -f "$dump"; wineserver -k 2>/dev/null' EXIT
# The byte at 0x0100 (inside profile 1's records): what was written there, read from the image
# the mouse hands out after the restart.
byte_at_0100() {
    vm plug >/dev/null 2>&1 || return 1
    vm dump "Z:${dump//\//\\}" >/dev/null 2>&1 || return 1
    od -An -tx1 -j 256 -N 1 "$dump" | tr -d ' '
}

vm plug >/dev/null || { echo "the virtual mouse could not be plugged in"; exit 1; }
vm reset >/dev/null
wineserver -k; wineserver -w
lost=0
value=16
for delay in 0 0 2 5 10 20 50; do
    value=$((value + 1))
    hex=$(printf '%02x' "$value")
    vm plug >/dev/null 2>&1
    vm write 0100 "$hex" >/dev/null || { echo "write failed"; exit 1; }
    [ "$delay" -gt 0 ] && sleep "$(printf '0.%03d' "$delay")"
    wineserver -k
    wineserver -w
    got=$(byte_at_0100)
    if [ "$got" = "$hex" ]; then
        echo "write, ${delay} ms, wineserver -k, restart: kept ($got)"
    else
        echo "write, ${delay} ms, wineserver -k, restart: LOST (wrote $hex, read ${got:-nothing})"
        lost=$((lost + 1))
    fi
    wineserver -k; wineserver -w
done
echo "$lost of 7 changes lost"
[ "$lost" -eq 0 ]
