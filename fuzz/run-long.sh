#!/usr/bin/env bash
# Long fuzzing run of every harness, one after the other, and a table of their figures.
#   fuzz/run-long.sh [seconds per harness, default 600] [harness ...]
# FUZZ_RUNS=N stops a harness after N executions, FUZZ_CPU=S after S seconds of CPU time,
# whichever comes first (the seconds argument counts wall time); FUZZ_JOBS=N runs that many
# harnesses at a time (default 1). Builds build/fuzz with clang when needed; each harness keeps
# its corpus in build/fuzz/corpus/<harness> between runs (seeded from fuzz/corpus), and its log
# in build/fuzz/logs/<harness>.log; a finding is left there as <harness>-crash-*.
#   nice -n 19 env FUZZ_RUNS=10000000 FUZZ_CPU=3600 fuzz/run-long.sh 36000
# Result: ok (run or time limit reached, nothing found), ok-cpu (CPU limit reached, nothing
# found), stopped (interrupted), not-run, FAILED (a finding or a crash; see the log). An
# interrupt (kill -INT or -TERM of this script) ends the running harnesses cleanly, starts no
# more, and still prints the table.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
build=build/fuzz
runs=${FUZZ_RUNS:--1}
cpu_limit=${FUZZ_CPU:-0}
jobs=${FUZZ_JOBS:-1}
# Allocation-heavy harnesses spend much of their time in the sanitizer's allocator. Freed pages
# are kept instead of returned to the system and refaulted, and the stacks kept for reports are
# shorter (a finding is rerun from its saved input with full stacks). What is detected is the
# same. Options given by the caller come last and win.
export ASAN_OPTIONS="allocator_release_to_os_interval_ms=-1:malloc_context_size=5${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

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
# CPU seconds (user + system) a process has used so far.
cpu_of() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || { echo 0; return; }
    read -r -a f <<<"${stat##*) }"
    echo $(((f[11] + f[12]) / $(getconf CLK_TCK)))
}
run_one() {
    local h=$1 log="$build/logs/$1.log" seeds=() pid cpu=0 status=0 result
    mkdir -p "$build/corpus/$h"
    [ -d "fuzz/corpus/$h" ] && seeds=("fuzz/corpus/$h")
    # A harness that turns longer inputs away says so (kMaxInput); the others take 4096 bytes.
    local max_len
    max_len=$(grep -ohE 'kMaxInput = [0-9]+' "fuzz/$h.cpp" | grep -oE '[0-9]+$' || echo 4096)
    local start=$SECONDS
    "$build/bin/$h" "$build/corpus/$h" "${seeds[@]}" -max_total_time="$seconds" -runs="$runs" \
        -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$build/logs/$h-" >"$log" 2>&1 &
    pid=$!
    # libFuzzer ends an interrupted run cleanly, with its final figures.
    trap 'kill -INT $pid 2>/dev/null' TERM
    while kill -0 "$pid" 2>/dev/null; do
        cpu=$(cpu_of "$pid")
        if [ "$cpu_limit" -gt 0 ] && [ "$cpu" -ge "$cpu_limit" ]; then
            kill -INT "$pid" 2>/dev/null || true
        fi
        sleep 2
    done
    wait "$pid" || status=$?
    trap - TERM
    # The whole CPU time of the ended run: its own and the helpers' (cat, sleep: negligible).
    # (times must run in this shell: in a pipe or $(...) it would count a copy's children.)
    times > "$build/logs/$h.times"
    cpu=$(tail -n 1 "$build/logs/$h.times" | awk '{ split($1, u, /[ms]/); split($2, s, /[ms]/);
        printf "%d", u[1] * 60 + u[2] + s[1] * 60 + s[2] }')
    case $status in
        0) result=ok ;;
        72) result=stopped ;;  # libFuzzer's exit code after an interrupt
        *) result=FAILED ;;
    esac
    if [ "$result" = stopped ] && [ "$cpu_limit" -gt 0 ] && [ "$cpu" -ge $((cpu_limit - 2)) ]; then
        result=ok-cpu
    fi
    echo "$((SECONDS - start)) $cpu $result" > "$build/logs/$h.result"
}
stop=0
trap 'stop=1; kill -TERM $(jobs -p) 2>/dev/null' INT TERM
running=0
for h in "${harnesses[@]}"; do
    rm -f "$build/logs/$h.result"
done
for h in "${harnesses[@]}"; do
    [ "$stop" -eq 0 ] || break
    run_one "$h" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
while [ -n "$(jobs -p)" ]; do wait || true; done

printf '%-22s %8s %8s %12s %9s %9s %6s %6s %6s %s\n' harness seconds cpu-s runs runs/s \
    runs/cpu-s cov ft corpus result
total_runs=0 total_seconds=0 total_cpu=0 bad=0
for h in "${harnesses[@]}"; do
    log="$build/logs/$h.log"
    if [ ! -f "$build/logs/$h.result" ]; then
        printf '%-22s %8s %8s %12s %9s %9s %6s %6s %6s %s\n' "$h" 0 0 0 0 0 - - - not-run
        bad=$((bad + 1))
        continue
    fi
    read -r took cpu result < "$build/logs/$h.result"
    done_runs=$(grep -oE 'stat::number_of_executed_units: +[0-9]+' "$log" | grep -o '[0-9]*$' ||
        grep -oE '^#[0-9]+' "$log" | tail -n 1 | tr -d '#' || echo 0)
    done_runs=${done_runs:-0}
    last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' <<<"$last" | grep -o '[0-9]*$' || echo ?)
    ft=$(grep -o 'ft: [0-9]*' <<<"$last" | grep -o '[0-9]*$' || echo ?)
    corp=$(grep -o 'corp: [0-9]*' <<<"$last" | grep -o '[0-9]*$' || echo ?)
    printf '%-22s %8s %8s %12s %9s %9s %6s %6s %6s %s\n' "$h" "$took" "$cpu" "$done_runs" \
        "$((done_runs / (took > 0 ? took : 1)))" "$((done_runs / (cpu > 0 ? cpu : 1)))" "$cov" "$ft" \
        "$corp" "$result"
    total_runs=$((total_runs + done_runs))
    total_seconds=$((total_seconds + took))
    total_cpu=$((total_cpu + cpu))
    case $result in ok | ok-cpu) ;; *) bad=$((bad + 1)) ;; esac
done
printf '%-22s %8s %8s %12s %9s %9s %6s %6s %6s %s\n' total "$total_seconds" "$total_cpu" \
    "$total_runs" "" "" "" "" "" "$bad not ok"
[ "$bad" -eq 0 ]
