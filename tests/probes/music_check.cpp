// Plays music through the music module, the MCI interpreter and the real media player for a
// while, driving it from the GLib main loop with the run's timers, and reports what happened.
//
//   music_check wav <file> <seconds>   loops the file as the system sound, then stops it
//   music_check mp3 <file> <seconds>   plays the file, restarted by the 1000 ms check, then closes
//   music_check cd <seconds>           polls the CD every 200 ms until the poll gives up
//
// SIGTERM ends the while early, as if its time were up.

#include <glib-unix.h>
#include <glib.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "host/music/bgm_module.h"
#include "host/music/playback.h"

namespace {

// SIGTERM is taken from the start, so one that comes while the music is being opened (the sound
// may already be heard) still ends the while early instead of the program.
struct Stop {
    bool requested = false;
    GMainLoop* running = nullptr;
};

gboolean RequestStop(gpointer data) {
    auto* stop = static_cast<Stop*>(data);
    stop->requested = true;
    if (stop->running != nullptr) g_main_loop_quit(stop->running);
    return G_SOURCE_CONTINUE;
}

// Stays attached so that the source can be removed afterwards, whether it fired or not.
gboolean QuitLoop(gpointer loop) {
    g_main_loop_quit(static_cast<GMainLoop*>(loop));
    return G_SOURCE_CONTINUE;
}

// Runs the main loop for `seconds` (or until SIGTERM), calling `tick` every `intervalMs` while
// it returns true.
void RunFor(Stop& stop, double seconds, guint intervalMs, std::function<bool()> tick) {
    // A SIGTERM already taken is dispatched by the loop's first iteration.
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    stop.running = loop;
    g_timeout_add(
        intervalMs,
        [](gpointer data) -> gboolean { return (*static_cast<std::function<bool()>*>(data))(); },
        &tick);
    const guint timeout = g_timeout_add(static_cast<guint>(seconds * 1000), QuitLoop, loop);
    if (!stop.requested) g_main_loop_run(loop);
    stop.running = nullptr;
    g_source_remove(timeout);
    g_main_loop_unref(loop);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (!((what == "wav" || what == "mp3") && argc == 4) && !(what == "cd" && argc == 3)) {
        std::fprintf(stderr, "usage: music_check wav|mp3 <file> <seconds> | cd <seconds>\n");
        return 2;
    }
    const double seconds = std::atof(argv[argc - 1]);
    Stop stop;
    g_unix_signal_add(SIGTERM, RequestStop, &stop);
    const auto sound = CreateSoundSystem();
    int32_t apiResult = 0;
    Lumen_Ribbon_BGM bgm(*sound, apiResult);

    if (what == "wav") {
        WavePlay(bgm, argv[2]);
        std::printf("play %d\n", apiResult);
        RunFor(stop, seconds, 1000, [] { return true; });
        WaveStop(bgm);
        std::printf("stop %d\n", apiResult);
    } else if (what == "mp3") {
        Mp3OpenAndPlay(bgm, argv[2]);
        std::printf("open %d\n", apiResult);
        int restarts = 0;
        RunFor(stop, seconds, 1000, [&] {
            if (!Mp3IsPlaying(bgm)) ++restarts;
            Mp3Restart(bgm);
            return true;
        });
        Mp3Close(bgm);
        std::printf("restarts %d\nclose %d\n", restarts, apiResult);
    } else {
        CdOpen(bgm);
        std::printf("open %d\n", apiResult);
        int polls = 0;
        RunFor(stop, seconds, 200, [&] {
            ++polls;
            CdKeepPlaying(bgm, 0);
            return bgm.CdOk;
        });
        std::printf("polls %d\ncdok %d\nanswer %s\n", polls, bgm.CdOk ? 1 : 0,
                    bgm.MciAnswer.c_str());
        if (bgm.CdOk) CdClose(bgm);
    }
    return 0;
}
