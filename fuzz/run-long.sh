#!/usr/bin/env bash
# Long fuzzing run of every harness, one after the other, and a table of their figures.
#   fuzz/run-long.sh [seconds per harness, default 600] [harness ...]
# FUZZ_RUNS=N stops a harness after N executions if that comes first; FUZZ_JOBS=N runs that
# many harnesses at a time (default 1). Builds build/fuzz with clang when needed; each harness
# keeps its corpus in build/fuzz/corpus/<harness> between runs (seeded from fuzz/corpus), and
# its log in build/fuzz/logs/<harness>.log; a finding is left there as <harness>-crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
build=build/fuzz
runs=${FUZZ_RUNS:--1}
jobs=${FUZZ_JOBS:-1}

# Configured every time (quick once done), so a build made before an area was added gets it.
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=OFF \
    -DTAVRINE_ONLY='config/(macro|device|platform|performance|ui)|portivo|wminput|vmouse|cli|fuzz' \
    >/dev/null
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
    cmake --build "$build" --target help >/dev/null  # makes sure the list below is current
    read -r -a harnesses < <(tr ';' ' ' < "$build/fuzz-harnesses.txt")
fi
cmake --build "$build" -j 2 --target "${harnesses[@]}" >/dev/null

mkdir -p "$build/logs"
run_one() {
    local h=$1 log="$build/logs/$1.log" seeds=()
    mkdir -p "$build/corpus/$h"
    [ -d "fuzz/corpus/$h" ] && seeds=("fuzz/corpus/$h")
    local start=$SECONDS result=ok
    "$build/bin/$h" "$build/corpus/$h" "${seeds[@]}" -max_total_time="$seconds" -runs="$runs" \
        -max_len=4096 -print_final_stats=1 -artifact_prefix="$build/logs/$h-" >"$log" 2>&1 ||
        result=FAILED
    echo "$((SECONDS - start)) $result" > "$build/logs/$h.result"
}
running=0
for h in "${harnesses[@]}"; do
    run_one "$h" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
done
wait

printf '%-22s %8s %12s %10s %7s %7s %7s %s\n' harness seconds executions execs/s cov ft corpus result
for h in "${harnesses[@]}"; do
    log="$build/logs/$h.log"
    read -r took result < "$build/logs/$h.result"
    done_runs=$(grep -oE 'stat::number_of_executed_units: +[0-9]+' "$log" | grep -o '[0-9]*$' || echo 0)
    speed=$(grep -oE 'stat::average_exec_per_sec: +[0-9]+' "$log" | grep -o '[0-9]*$' || echo 0)
    last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' <<<"$last" | grep -o '[0-9]*$' || echo ?)
    ft=$(grep -o 'ft: [0-9]*' <<<"$last" | grep -o '[0-9]*$' || echo ?)
    corp=$(grep -o 'corp: [0-9]*' <<<"$last" | grep -o '[0-9]*$' || echo ?)
    printf '%-22s %8s %12s %10s %7s %7s %7s %s\n' "$h" "$took" "$done_runs" "$speed" "$cov" "$ft" \
        "$corp" "$result"
done
