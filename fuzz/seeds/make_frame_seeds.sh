#!/usr/bin/env bash
# Writes the frame seeds of the packet and payload targets with the link's own frame builder
# (built with the fuzz targets). The files are checked in.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$(dirname "$here")/build-fuzz}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target make_frame_seeds >/dev/null
"$build/make_frame_seeds" "$here/seeds"
