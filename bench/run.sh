#!/usr/bin/env bash
# Runs the table-engine benchmarks in one go: installs what is missing, builds tvxgen,
# tvxbench and tvxbench-start in Release, generates the data directory of the chosen scale
# once (kept for later runs), times every workload on the engine and on SQLite (without and
# with indexes) cold (the first run of fresh processes) and warm, then the program's start to
# a shown invoice list. The results go to standard output and to results.md in the work
# folder.
#
#   bench/run.sh [--scale F] [--reps N] [--cold N] [--workloads W1,W2,W3,W4,W5]
#                [--work DIR] [--no-start] [--no-plain]
#
# Defaults: scale 1, 5 warm repetitions (and 5 starts), 3 cold processes, all workloads,
# work folder $TMPDIR/tvxbench-scale-F; --no-start leaves the start to the invoice list out,
# --no-plain SQLite without indexes (minutes a run on the full shop, and no target).
# TVX_BENCH_BUILD (build folder, default build-bench) and TVX_BENCH_JOBS (default 2).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
SCALE=1
REPS=5
COLD=3
START=1
PLAIN=()
WORKLOADS=W1,W2,W3,W4,W5
WORK=""
while [ $# -gt 0 ]; do
  case "$1" in
    --scale) SCALE="$2"; shift 2 ;;
    --reps) REPS="$2"; shift 2 ;;
    --cold) COLD="$2"; shift 2 ;;
    --no-start) START=0; shift ;;
    --no-plain) PLAIN=(--no-plain); shift ;;
    --workloads) WORKLOADS="$2"; shift 2 ;;
    --work) WORK="$2"; shift 2 ;;
    *) echo "usage: $0 [--scale F] [--reps N] [--cold N] [--workloads LIST] [--work DIR] [--no-start] [--no-plain]" >&2
       exit 2 ;;
  esac
done
WORK="${WORK:-${TMPDIR:-/tmp}/tvxbench-scale-$SCALE}"
BUILD="${TVX_BENCH_BUILD:-$ROOT/build-bench}"
JOBS="${TVX_BENCH_JOBS:-2}"

"$ROOT/scripts/deps.sh"
mkdir -p "$WORK"
TARGETS=(tvxgen tvxbench)
if [ "$START" = 1 ]; then TARGETS+=(tvxbench-start); fi
echo "building ${TARGETS[*]} (Release) in $BUILD..." >&2
if ! { cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIX_TESTS=OFF &&
       cmake --build "$BUILD" --parallel "$JOBS" --target "${TARGETS[@]}"; } >"$WORK/build.log" 2>&1; then
  cat "$WORK/build.log" >&2
  exit 1
fi

if [ ! -f "$WORK/data.complete" ]; then
  rm -rf "$WORK/data" "$WORK/bench"
  echo "generating the data directory (scale $SCALE)..." >&2
  "$BUILD/bin/tvxgen" "$WORK/data" --scale "$SCALE" >&2
  touch "$WORK/data.complete"
fi
"$BUILD/bin/tvxbench" all --data "$WORK/data" --work "$WORK/bench" --reps "$REPS" \
  --cold "$COLD" --workloads "$WORKLOADS" --label "scale $SCALE" "${PLAIN[@]}" | tee "$WORK/results.md"
if [ "$START" = 1 ]; then
  echo | tee -a "$WORK/results.md"
  "$BUILD/bin/tvxbench-start" "$WORK/data" --reps "$REPS" --work "$WORK/start" |
    tee -a "$WORK/results.md"
fi
