"""The music module through the MCI interpreter and the GStreamer media player, heard: a WAV
that loops by itself and an MP3 restarted by the 1000 ms check (tests/probes/music_check.cpp).

Sound is captured as the Windows tests capture it, through ALSA's file plugin behind the null
device in a private ~/.asoundrc, with GStreamer steered to ALSA. The null device would take the
data as fast as it comes (and silence in every pause), so the plugin writes into a pipe that
this test reads at the stream's own pace.

That pacing has a limit no sound device has: the writer waits inside ALSA's write call, holding
the lock through which GStreamer's alsasink reads its clock, so now and then the player's clock
reads (and with them its end of stream) stall for seconds. A replayed MP3 is therefore checked
by the player's own report of its end and its restart, and heard once; the WAV, which loops
inside the player without waiting for its end, is heard again."""

import array
import os
import shutil
import signal
import struct
import subprocess
import tempfile
import threading
import time
import unittest

from e2e_support.sound import asound_config, make_tone

BUILD_DIR = os.path.abspath(os.environ.get(
    "LR_BUILD_DIR", os.path.join(os.path.dirname(__file__), "../../build/linux")))
CHECK = os.path.join(BUILD_DIR, "probes", "music_check")


class PacedCapture(threading.Thread):
    """Reads the WAV stream the ALSA file plugin writes into a pipe, no faster than it plays,
    and counts the seconds of sound in it (frames louder than -60 dB)."""

    SLACK = 0.2  # seconds

    def __init__(self, pipe):
        super().__init__(daemon=True)
        self.pipe = pipe
        self.seconds = self.audible = 0.0

    def run(self):
        with open(self.pipe, "rb", buffering=0) as f:
            header = self.read_exact(f, 44)
            if len(header) < 44:
                return
            channels, rate = struct.unpack_from("<HI", header, 22)
            bits = struct.unpack_from("<H", header, 34)[0]
            assert bits == 16 and header[36:40] == b"data", header
            frame = channels * 2
            # The time at which the stream read so far has played out. A reader held up for
            # long (a loaded machine) goes on at the stream's pace from where it is, as a sound
            # device does: catching up would drain the pipe at once, the player's clock would
            # race ahead of the real time its own timers keep, and the sink's silence while the
            # player reacts would fill seconds of the capture. Lateness up to a device buffer's
            # worth is made up, so that small delays in waking do not slow the stream.
            due = time.monotonic()
            frames = audible = 0
            while True:
                chunk = self.read_exact(f, rate // 20 * frame)
                if not chunk:
                    break
                samples = array.array("h")
                samples.frombytes(chunk[:len(chunk) // frame * frame])
                count = len(samples) // channels
                frames += count
                audible += sum(1 for v in samples[::channels] if v > 32 or v < -32)
                self.seconds, self.audible = frames / rate, audible / rate
                due = max(due, time.monotonic() - self.SLACK) + count / rate
                time.sleep(max(0.0, due - time.monotonic()))

    @staticmethod
    def read_exact(f, size):
        data = b""
        while len(data) < size:
            chunk = f.read(size - len(data))
            if not chunk:
                break
            data += chunk
        return data


class MusicHeard(unittest.TestCase):
    def setUp(self):
        self.assertTrue(os.path.exists(CHECK), "the native build is missing: " + CHECK)
        self.work = tempfile.mkdtemp(prefix="music-", dir=BUILD_DIR)
        self.home = os.path.join(self.work, "home")
        os.makedirs(self.home)
        self.pipe = os.path.join(self.work, "capture.wav")
        os.mkfifo(self.pipe)
        with open(os.path.join(self.home, ".asoundrc"), "w") as f:
            f.write(asound_config(self.pipe))
        self.env = dict(os.environ, HOME=self.home, GST_PLUGIN_FEATURE_RANK="alsasink:MAX")

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def check(self, *args, until=None):
        """Runs the check program while capturing; its report and the capture. With until, the
        program is stopped once that many seconds of sound were heard (a loaded machine takes
        longer to get there), or at its own time."""
        capture = PacedCapture(self.pipe)
        capture.start()
        process = subprocess.Popen([CHECK, *args], env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            while until is not None and capture.audible <= until and process.poll() is None:
                time.sleep(0.1)
            if process.poll() is None and until is not None:
                process.send_signal(signal.SIGTERM)
            output, errors = process.communicate(timeout=120)
        finally:
            # A program that never opened the sound device leaves the reader waiting.
            try:
                os.close(os.open(self.pipe, os.O_WRONLY | os.O_NONBLOCK))
            except OSError:
                pass
            capture.join(60)
        self.assertEqual(process.returncode, 0, errors)
        report = dict(line.split(" ", 1) for line in output.splitlines())
        print("%s: %.2f s of sound in %.2f s captured, %s" % (
            args[0], capture.audible, capture.seconds, report))
        return report, capture

    def test_wav_loops_by_itself_until_stopped(self):
        tone = make_tone(self.work, "loop.wav", 1, 660)
        report, capture = self.check("wav", tone, "60", until=1.5)
        self.assertEqual(report, {"play": "1", "stop": "1"})
        # Heard for longer than the file lasts: it has started over by itself.
        self.assertGreater(capture.audible, 1.5)

    def test_mp3_is_played_again_after_it_ends(self):
        tone = make_tone(self.work, "short.Mp3", 1, 660)
        report, capture = self.check("mp3", tone, "60", until=1.5)
        self.assertEqual(report["open"], "0")
        self.assertEqual(report["close"], "0")
        # Its end was seen and "play from 0" sent, and it was heard.
        self.assertGreaterEqual(int(report["restarts"]), 1)
        self.assertGreater(capture.audible, 0.4)

    def test_mp3_whose_name_holds_quotes_is_played(self):
        tone = make_tone(self.work, 'say "hi".mp3', 1, 660)
        report, capture = self.check("mp3", tone, "60", until=0.4)
        self.assertEqual(report["open"], "0")
        self.assertGreater(capture.audible, 0.4)

    def test_a_fifo_is_refused_at_once_and_plays_nothing(self):
        for kind in ("mp3", "wav"):
            fifo = os.path.join(self.work, "pipe." + kind)
            os.mkfifo(fifo)
            report, capture = self.check(kind, fifo, "1")
            self.assertEqual(report.get("open", report.get("play")), "275" if kind == "mp3" else "0")
            self.assertEqual(capture.audible, 0.0)

    def test_missing_file_plays_nothing(self):
        report, capture = self.check("mp3", os.path.join(self.work, "gone.mp3"), "2")
        self.assertEqual(report["open"], "275")
        # Every check finds it not playing; the restarts go to an alias that is not open.
        self.assertEqual(report["close"], "263")
        self.assertEqual(capture.audible, 0.0)

    @unittest.skipIf(os.path.exists("/dev/cdrom"), "this machine has a CD drive")
    def test_cd_without_drive_polls_once_and_gives_up(self):
        report, _ = self.check("cd", "2")
        self.assertEqual(report["open"], "263")
        self.assertEqual(report["polls"], "1")
        self.assertEqual(report["cdok"], "0")


if __name__ == "__main__":
    unittest.main()
