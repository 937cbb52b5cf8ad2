#!/usr/bin/env bash
# A program linked against Portivo's ordinal import library imports ordinals 2, 3, 4 and no names.
set -euo pipefail
# The Portivo.dll import block runs from its "DLL Name" line to the next empty line.
block=$(i686-w64-mingw32-objdump -p "$1" | sed -n '/DLL Name: Portivo.dll/,/^$/p')
echo "$block"
ordinals=$(grep '<none>' <<<"$block" | awk '{print $2}' | sort -n | tr '\n' ' ')
[ "$ordinals" = "2 3 4 " ] || { echo "expected ordinals 2 3 4, found: $ordinals"; exit 1; }
if grep -q -E 'InitDriver|KbdFeatures' <<<"$block"; then echo "imports by name"; exit 1; fi
