#!/bin/sh
# Installs what is missing for the native Linux saver, builds it, and runs it
# (lumen-ribbon-host --run: the host, the renderer and the music) on $DISPLAY.
# Without a display it runs it for a few seconds on a private Xvfb and writes a
# screenshot.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LR_BUILD_ROOT:-$root/build}

"$root/scripts/install-deps.sh" run
"$root/scripts/build.sh" linux
PYTHONPATH="$root/tests" exec python3 "$root/scripts/run_saver.py" "$build/linux"
