#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer, UBSan) and runs each from its seed
# corpus, then prints one line per target: executions, edges covered and findings.
#   fuzz/run_fuzzers.sh [-j jobs] [-t seconds | -n runs] [-l logdir] [target...]
# -t: time per target (default 60 s); -n: executions per target instead (-n 0 runs each seed
# once, as CI does); -j: targets run side by side (default 1). Without targets, every built
# *_fuzz runs. Findings land in <build>/findings/<target>/, the grown corpus in
# <build>/corpus/<target>/, each target's log in the log dir (default <build>/logs/).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=60
runs=
jobs=1
logs=
while getopts "j:t:n:l:" option; do
  case $option in
    j) jobs=$OPTARG ;;
    t) seconds=$OPTARG ;;
    n) runs=$OPTARG ;;
    l) logs=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
logs=${logs:-$build/logs}

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"${FUZZ_BUILD_JOBS:-4}"

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for program in "$build"/*_fuzz; do targets+=("$(basename "$program")"); done
fi
mkdir -p "$logs"

run_target() {
  local target=$1 corpus="$build/corpus/$1" findings="$build/findings/$1"
  mkdir -p "$corpus" "$findings"
  cp -n "$here/seeds/$target"/* "$corpus"/ 2>/dev/null || true
  local limit=(-max_total_time="$seconds")
  [ -n "$runs" ] && limit=(-runs="$runs")
  "$build/$target" "$corpus" "${limit[@]}" -max_len=4096 -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$findings/" -print_final_stats=1 >"$logs/$target.log" 2>&1
}

# One line of figures from a finished target's log; the status of the run decides the verdict.
report_target() {
  local target=$1 status=$2 log="$logs/$1.log"
  local execs edges found
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
  edges=$(grep -oE '(^#[0-9]+|DONE|INITED).* cov: [0-9]+' "$log" | tail -n1 | sed 's/.*cov: //' || true)
  found=$(find "$build/findings/$target" -type f | wc -l)
  printf '%-24s %14s %8s %9s %s\n' "$target" "${execs:-?}" "${edges:-?}" "$found" \
    "$([ "$status" -eq 0 ] && echo ok || echo "FAILED (see $log)")"
}

declare -A pids
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$target" &
  pids[$target]=$!
done

printf '%-24s %14s %8s %9s %s\n' target executions edges findings result
failed=0
for target in "${targets[@]}"; do
  status=0
  wait "${pids[$target]}" || status=$?
  report_target "$target" "$status"
  if [ "$status" -ne 0 ]; then
    grep -E "ERROR|SUMMARY|Test unit written" "$logs/$target.log" | head -n 5 | sed 's/^/    /' || true
    failed=1
  fi
done
exit $failed
