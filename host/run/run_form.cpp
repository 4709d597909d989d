#include "host/run/run_form.h"

#include "host/music/playback.h"

namespace {

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

FormLook RunFormLook() {
    FormLook look;
    look.caption = kRunFormTitle;
    return look;
}

}  // namespace

bool MusicFileEndsWith(const std::string& file, const std::string& upperEnding) {
    // No non-ASCII character upper-cases to the ASCII endings compared here, so
    // comparing the last bytes compares the last characters.
    if (file.size() < upperEnding.size()) return false;
    const size_t start = file.size() - upperEnding.size();
    for (size_t i = 0; i < upperEnding.size(); ++i) {
        if (AsciiUpper(file[start + i]) != upperEnding[i]) return false;
    }
    return true;
}

Lumen_Ribbon_S::Lumen_Ribbon_S(const RunFormServices& services, StartupModule& module,
                               const Settings& settings, Lumen_Ribbon_BGM& bgm)
    : Timer1(services.timers, 1000, false, [this] { Timer1_Timer(); }),
      Timer2(services.timers, 200, false, [this] { Timer2_Timer(); }),
      Timer3(services.timers, kRendererCheckMs, true, [this] { Timer3_Timer(); }),
      services_(services),
      module_(module),
      settings_(settings),
      bgm_(bgm),
      form_(services.formPlatform, services.screen, RunFormLook(),
            FormEvents{[this] { Form_Load(); }, [this](bool&, UnloadMode) { Form_QueryUnload(); },
                       nullptr, nullptr}) {
    form_.AttachTimer(Timer1);
    form_.AttachTimer(Timer2);
    form_.AttachTimer(Timer3);
}

void Lumen_Ribbon_S::Form_Load() {
    rendererPath = services_.program.RendererPath();
    // Not waited for: the window check gives a starting renderer its time, and the music
    // starts together with the picture.
    rendererProcess_ = services_.launcher.Start(rendererPath);

    if (settings_.BgmKind == 1) {
        CdOpen(bgm_);
        Timer2.SetEnabled(true);
    }
    if (settings_.BgmKind == 2) {
        if (MusicFileEndsWith(settings_.BgmFile, "WAV")) WavePlay(bgm_, settings_.BgmFile);
        if (MusicFileEndsWith(settings_.BgmFile, "MP3")) {
            Mp3OpenAndPlay(bgm_, settings_.BgmFile);
            Timer1.SetEnabled(true);
        }
    }
}

void Lumen_Ribbon_S::Timer1_Timer() {
    Mp3Restart(bgm_);
}

void Lumen_Ribbon_S::Timer2_Timer() {
    CdKeepPlaying(bgm_, settings_.BgmRepeat);
    Timer2.SetEnabled(bgm_.CdOk);
}

void Lumen_Ribbon_S::Timer3_Timer() {
    if (services_.lookup.FindByTitle(kRendererWindowTitle) != 0) {
        missingWindowMs_ = 0;
        Timer3.SetInterval(kRendererCheckMs);
        return;
    }
    if (RendererMayComeBack()) {
        Timer3.SetInterval(kRendererGoneCheckMs);
        return;
    }
    Timer3.SetEnabled(false);
    // A renderer that was killed never put the display mode back.
    services_.displayModes.RestoreUserMode();
    form_.Unload();
}

// A missing window is waited for while the renderer's process runs, for a bounded time.
bool Lumen_Ribbon_S::RendererMayComeBack() {
    if (!rendererProcess_ || !rendererProcess_->StillRunning()) return false;
    // The first check that misses the window came at the usual interval, later ones quicker.
    missingWindowMs_ += missingWindowMs_ == 0 ? kRendererCheckMs : kRendererGoneCheckMs;
    return missingWindowMs_ <= kRendererWindowGraceMs;
}

void Lumen_Ribbon_S::Form_QueryUnload() {
    // A CD poll that has switched itself off has also given up on the device.
    if (Timer2.Enabled()) {
        Timer2.SetEnabled(false);
        CdClose(bgm_);
    }
    if (settings_.BgmKind == 2) {
        if (MusicFileEndsWith(settings_.BgmFile, "WAV")) WaveStop(bgm_);
        if (MusicFileEndsWith(settings_.BgmFile, "MP3")) Mp3Close(bgm_);
    }
    if (ModeSwitch(services_.program.CommandLine()) == "S") {
        // An empty count passes as 0, as the language's empty value does.
        module_.CursorCount = services_.cursor.ShowCursor(module_.CursorCount.value_or(0));
    }
    services_.program.EndProgram();
}
