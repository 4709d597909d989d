#!/bin/sh
# Installs what is missing, builds, and runs the screen saver (Lumen_Ribbon.scr /s)
# under Wine on $DISPLAY. Without a display it runs it for a few seconds on a
# private Xvfb and writes a screenshot.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LR_BUILD_ROOT:-$root/build}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" windows
exec python3 "$root/scripts/run_saver.py" "$build/windows"
