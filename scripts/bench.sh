#!/bin/sh
# Prints the renderer's performance figures: the portable scene arithmetic per
# frame (native, optimised, no sanitizers), then the frames per second and CPU
# time per frame of the native renderer and of the 64-bit Windows renderer under Wine,
# one after the other on the same private 1024x768 Xvfb with Mesa's llvmpipe,
# both without the frame cap; then the CPU the native host and the X server use during a run,
# on an empty desktop and with 300 extra top-level windows; then the start-up of the native
# renderer and of the host's run, from launch to the renderer's window, on Xorg's dummy driver;
# last, the frames per second of the web page at 1280x720 in headless Chromium, through
# SwiftShader and through ANGLE on Mesa.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LR_BUILD_ROOT:-$root/build}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" linux windows64 web
cmake -S "$root" -B "$build/bench" -DCMAKE_BUILD_TYPE=Release -DLR_X11_BUILD=OFF >/dev/null
cmake --build "$build/bench" -j "$(nproc)" --target scene_bench
"$build/bench/tests/bench/scene_bench"
PYTHONPATH="$root/tests:$root/tests/e2e_wine" python3 "$root/scripts/run_renderer_benchmark.py" "$build/windows64" "$build/linux" "${1:-5000}"
/usr/bin/python3 "$root/scripts/run_watch_benchmark.py" "$build/linux"
/usr/bin/python3 "$root/scripts/run_startup_benchmark.py" "$build/linux"
PYTHONPATH="$root/tests" python3 "$root/scripts/run_web_benchmark.py" "$build/web" "${1:-5000}"
