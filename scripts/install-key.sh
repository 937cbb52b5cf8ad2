#!/usr/bin/env bash
# Writes the machine-wide installation key into the Wine prefix, as the installer does on Windows:
# HKLM\SOFTWARE\Tavrine KVR-5502, "installpath" and "AppPath" = the folder holding the programs
# (without a trailing backslash: the display program appends "\" and its file names).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
folder=${1:?usage: install-key.sh LINUX_FOLDER}
win=$("$TAVRINE_WINE" winepath.exe -w "$folder" 2>/dev/null)
win=${win%\\}
"$TAVRINE_WINE" reg.exe add 'HKLM\SOFTWARE\Tavrine KVR-5502' /v installpath /t REG_SZ /d "$win" /f >/dev/null
"$TAVRINE_WINE" reg.exe add 'HKLM\SOFTWARE\Tavrine KVR-5502' /v AppPath /t REG_SZ /d "$win" /f >/dev/null
echo "$win"
