"""Runs the Win32 runtime checks of the host's start-up under Wine, on a private Xvfb, once in a
Japanese and once in an English locale. Usage: win32_check_runner.py CHECK_EXE"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tests/e2e"))
import harness  # noqa: E402


def run_checks(check, locale):
    with harness.Session(locale=locale) as session:
        result = subprocess.run(["wine", check, "/s", "check"], env=session.env,
                                capture_output=True, timeout=300)
    print("--", locale)
    print(result.stdout.decode("utf-8", "replace"))
    return result.returncode


def main():
    check = os.path.abspath(sys.argv[1])
    os.makedirs(harness.E2E_DIR, exist_ok=True)
    if not os.path.isdir(harness.PREFIX):
        harness.make_prefix()
    failed = [locale for locale in (harness.JAPANESE, harness.ENGLISH) if run_checks(check, locale)]
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
