"""Runs the built screen saver under Wine: on $DISPLAY until it ends, or on a
private Xvfb for a few seconds, leaving a screenshot behind."""

import os
import subprocess
import sys
import time

build = os.path.abspath(sys.argv[1])
os.environ["LR_BUILD_DIR"] = build
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import harness  # noqa: E402

if not os.path.isdir(harness.PREFIX):
    os.makedirs(harness.E2E_DIR, exist_ok=True)
    print("making a Wine prefix in", harness.PREFIX)
    harness.make_prefix()

saver = os.path.join(harness.BIN_DIR, harness.HOST)
if not os.path.exists(saver):  # the host arrives later; the renderer alone runs as well
    saver, args = os.path.join(harness.BIN_DIR, harness.RENDERER), []
else:
    args = ["/s"]

if os.environ.get("DISPLAY"):
    env = dict(os.environ, WINEPREFIX=harness.PREFIX, WINEDEBUG="-all",
               LANG=harness.JAPANESE, LC_ALL=harness.JAPANESE)
    print("running", saver, *args, "on", env["DISPLAY"], "- press Escape to end it")
    sys.exit(subprocess.call(["wine", saver, *args], env=env, cwd=harness.BIN_DIR))

shot = os.path.join(build, "saver-screenshot.png")
with harness.Session(1024, 768) as session:
    print("no $DISPLAY: running", saver, *args, "on a private Xvfb", session.display)
    folder = session.app_folder()
    session.start(os.path.join(folder, os.path.basename(saver)), *args, cwd=folder)
    window = session.wait_window("Lumen_Ribbon_VC", "OpenGL")
    if window is None:
        sys.exit("the renderer window did not appear")
    time.sleep(1)  # about a second in, all three groups are lit
    bmp = os.path.join(build, "saver-screenshot.bmp")
    session.probe("screenshot", harness.windows_path(bmp), check=True)
    subprocess.run(["convert", bmp, shot], check=True)
    os.remove(bmp)
    session.hold_key(window["hwnd"], harness.VK_ESCAPE)
print("screenshot written to", shot)
