#!/usr/bin/env bash
# Long fuzzing of every parser of outside input: executions, coverage and time per harness.
#   scripts/fuzz.sh [seconds per harness, default 600] [harness ...]
# FUZZ_RUNS=10000000 stops each harness at ten million executions; FUZZ_JOBS=2 runs two at a
# time. The short pass of the same harnesses is part of ./test (the sanitizer build).
exec "$(dirname "$0")/../fuzz/run-long.sh" "$@"
