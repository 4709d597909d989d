#pragma once
// The hidden run form of a screen-saver run, "Lumen_Ribbon_Main": starts the
// renderer, starts the chosen music and keeps it going, and ends the host once
// the renderer has gone.

#include <cstdint>
#include <memory>
#include <string>

#include "host/music/bgm_module.h"
#include "host/run/display_modes.h"
#include "host/runtime/cursor.h"
#include "host/runtime/form.h"
#include "host/runtime/process_launcher.h"
#include "host/runtime/program.h"
#include "host/runtime/screen.h"
#include "host/runtime/timer.h"
#include "host/runtime/window_lookup.h"
#include "host/startup/settings.h"
#include "host/startup/startup.h"

inline constexpr char kRendererWindowTitle[] = "Lumen_Ribbon_VC";

// The renderer-window check's interval while the window is there.
constexpr uint32_t kRendererCheckMs = 50;
// While the renderer's process runs, its window may be missing this long without ending the
// run: a starting renderer has not made it yet, and a renderer switching between full screen
// and a window destroys and rebuilds it around a display-mode change, which a monitor may take
// a few seconds to follow. A renderer that stays without a window longer than that is taken for
// hung, and the run ends.
constexpr uint32_t kRendererWindowGraceMs = 5000;
// Meanwhile the check comes this often, so that the run ends right after a renderer that quit.
constexpr uint32_t kRendererGoneCheckMs = 10;

struct RunFormServices {
    ProgramServices& program;
    ProcessLauncher& launcher;
    DisplayModes& displayModes;
    const WindowLookup& lookup;
    CursorService& cursor;
    FormPlatform& formPlatform;
    const ScreenServices& screen;
    TimerService& timers;
};

class Lumen_Ribbon_S {
  public:
    // `module`, `settings` and `bgm` are the host's modules and outlive the form.
    Lumen_Ribbon_S(const RunFormServices& services, StartupModule& module, const Settings& settings,
                   Lumen_Ribbon_BGM& bgm);

    // The form the start-up procedure loads; it is never shown.
    Form& form() { return form_; }

    void Form_Load();
    void Timer1_Timer();  // keeps the MP3 file playing
    void Timer2_Timer();  // keeps the CD playing
    void Timer3_Timer();  // watches the renderer's window
    void Form_QueryUnload();

    std::string rendererPath;
    Timer Timer1;  // 1000 ms, MP3 only
    Timer Timer2;  // 200 ms, CD only
    Timer Timer3;  // 50 ms from load; 10 ms while the renderer's window is missing

  private:
    bool RendererMayComeBack();

    RunFormServices services_;
    StartupModule& module_;
    const Settings& settings_;
    Lumen_Ribbon_BGM& bgm_;
    std::unique_ptr<StartedProcess> rendererProcess_;
    uint32_t missingWindowMs_ = 0;

    Form form_;
};

// true when the last characters of `file`, upper-cased, are `upperEnding` (ASCII).
bool MusicFileEndsWith(const std::string& file, const std::string& upperEnding);
