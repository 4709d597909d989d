#!/bin/sh
# Prints the renderer's performance figures: the portable scene arithmetic per
# frame (native, optimised, no sanitizers) and the real renderer's frames per
# second and CPU time per frame under Wine with llvmpipe at 1024x768.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LR_BUILD_ROOT:-$root/build}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" windows
cmake -S "$root" -B "$build/bench" -DCMAKE_BUILD_TYPE=Release -DLR_SANITIZE=OFF >/dev/null
cmake --build "$build/bench" -j "$(nproc)" --target scene_bench
"$build/bench/tests/bench/scene_bench"
python3 "$root/scripts/run_renderer_benchmark.py" "$build/windows" "${1:-5000}"
