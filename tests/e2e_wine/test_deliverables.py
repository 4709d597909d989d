"""The two deliverables as files: GUI programs of the build's word size that need nothing beside
them. Nothing is executed, so this runs where the build's programs cannot."""

import os
import re
import subprocess
import unittest

from harness import BIN_DIR, HOST, RENDERER, WIN64

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "opengl32.dll", "glu32.dll",
               "msvcrt.dll", "winmm.dll", "comdlg32.dll", "shell32.dll", "msimg32.dll",
               "ole32.dll", "oleaut32.dll", "advapi32.dll", "comctl32.dll"}


def headers(name):
    objdump = "x86_64-w64-mingw32-objdump" if WIN64 else "i686-w64-mingw32-objdump"
    return subprocess.run([objdump, "-p", os.path.join(BIN_DIR, name)],
                          capture_output=True, text=True, check=True).stdout


class Deliverables(unittest.TestCase):
    def test_both_are_gui_programs_of_the_word_size_importing_only_system_dlls(self):
        for name in (RENDERER, HOST):
            with self.subTest(name):
                text = headers(name)
                self.assertIn("file format pei-x86-64" if WIN64 else "file format pei-i386", text)
                self.assertRegex(text, r"Subsystem\s+00000002\s+\(Windows GUI\)")
                characteristics = int(re.search(r"Characteristics 0x([0-9a-f]+)", text).group(1), 16)
                self.assertFalse(characteristics & 0x2000, "built as a library")
                imports = {m.lower() for m in re.findall(r"DLL Name: (\S+)", text)}
                self.assertTrue(imports, "no imports read")
                self.assertLessEqual(imports, SYSTEM_DLLS)


if __name__ == "__main__":
    unittest.main()
