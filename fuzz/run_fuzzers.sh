#!/bin/sh
# Builds the reader fuzz targets with clang and runs each for the given number of seconds
# (default 60), one after the other. Findings land in <build>/findings/<target>/.
#   fuzz/run_fuzzers.sh [seconds] [target...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-"intel_hex_fuzz pof_fuzz exe_fuzz binary_fuzz detect_fuzz motorola_fuzz tektronix_fuzz jedec_fuzz update_intel_hex_fuzz update_motorola_fuzz update_tektronix_fuzz update_load_fuzz"}

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"

for target in $targets; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  [ -d "$here/seeds/$target" ] && cp -n "$here/seeds/$target"/* "$corpus"/ 2>/dev/null || true
  echo "== $target for ${seconds}s"
  "$build/$target" "$corpus" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=4096 \
    -artifact_prefix="$findings/" -print_final_stats=1 2>&1 | grep -E "stat::number_of_executed_units|stat::new_units_added|ERROR|SUMMARY|Done" || true
done
