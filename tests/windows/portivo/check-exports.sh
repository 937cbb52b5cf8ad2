#!/usr/bin/env bash
# Portivo.dll exports exactly ordinals 2..10 with their names, and imports only system DLLs.
# usage: check-exports.sh OBJDUMP DLL
set -euo pipefail
objdump=$1
dll=$2
dump=$("$objdump" -p "$dll")
expected="2 InitDriver
3 SetKbdFeatures
4 GetKbdFeatures
5 GetIndexStr
6 GetManufacturerStr
7 GetProductStr
8 GetSerialNumStr
9 GetPhysicalDesc
10 GetFirmwareVer"
base=$(awk '/^Ordinal Base/ {print $3}' <<<"$dump")
actual=$(awk -v base="$base" '/\[Ordinal\/Name Pointer\] Table/ {t=1; next}
    t && /^[ \t]*$/ {exit}
    t { gsub(/[\[\]]/, ""); print $1 + base, $2 }' <<<"$dump" | sort -n)
if [ "$actual" != "$expected" ]; then
    echo "exports differ:"; diff <(echo "$expected") <(echo "$actual") || true; exit 1
fi
count=$(awk '/Export Address Table --/ {t=1; next} t && /Export RVA/ {n++} t && /^[ \t]*$/ {exit} END {print n+0}' <<<"$dump")
[ "$count" = 9 ] || { echo "expected 9 exported addresses, found $count"; exit 1; }
imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$dump" | sort | tr '\n' ' ')
for dllname in $imports; do
    case $dllname in
        kernel32.dll|user32.dll|hid.dll|setupapi.dll|msvcrt.dll|advapi32.dll) ;;
        *) echo "unexpected import: $dllname"; exit 1 ;;
    esac
done
echo "exports and imports as expected: $imports"
