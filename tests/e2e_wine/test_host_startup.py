"""The host's start-up under Wine: the missing-renderer message, the refusal of a
second instance, the switches that end silently, the cursor of a run, and a
settings file in its stored form read back under a Japanese and an English
locale.

Settings files are read back by a real run that must play the music the file
chooses: one made by hand, byte for byte, and one that the host's settings
dialog has written with its set button (driven through the helpers of
test_settings_dialog.py).
"""

import os
import shutil
import unittest

from harness import (ENGLISH, VK_ESCAPE, Session, WineTestCase, wait_exit,
                     windows_path)
import test_settings_dialog as settings_dialog_e2e
from e2e_support.sound import make_tone
from test_saver_run import (DIALOG_TITLE, HOST_PROBE, RENDERER_TITLE, RUN_TITLE, CapturedSoundTest,
                            host_probe, sound_seconds, start_host, wait_for,
                            write_settings)

APP_TITLE = "Lumen_Ribbon (Screen Saver)"
MISSING_RENDERER = "Lumen_Ribbon.dll が Lumen_Ribbon.scr と同じﾌｫﾙﾀﾞに見つかりません！"
WM_COMMAND = 0x111
IDOK = 1
# The keys as a Japanese system stores them (Shift_JIS), whatever the local code page.
KIND_KEY = b"BGM\x8b\xe6\x95\xaa"
REPEAT_KEY = b"BGM\xd8\xcb\xdf\xb0\xc4"
FILE_KEY = b"BGM\xcc\xa7\xb2\xd9"


class MissingRendererTest(WineTestCase):
    """A host whose renderer is not beside it."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.session = Session().__enter__()
        cls.folder = cls.session.app_folder("alone", renderer=False)

    @classmethod
    def tearDownClass(cls):
        cls.session.__exit__(None, None, None)

    def assert_message_then_end(self, *args):
        host = start_host(self.session, self.folder, *args)
        box = host_probe(self.session, "msgbox", 20000)
        self.assertEqual(box["found"], "1", "a message box for %s" % (args,))
        self.assertEqual(box["caption"], APP_TITLE)
        self.assertEqual(box["text"], MISSING_RENDERER)
        self.assertEqual(box["icon"], "0")
        self.assertEqual(box["buttons"], "OK")
        self.assertIsNone(host.poll(), "the host waits for the box to be closed")
        self.assertIsNone(self.session.find_window(RUN_TITLE))
        self.assertIsNone(self.session.find_window(DIALOG_TITLE))

        self.session.post(box["hwnd"], WM_COMMAND, IDOK)
        self.assertEqual(wait_exit(host, 15), 0, "the host ends once the box is closed")
        self.assertEqual(host_probe(self.session, "msgbox", 0)["found"], "0")
        self.assertIsNone(self.session.find_window(RUN_TITLE))
        self.assertIsNone(self.session.find_window(DIALOG_TITLE))

    def test_configure_and_run_show_the_message_and_end(self):
        for args in (["/c"], ["/C:1234"], ["/s"], ["-S"], []):
            with self.subTest(args=args):
                self.assert_message_then_end(*args)

    def test_other_switch_looks_for_the_renderer_first(self):
        self.assert_message_then_end("/a", "1234")

    def test_preview_does_not_look_for_the_renderer(self):
        holder = self.session.start(HOST_PROBE, "hold", "Pane", "120")
        pane = self.session.wait_window("Pane")
        self.assertIsNotNone(pane)
        host = start_host(self.session, self.folder, "/p", str(int(pane["hwnd"], 16)))
        self.assertEqual(host_probe(self.session, "msgbox", 3000)["found"], "0")
        self.assertIsNone(host.poll(), "the preview window lives on")
        host.kill()
        host.wait(timeout=15)
        self.session.post(pane["hwnd"], 0x10)  # WM_CLOSE
        self.assertIsNotNone(wait_exit(holder, 15))


class SingleInstanceTest(WineTestCase):
    """A run window or a settings dialog already open refuses every start."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.session = Session().__enter__()
        cls.folder = cls.session.app_folder("second")

    @classmethod
    def tearDownClass(cls):
        cls.session.__exit__(None, None, None)

    def test_every_mode_ends_at_once_while_another_instance_is_open(self):
        for title in (DIALOG_TITLE, RUN_TITLE):
            holder = self.session.start(HOST_PROBE, "hold", title, "120")
            window = self.session.wait_window(title)
            self.assertIsNotNone(window, "the stand-in %s is open" % title)
            for args in (["/s"], ["/c"], ["/p", "1234"], [], ["/a"]):
                with self.subTest(title=title, args=args):
                    host = start_host(self.session, self.folder, *args)
                    self.assertEqual(wait_exit(host, 15), 0, "the start ends by itself")
                    self.assertEqual(host_probe(self.session, "count", title)["count"], "1")
                    self.assertIsNone(self.session.find_window(RENDERER_TITLE),
                                      "no renderer was started")
                    self.assertEqual(host_probe(self.session, "msgbox", 0)["found"], "0")
            self.session.post(window["hwnd"], 0x10)  # WM_CLOSE
            self.assertIsNotNone(wait_exit(holder, 15))

    def test_other_switch_with_the_renderer_present_ends_silently(self):
        for args in (["/a", "1234"], ["s"], ["/x"]):
            with self.subTest(args=args):
                host = start_host(self.session, self.folder, *args)
                self.assertEqual(wait_exit(host, 15), 0)
                self.assertIsNone(self.session.find_window(RENDERER_TITLE))
                self.assertEqual(host_probe(self.session, "msgbox", 0)["found"], "0")

    def test_only_the_run_switch_hides_the_cursor(self):
        for args, hidden_count in ((["/s"], "-1"), ([], "0")):
            with self.subTest(args=args):
                host = start_host(self.session, self.folder, *args)
                renderer = self.session.wait_window(RENDERER_TITLE, "OpenGL")
                self.assertIsNotNone(renderer, "the run starts the renderer")
                count = host_probe(self.session, "cursorcount", RUN_TITLE)
                self.assertEqual(count.get("attached"), "1")
                self.assertEqual(count["count"], hidden_count)
                self.session.hold_key(renderer["hwnd"], VK_ESCAPE)
                self.assertEqual(wait_exit(host, 15), 0)


class StoredSettingsTest(CapturedSoundTest):
    """A settings file in the stored form, Shift_JIS keys and CRLF line ends, chooses the
    music of a run whatever the system's code page."""

    def assert_run_plays_the_music(self, folder):
        host = start_host(self.session, folder, "/s")
        renderer = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.assertIsNotNone(renderer)
        heard = wait_for(lambda: sound_seconds(self.capture) > 0.5, 40)
        self.session.hold_key(renderer["hwnd"], VK_ESCAPE)
        self.assertEqual(wait_exit(host, 15), 0)
        self.assertTrue(heard, "the chosen file is played")

    def test_hand_made_file_chooses_the_wav_music(self):
        folder = self.session.app_folder("stored")
        music = make_tone(folder, "chosen.wav", 1, 550)
        write_settings(folder, 2, 0, windows_path(music))
        with open(os.path.join(folder, "Lumen_Ribbon.ini"), "rb") as f:
            stored = f.read()
        self.assertIn(KIND_KEY + b"= 2\r\n", stored)
        self.assertIn(REPEAT_KEY + b"= 0\r\n", stored)
        self.assertIn(FILE_KEY + b"=Z:\\", stored)

        self.assert_run_plays_the_music(folder)
        with open(os.path.join(folder, "Lumen_Ribbon.ini"), "rb") as f:
            self.assertEqual(f.read(), stored, "a run leaves the file alone")

    def test_file_written_by_the_settings_dialog_has_shift_jis_keys(self):
        # A new file: the dialog writes all three keys into a folder that has none.
        dialog = settings_dialog_e2e.Dialog(self.session, None).open()
        dialog.click_button("Cmd_Set")
        self.assertEqual(wait_exit(dialog.process, 15), 0)
        self.assertEqual(self.stored_lines(dialog.ini_bytes()),
                         [(KIND_KEY, b"0"), (REPEAT_KEY, b"0"), (FILE_KEY, b"")])

        # Rewritten over a stored choice of a music file, which a run then plays.
        music = make_tone(dialog.folder, "kept.wav", 1, 550)
        write_settings(dialog.folder, 2, 7, windows_path(music))
        dialog.open()
        dialog.click_button("Cmd_Set")
        self.assertEqual(wait_exit(dialog.process, 15), 0)
        self.assertEqual(self.stored_lines(dialog.ini_bytes()),
                         [(KIND_KEY, b"2"), (REPEAT_KEY, b"7"),
                          (FILE_KEY, windows_path(music).encode("ascii"))])
        self.assert_run_plays_the_music(dialog.folder)

    def stored_lines(self, written):
        """The keys and trimmed values after the section line, in the file's order."""
        lines = [line for line in written.replace(b"\r\n", b"\n").split(b"\n") if line]
        self.assertEqual(lines[0], b"[Section]")
        return [(key, value.strip(b" ")) for key, _, value in
                (line.partition(b"=") for line in lines[1:])]


class UnusualNamesTest(CapturedSoundTest):
    """Folders and music files whose names the Japanese code page cannot hold, and a folder
    longer than the ANSI calls take: the host finds its renderer and plays the music."""

    def copy_deliverables(self, folder):
        source = self.session.app_folder("source")
        os.makedirs(folder, exist_ok=True)
        for name in os.listdir(source):
            shutil.copy(os.path.join(source, name), folder)
        return folder

    def test_unusual_folders_and_music_names(self):
        # Wine itself cannot start a program by a path longer than 260 characters, so that
        # folder is tried with the settings dialog, which also needs the renderer beside it.
        deep = os.path.join(self.session.work, *["folder %d %s" % (i, "x" * 40) for i in range(6)])
        self.assertGreater(len(windows_path(deep)), 260)
        dialog = self.open_dialog(self.copy_deliverables(deep))
        self.assertEqual(host_probe(self.session, "msgbox", 0)["found"], "0")
        dialog.click_button("Cmd_Can")
        self.assertEqual(wait_exit(dialog.process, 15), 0)

        folder = self.copy_deliverables(os.path.join(self.session.work, "Müsic ♫"))
        music = os.path.join(self.session.work, "music")
        os.makedirs(music)
        # Chosen in the dialog: stored and played by its short name, which the code page holds.
        outside = make_tone(music, "Müsic ♫.wav", 1, 550)
        dialog = self.open_dialog(folder)
        dialog.choose_kind(2, on_caption=False, button="left")
        self.assertEqual(dialog.choose_file(outside)["rc"], 0)
        dialog.click_button("Cmd_Set")
        self.assertEqual(wait_exit(dialog.process, 15), 0)
        stored = settings_dialog_e2e.ini_values(dialog.ini_bytes())["BGMﾌｧｲﾙ"].decode("cp932")
        print("stored as", stored)
        self.assertTrue(stored.startswith("Z:\\") and stored.endswith(".WAV"), stored)
        self.assertNotIn("?", stored)
        self.assertIn("~", stored)
        self.capture_run(folder)
        self.assertTrue(sound_seconds(self.capture) > 0.5, "the short-named file is played")

        # A Japanese name, which the code page holds, is stored as it is.
        japanese = make_tone(music, "曲.mp3", 1, 660)
        write_settings(folder, 2, 0, windows_path(japanese))
        self.capture_run(folder)
        self.assertTrue(sound_seconds(self.capture) > 0.5, "the Japanese-named file is played")

    def open_dialog(self, folder):
        dialog = settings_dialog_e2e.Dialog(self.session, None)
        dialog.folder, dialog.ini = folder, os.path.join(folder, "Lumen_Ribbon.ini")
        return dialog.open()

    def capture_run(self, folder):
        """A run from folder: its renderer starts, no message shows, Escape ends it."""
        if os.path.exists(self.capture):
            os.remove(self.capture)
        host = start_host(self.session, folder, "/s")
        renderer = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.assertIsNotNone(renderer, "the renderer is found in " + folder)
        wait_for(lambda: sound_seconds(self.capture) > 0.5, 20)
        self.assertEqual(host_probe(self.session, "msgbox", 0)["found"], "0")
        self.session.hold_key(renderer["hwnd"], VK_ESCAPE)
        self.assertEqual(wait_exit(host, 15), 0)


class StoredSettingsEnglishTest(StoredSettingsTest):
    locale = ENGLISH


if __name__ == "__main__":
    unittest.main()
