"""A complete saver run of the real host under Wine: the renderer and the hidden
run window, the end on Escape, the music that really comes out (recorded through
ALSA's file plugin), the CD poll seen through Wine's MCI trace, and the runs
that must end at once.

The helpers at the top are shared with test_host_startup.py.
"""

import array
import os
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

from harness import (BUILD_DIR, HOST, JAPANESE, MODE_SWITCH, VK_ESCAPE, WINE, WM_QUIT, Session,
                     WineTestCase, wait_exit, windows_path)
from e2e_support.sound import make_tone

HOST_PROBE = os.path.join(BUILD_DIR, "probes", "host_probe.exe")
RENDERER_TITLE = "Lumen_Ribbon_VC"
RUN_TITLE = "Lumen_Ribbon_Main"
DIALOG_TITLE = "<Lumen_Ribbon>"


def host_probe(session, *args):
    return session.probe(*args, program=HOST_PROBE)


def write_settings(folder, kind, repeat, music_file):
    """A settings file as a Japanese system stores it: Shift_JIS keys, CRLF line ends."""
    text = "[Section]\r\nBGM区分= %d\r\nBGMﾘﾋﾟｰﾄ= %d\r\nBGMﾌｧｲﾙ=%s\r\n" % (kind, repeat, music_file)
    with open(os.path.join(folder, "Lumen_Ribbon.ini"), "wb") as f:
        f.write(text.encode("cp932"))


def start_host(session, folder, *args, trace_file=None):
    """Starts the host; with a trace file, Wine's MCI trace of the host goes there."""
    env = dict(session.env)
    output = subprocess.DEVNULL
    if trace_file:
        env["WINEDEBUG"] = "+mci,+timestamp"
        output = open(trace_file, "w")
    process = subprocess.Popen([WINE, os.path.join(folder, HOST), *args], env=env,
                               stdin=subprocess.DEVNULL, stdout=output, stderr=output)
    if trace_file:
        output.close()
    session.processes.append(process)
    return process


def mci_commands(trace_file):
    """The MCI command strings the traced process sent, in order."""
    commands = []
    marker = "mciSendStringW (L\""
    with open(trace_file, encoding="utf-8", errors="replace") as f:
        for line in f:
            start = line.find(marker)
            if start >= 0:
                rest = line[start + len(marker):]
                commands.append(rest[:rest.find("\", ")].replace("\\\"", "\""))
    return commands


def sound_seconds(capture_file):
    """Seconds of audible sound in the capture: frames louder than -60 dB.

    The null device takes the data as fast as it comes, so the file is not paced in real time,
    but every audible frame in it was played by someone.
    """
    if not os.path.exists(capture_file):
        return 0.0
    with open(capture_file, "rb") as f:
        data = f.read()
    if len(data) < 44 or data[:4] != b"RIFF":
        return 0.0
    channels, rate = struct.unpack_from("<HI", data, 22)
    bits = struct.unpack_from("<H", data, 34)[0]
    position = 12
    while position + 8 <= len(data) and data[position:position + 4] != b"data":
        position += 8 + struct.unpack_from("<I", data, position + 4)[0]
    samples = data[position + 8:]
    # The sound server's mixer writes 32-bit floats; the header only says 32 bits.
    typecode, full_scale = {32: ("f", 1.0), 16: ("h", 32768.0)}[bits]
    values = array.array(typecode)
    values.frombytes(samples[:len(samples) // values.itemsize * values.itemsize])
    threshold = full_scale / 1000
    # The test tones sound alike on every channel, so the first one tells.
    first_channel = values[::channels]
    return sum(1 for v in first_channel if v > threshold or v < -threshold) / rate


def wait_for(condition, timeout):
    end = time.time() + timeout
    while time.time() < end:
        if condition():
            return True
        time.sleep(0.25)
    return condition()


class SaverRunTest(WineTestCase):
    """Runs without music: the windows of a run and the ways it ends."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.session = Session().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.session.__exit__(None, None, None)

    def start_run(self, folder, *args):
        started = time.time()
        host = start_host(self.session, folder, *args)
        renderer = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.assertIsNotNone(renderer, "the renderer's window appears")
        print("renderer window after %.2f s" % (time.time() - started))
        return host, renderer

    def end_run(self, host, renderer):
        self.session.hold_key(renderer["hwnd"], VK_ESCAPE)
        self.assertEqual(wait_exit(host, 15), 0)

    def test_run_shows_renderer_and_hidden_main_window_and_escape_ends_both(self):
        folder = self.session.app_folder("escape")
        host, renderer = self.start_run(folder, "/s")
        main = self.session.find_window(RUN_TITLE)
        self.assertIsNotNone(main, "the run window exists")
        self.assertEqual(main["visible"], "0")
        self.assertNotEqual(main["pid"], renderer["pid"], "the renderer is a process of its own")
        self.assertIsNone(host.poll(), "the host stays while the renderer runs")

        # Timed inside Wine from the key going down to each process gone.
        key = self.session.probe("key", renderer["hwnd"], VK_ESCAPE, 100, main["pid"],
                                 renderer["pid"], check=True)
        self.assertEqual(wait_exit(host, 15), 0)
        self.assertEqual(host_probe(self.session, "alive", renderer["pid"])["alive"], "0")
        print("after Escape: renderer gone in %s ms, host in %s ms"
              % (key["ended_ms_1"], key["ended_ms_0"]))
        # Both processes are gone well within the time a user would notice.
        both_gone = int(key["ended_ms"]) / 1000
        self.assertGreaterEqual(both_gone, 0)
        self.assertLess(both_gone, 3.0)
        self.assertIsNone(self.session.find_window(RUN_TITLE))
        self.assertIsNone(self.session.find_window(RENDERER_TITLE))

    def test_renderer_rebuilding_its_window_does_not_end_the_run(self):
        folder = self.session.app_folder("rebuild")
        host, renderer = self.start_run(folder, "/s")
        for message in (MODE_SWITCH, MODE_SWITCH, WM_QUIT):
            self.session.post(renderer["hwnd"], message)
            renderer = self.wait_for_new_window(renderer["hwnd"])
            self.assertIsNone(host.poll(), "the run goes on after the rebuild")
        self.assertEqual(host_probe(self.session, "count", RENDERER_TITLE)["count"], "1")
        # A second start still finds the run and leaves it alone.
        second = start_host(self.session, folder, "/s")
        self.assertEqual(wait_exit(second, 15), 0)
        self.assertEqual(host_probe(self.session, "count", RENDERER_TITLE)["count"], "1")
        self.end_run(host, renderer)

    def wait_for_new_window(self, old_hwnd):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            window = self.session.find_window(RENDERER_TITLE, "OpenGL")
            if window and window["hwnd"] != old_hwnd and window["visible"] == "1":
                return window
            time.sleep(0.2)
        self.fail("the renderer's window was not rebuilt")

    def test_second_run_during_a_run_ends_at_once(self):
        folder = self.session.app_folder("second")
        host, renderer = self.start_run(folder, "/s")
        second = start_host(self.session, folder, "/s")
        self.assertEqual(wait_exit(second, 15), 0, "the second start ends by itself")
        self.assertEqual(host_probe(self.session, "count", RENDERER_TITLE)["count"], "1")
        self.assertEqual(host_probe(self.session, "count", RUN_TITLE)["count"], "1")
        self.assertIsNone(host.poll(), "the first run goes on")
        self.end_run(host, renderer)

    def test_renderer_that_cannot_run_ends_the_run(self):
        folder = self.session.app_folder("broken", renderer=False)
        with open(os.path.join(folder, "Lumen_Ribbon.dll"), "w") as f:
            f.write("not a program\n")
        started = time.time()
        host = start_host(self.session, folder, "/s")
        self.assertEqual(wait_exit(host, 15), 0, "the run ends by itself")
        print("run with a broken renderer ended after %.2f s" % (time.time() - started))
        self.assertIsNone(self.session.find_window(RENDERER_TITLE))
        self.assertEqual(host_probe(self.session, "msgbox", 500)["found"], "0")

    def test_cd_without_drive_polls_once_and_the_run_goes_on(self):
        folder = self.session.app_folder("cd")
        write_settings(folder, 1, 0, "")
        trace = os.path.join(self.session.work, "cd-mci.log")
        host = start_host(self.session, folder, "/s", trace_file=trace)
        renderer = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.assertIsNotNone(renderer)
        # Opening the missing drive takes the sound system a few seconds under Wine.
        polled = wait_for(lambda: "status cdaudio current track" in mci_commands(trace), 30)
        self.assertTrue(polled, "the first poll comes")
        time.sleep(2)  # ten more poll intervals
        self.assertIsNone(host.poll(), "the run goes on without a drive")
        self.end_run(host, renderer)

        commands = mci_commands(trace)
        self.assertIn("open cdaudio", commands)
        self.assertIn("set cdaudio time format tmsf", commands)
        self.assertEqual(commands.count("status cdaudio current track"), 1,
                         "the poll stops after its first failed query")
        self.assertNotIn("status cdaudio number of tracks", commands)
        # The poll that switched itself off has given up the device: it is not closed.
        self.assertNotIn("close cdaudio", commands)


class CapturedSoundTest(WineTestCase):
    """One session for the class whose sound output is captured, emptied before each test."""

    locale = JAPANESE

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.capture = os.path.join(tempfile.mkdtemp(prefix="capture-", dir=BUILD_DIR), "out.wav")
        cls.session = Session(locale=cls.locale, capture_file=cls.capture).__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.session.__exit__(None, None, None)
        shutil.rmtree(os.path.dirname(cls.capture), ignore_errors=True)

    def setUp(self):
        if os.path.exists(self.capture):
            os.remove(self.capture)


class MusicTest(CapturedSoundTest):
    """The chosen music file is heard, repeats, and stops with the run."""

    def run_with_music(self, name, tone_seconds, heard_seconds):
        """Runs with the tone chosen until this much of it was heard; the MCI trace."""
        folder = self.session.app_folder(name)
        music = make_tone(folder, name, tone_seconds, 660)
        write_settings(folder, 2, 0, windows_path(music))
        trace = os.path.join(self.session.work, name + "-mci.log")
        host = start_host(self.session, folder, "/s", trace_file=trace)
        renderer = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.assertIsNotNone(renderer)
        heard = wait_for(lambda: sound_seconds(self.capture) >= heard_seconds, 40)
        print("%s: %.2f s of sound heard" % (name, sound_seconds(self.capture)))
        self.assertTrue(heard, "the music comes out and repeats")

        self.session.hold_key(renderer["hwnd"], VK_ESCAPE)
        self.assertEqual(wait_exit(host, 15), 0)
        size = os.path.getsize(self.capture)
        time.sleep(2)
        self.assertEqual(os.path.getsize(self.capture), size, "the sound ends with the run")
        return mci_commands(trace)

    def test_wav_file_loops(self):
        # Heard for longer than the file lasts: it has started over by itself.
        commands = self.run_with_music("loop.wav", 1, 2.5)
        self.assertFalse(any("MP3Play" in c for c in commands))

    def test_mp3_file_is_played_again_after_it_ends(self):
        commands = self.run_with_music("short.Mp3", 1, 2.5)
        self.assertEqual(commands[0][:5], "open ")
        self.assertTrue(commands[0].endswith("short.Mp3\" type MPEGVideo Alias MP3Play"))
        self.assertIn("play MP3Play from 0", commands)
        self.assertEqual(commands[-2:], ["stop MP3Play", "close MP3Play"])

    def test_settings_choosing_a_missing_file_play_nothing(self):
        folder = self.session.app_folder("missing")
        write_settings(folder, 2, 0, windows_path(os.path.join(folder, "gone.wav")))
        trace = os.path.join(self.session.work, "missing-mci.log")
        host = start_host(self.session, folder, "/s", trace_file=trace)
        renderer = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.assertIsNotNone(renderer)
        time.sleep(6)  # longer than the sound device takes to start
        self.session.hold_key(renderer["hwnd"], VK_ESCAPE)
        self.assertEqual(wait_exit(host, 15), 0)
        self.assertEqual(sound_seconds(self.capture), 0.0)
        self.assertEqual(mci_commands(trace), [])


if __name__ == "__main__":
    unittest.main()
