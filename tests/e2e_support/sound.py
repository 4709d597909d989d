"""Sound for the tests: what ALSA plays into, and tones to play."""

import os
import subprocess


def asound_config(capture_file):
    """ALSA's default device: silent null output, or a WAV capture of what is played (the
    header tells the format the programs chose)."""
    if capture_file is None:
        return "pcm.!default { type null }\n"
    return ('pcm.!default { type file slave.pcm "null" file "%s" format "wav" }\n'
            % capture_file)


def make_tone(folder, name, seconds, frequency):
    """A sine tone as a WAV file, or as an MP3 file when the name ends in .mp3."""
    path = os.path.join(folder, name)
    wav = path if name.lower().endswith(".wav") else path + ".wav"
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", str(seconds),
                    "sine", str(frequency), "vol", "0.5"], check=True, timeout=60)
    if wav != path:
        subprocess.run(["lame", "--quiet", wav, path], check=True, timeout=60)
        os.remove(wav)
    return path
