#!/usr/bin/env bash
# A program binds its suite DLLs by ordinal, with no names, and imports nothing else but system DLLs.
# usage: check-ordinal-imports.sh OBJDUMP PROGRAM DLL=ORDINALS... e.g. Portivo.dll=2,3,4 WMINPUT.DLL=1
set -euo pipefail
objdump=$1
program=$2
shift 2
dump=$("$objdump" -p "$program")
suite=""
for entry in "$@"; do
    dll=${entry%%=*}
    want=$(tr ',' ' ' <<<"${entry#*=}")
    suite="$suite $(tr '[:upper:]' '[:lower:]' <<<"$dll")"
    # One DLL's import block runs from its "DLL Name" line to the next empty line.
    block=$(sed -n "/DLL Name: $dll\$/,/^\$/p" <<<"$dump")
    [ -n "$block" ] || { echo "$program does not import $dll"; exit 1; }
    # The ordinal from the thunk's low 16 bits: the Hint/Ord column is decimal in 32-bit dumps
    # but hexadecimal in 64-bit ones.
    ordinals=$(grep '<none>' <<<"$block" | awk '{print $1}' |
               while read -r thunk; do echo $((16#${thunk: -4})); done | sort -n | tr '\n' ' ')
    [ "$ordinals" = "$want " ] || { echo "$dll: expected ordinals $want, found: $ordinals"; exit 1; }
    named=$(grep -v -E '<none>|DLL Name|vma:' <<<"$block" | grep -E '\S' || true)
    [ -z "$named" ] || { echo "$dll is imported by name:"; echo "$named"; exit 1; }
    echo "$dll: ordinals $want, no names"
done
for dll in $(awk '/DLL Name:/ {print tolower($3)}' <<<"$dump"); do
    case " $suite " in *" $dll "*) continue ;; esac
    case $dll in
        kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|comctl32.dll|comdlg32.dll|\
        ole32.dll|oleaut32.dll|gdiplus.dll|msvcrt.dll|winmm.dll|msimg32.dll|shlwapi.dll|uxtheme.dll|\
        hid.dll|setupapi.dll|version.dll|imm32.dll) ;;
        *) echo "$program imports $dll, which is neither a system DLL nor ours"; exit 1 ;;
    esac
done
echo "other imports are system DLLs only"
