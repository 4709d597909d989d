#pragma once
// Opening, keeping up and closing each kind of background music: an audio CD
// through the MCI device "cdaudio", an MP3 file under the alias "MP3Play", and a
// WAV file through the system sound player. The callers' timers drive the
// keep-playing operations; this module keeps no timer of its own.

#include <cstdint>
#include <string>

#include "host/music/bgm_module.h"

// Opens the CD device in track:minute:second:frame format. Play starts with the first poll.
void CdOpen(Lumen_Ribbon_BGM& bgm);
// One CD poll: plays track `BgmRepeat` again whenever the disc has left it or
// stopped, or, for 0, plays on whenever the disc has stopped. Leaves CdOk false
// when the device stopped answering.
void CdKeepPlaying(Lumen_Ribbon_BGM& bgm, int16_t BgmRepeat);
void CdClose(Lumen_Ribbon_BGM& bgm);

// Opens `BgmFile` under the alias and plays it when the open succeeded.
void Mp3OpenAndPlay(Lumen_Ribbon_BGM& bgm, const std::string& BgmFile);
// true while the alias reports "playing". The mode buffer is not cleared first,
// so a failed query tests the previous answer again.
bool Mp3IsPlaying(Lumen_Ribbon_BGM& bgm);
// Plays the file again from its start once it has stopped playing.
void Mp3Restart(Lumen_Ribbon_BGM& bgm);
void Mp3Close(Lumen_Ribbon_BGM& bgm);

// Starts `BgmFile` looping in the background, when there is a wave output device.
void WavePlay(Lumen_Ribbon_BGM& bgm, const std::string& BgmFile);
// Stops any sound the sound player has started.
void WaveStop(Lumen_Ribbon_BGM& bgm);
