"""The scene's arithmetic in the Windows build, run under Wine, against the native build's:
every generator value, colour, alpha and band edge over a day of times, bit for bit."""

import os
import subprocess
import tempfile
import unittest

from harness import BUILD_DIR, E2E_DIR, WINE, Session, WineTestCase

WINDOWS_PROBE = os.path.join(BUILD_DIR, "probes", "scene_arithmetic.exe")
NATIVE_PROBE = os.path.join(os.environ.get("LR_LINUX_BUILD_DIR", os.path.join(os.path.dirname(BUILD_DIR), "linux")),
                            "probes", "scene_arithmetic")


def output_of(command, env=None):
    # Through a file, not a pipe: Wine's helper processes would hold a pipe open.
    with tempfile.TemporaryFile(mode="w+", dir=E2E_DIR) as out:
        subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=out,
                       stderr=subprocess.DEVNULL, timeout=300, check=True)
        out.seek(0)
        return out.read().replace("\r\n", "\n").splitlines()


class SceneArithmetic(WineTestCase):

    def test_windows_build_computes_the_native_builds_bits(self):
        self.assertTrue(os.path.exists(NATIVE_PROBE), "build the Linux programs first: " + NATIVE_PROBE)
        native = output_of([NATIVE_PROBE])
        # In a session of its own, whose end also ends the Wine server it used.
        with Session() as session:
            windows = output_of([WINE, WINDOWS_PROBE], env=session.env)
        self.assertEqual(len(windows), len(native))
        values = differing = 0
        first = None
        for native_line, windows_line in zip(native, windows):
            for a, b in zip(native_line.split(), windows_line.split()):
                values += 1
                if a != b:
                    differing += 1
                    first = first or "%s: native %s, Windows %s" % (native_line.split(":")[0], a, b)
        print("%d values compared, %d differ" % (values, differing))
        self.assertGreater(values, 200000)
        self.assertEqual(differing, 0, "first difference at %s" % first)


if __name__ == "__main__":
    unittest.main()
