#!/usr/bin/env bash
# Long fuzzing run of every harness, one after the other, and a table of their figures.
#   fuzz/run-long.sh [seconds per harness, default 600] [harness ...]
# Builds build/fuzz with clang when needed; each harness keeps its corpus in
# build/fuzz/corpus/<harness> between runs, and its log in build/fuzz/logs/<harness>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
build=build/fuzz
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(fuzz_macro_keys fuzz_macro_file fuzz_macro_expansion fuzz_macro_rows)

if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTAVRINE_ONLY='config/(macro|device|platform)|fuzz' >/dev/null
fi
cmake --build "$build" -j 2 --target "${harnesses[@]}" >/dev/null

mkdir -p "$build/logs"
printf '%-22s %8s %12s %10s %8s %8s %s\n' harness seconds runs execs/s cov ft result
for h in "${harnesses[@]}"; do
    mkdir -p "$build/corpus/$h"
    log="$build/logs/$h.log"
    result=ok
    "$build/bin/$h" "$build/corpus/$h" -max_total_time="$seconds" -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$build/logs/$h-" >"$log" 2>&1 || result=FAILED
    runs=$(grep -oE 'stat::number_of_executed_units: +[0-9]+' "$log" | grep -o '[0-9]*$' || echo 0)
    speed=$(grep -oE 'stat::average_exec_per_sec: +[0-9]+' "$log" | grep -o '[0-9]*$' || echo 0)
    last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' <<<"$last" | grep -o '[0-9]*$' || echo ?)
    ft=$(grep -o 'ft: [0-9]*' <<<"$last" | grep -o '[0-9]*$' || echo ?)
    printf '%-22s %8s %12s %10s %8s %8s %s\n' "$h" "$seconds" "$runs" "$speed" "$cov" "$ft" "$result"
done
