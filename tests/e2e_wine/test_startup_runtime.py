"""The host's runtime services against the real system functions under Wine, in a Japanese
and an English locale: profile functions and Shift_JIS key bytes, file tests, forms, timers,
re-parenting, cursor and process start (tests/probes/startup_check.cpp)."""

import os
import subprocess
import unittest

from harness import BUILD_DIR, ENGLISH, JAPANESE, WINE, Session, WineTestCase

CHECK = os.path.join(BUILD_DIR, "probes", "startup_check.exe")


class RuntimeServices(WineTestCase):
    def test_checks_pass_in_both_locales(self):
        for locale in (JAPANESE, ENGLISH):
            with self.subTest(locale), Session(locale=locale) as session:
                report = os.path.join(session.work, "report.txt")
                with open(report, "w") as out:
                    result = subprocess.run([WINE, CHECK, "/s", "check"], env=session.env,
                                            cwd=session.work, stdin=subprocess.DEVNULL,
                                            stdout=out, stderr=subprocess.DEVNULL, timeout=300)
                with open(report, encoding="utf-8", errors="replace") as f:
                    lines = f.read().splitlines()
                self.assertGreater(len([line for line in lines if line.startswith("ok")]), 10)
                self.assertEqual(result.returncode, 0, "\n".join(lines))


if __name__ == "__main__":
    unittest.main()
