#!/usr/bin/env bash
# Runs every benchmark of the suite under the Wine this machine runs, each beside its baseline
# measured in the same run, and prints one table: figure, this suite, baseline, ratio, goal, met.
# Writes the table as CSV and a chart of the ratios as PNG under build/bench/ (one pair per run,
# named by time and architecture, and latest-<arch>.csv/.png).
# Usage: bench/run.sh            (TAVRINE_WINE_ARCH=32|64 chooses by hand, as for ./run)
# Takes about three minutes; the build must be configured (cmake --preset windows or windows64).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
build=$TAVRINE_BUILD
bin=$build/bin
arch_label="$TAVRINE_WINE_ARCH-bit build ($(basename "$build")) under $("$TAVRINE_WINE" --version 2>/dev/null) $TAVRINE_WINE_ARCH-bit"
echo "using the $arch_label"

[ -f "$build/build.ninja" ] || {
    echo "not configured: $build (cmake --preset $(basename "$build"))"
    exit 1
}
available=$(cmake --build "$build" --target help 2>/dev/null | sed -n 's/^\([A-Za-z0-9_]*\): .*/\1/p')
wanted=()
for t in vmouse TavrineGamingMouse Vistrel Portivo bench_empty_window vmouse_roundtrip_bench \
    app_bench macro_bench osd_bench auto_bench installer; do
    grep -qx "$t" <<<"$available" && wanted+=("$t")
done
echo "building: ${wanted[*]}"
cmake --build "$build" -j2 --target "${wanted[@]}" >"$build/bench-build.log" 2>&1 || {
    echo "build failed, see $build/bench-build.log"
    exit 1
}

out=$root/build/bench
mkdir -p "$out"
figures=$build/bench-figures.txt
: >"$figures"

source "$root/scripts/xvfb.sh"
xvfb_start || { echo "Xvfb could not be started"; exit 1; }
source "$root/scripts/install-key-keep.sh"
watcher=
key_saved=
cleanup() {
    [ -n "$watcher" ] && kill "$watcher" 2>/dev/null
    # The benchmarks point the installation key at the build folder: the prefix gets back the
    # key it had.
    [ -n "$key_saved" ] && install_key_restore "$key_saved"
    xvfb_stop
}
trap cleanup EXIT
"$root/scripts/wine-prefix.sh" || exit 1
key_saved=$build/bench-install-key.reg
install_key_save "$key_saved"

run() {  # name, program, arguments...: its output kept, its figures collected
    local name=$1 program=$2
    shift 2
    if [ ! -f "$bin/$program" ]; then
        echo "== $name: $program not built, its rows are skipped"
        return
    fi
    echo "== $name"
    (cd "$bin" && "$TAVRINE_WINE" "$program" "$@") 2>&1 | tee "$build/bench-$name.log" | grep -v '^@ '
    grep '^@ ' "$build/bench-$name.log" >>"$figures"
}

run device-calls vmouse_roundtrip_bench.exe 500

# Pictures read during the pointer moves are counted from Linux, between the markers the program
# bench sets.
rm -rf "$bin/bench-marks"
mkdir -p "$bin/bench-marks"
python3 "$root/bench/pictures_read.py" "$bin/skin" "$bin/bench-marks" >"$build/bench-pictures.log" &
watcher=$!
for _ in $(seq 50); do grep -q watcher_ready "$build/bench-pictures.log" && break; sleep 0.1; done
run program app_bench.exe
sleep 0.5
kill "$watcher" 2>/dev/null
wait "$watcher" 2>/dev/null
watcher=
grep '^@ ' "$build/bench-pictures.log" | grep -v watcher_ready >>"$figures"

run macro-editor macro_bench.exe

run display osd_bench.exe

run auto-profile auto_bench.exe

# The installer against the files it installs: the list its build generated, and the language
# file it installs twice (as the chosen language and as the English sample).
setup=$build/installer/TavrineSetup.exe
[ "$TAVRINE_WINE_ARCH" = 64 ] && setup=$build/installer/TavrineSetup-x64.exe
list=$build/installer/gen/InstallFiles.nsh
if [ -f "$setup" ] && [ -f "$list" ]; then
    payload=$( (sed -n 's/^File "\(.*\)"$/\1/p' "$list"; echo "$bin/lang/UILANG.ini"; \
        echo "$bin/lang/UILANG.ini") | tr '\n' '\0' | xargs -0 stat -c %s | awk '{s += $1} END {print s}')
    echo "== installer: $(basename "$setup") $(stat -c %s "$setup") bytes, the $(grep -c '^File' "$list") + 2 files it installs $payload bytes"
    echo "@ installer_mb $(stat -c %s "$setup" | awk '{print $1 / 1048576}')" >>"$figures"
    echo "@ payload_mb $(awk -v b="$payload" 'BEGIN {print b / 1048576}')" >>"$figures"
else
    echo "== installer: not built, its row is skipped"
    echo "@ installer_not_built 1" >>"$figures"
fi

stamp=$(date -u +%Y%m%d-%H%M%S)
csv=$out/$stamp-$TAVRINE_WINE_ARCH.csv
svg=$out/$stamp-$TAVRINE_WINE_ARCH.svg
png=${svg%.svg}.png
echo
python3 "$root/bench/table.py" "$figures" "$csv" "$svg" "$arch_label, $(date -u '+%F %H:%M') UTC"
if command -v rsvg-convert >/dev/null; then
    rsvg-convert -o "$png" "$svg"
else
    convert "$svg" "$png"
fi
cp "$csv" "$out/latest-$TAVRINE_WINE_ARCH.csv"
[ -f "$png" ] && cp "$png" "$out/latest-$TAVRINE_WINE_ARCH.png"
echo
echo "table: $csv"
echo "chart: $png"
