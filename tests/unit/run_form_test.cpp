#include "host/run/run_form.h"

#include <gtest/gtest.h>

#include <map>

#include "host/music/deferred_sound.h"
#include "tests/unit/music_fake_sound.h"

namespace {

using Commands = std::vector<std::string>;

class FakeFormWindow : public FormWindow {
  public:
    explicit FakeFormWindow(std::vector<std::string>& captions) : captions_(captions) {}
    WindowHandle Handle() const override { return 0x1234; }
    NativeWidget* ControlParent() const override { return nullptr; }
    void SetVisible(bool visible) override { everVisible_ = everVisible_ || visible; }
    void SetCaption(const std::string& caption) override { captions_.push_back(caption); }
    void Move(const PixelRect&) override {}
    PixelRect Bounds() const override { return {}; }
    PixelSize ClientSize() const override { return {}; }
    bool everVisible_ = false;

  private:
    std::vector<std::string>& captions_;
};

// The host's runtime, the desktop and the renderer process, all under the test's control.
class FakeRunWorld : public ProgramServices,
                     public ProcessLauncher,
                     public DisplayModes,
                     public WindowLookup,
                     public CursorService,
                     public FormPlatform,
                     public ScreenServices,
                     public TimerService {
  public:
    explicit FakeRunWorld(const FakeSound& sound) : sound_(sound) {}

    // Program.
    std::string commandLine = "/s";
    int ends = 0;
    size_t soundCallsAtEnd = 0;
    size_t cursorCallsAtEnd = 0;
    std::string CommandLine() const override { return commandLine; }
    std::string SettingsFile() const override { return WindowsSettingsFile("C:\\Saver"); }
    std::string RendererPath() const override { return WindowsRendererPath("C:\\Saver"); }
    std::string RendererMissingMessage() const override { return kWindowsRendererMissingMessage; }
    void ShowMessage(const std::string&, const std::string&) override { ADD_FAILURE(); }
    void EndProgram() override {
        ++ends;
        soundCallsAtEnd = sound_.sent.size() + sound_.sounds.size();
        cursorCallsAtEnd = showCursorCalls.size();
    }

    // Renderer process.
    struct Process : StartedProcess {
        explicit Process(const bool& running) : running_(running) {}
        bool StillRunning() const override { return running_; }
        const bool& running_;
    };
    bool processStarts = true;
    bool processRunning = false;
    std::vector<std::string> started;
    std::unique_ptr<StartedProcess> Start(const std::string& path) override {
        started.push_back(path);
        processRunning = processStarts;
        if (!processStarts) return nullptr;
        return std::make_unique<Process>(processRunning);
    }

    // Display mode: when the user's mode was put back, as the end count then.
    std::vector<int> modeRestoredAtEnds;
    void RestoreUserMode() override { modeRestoredAtEnds.push_back(ends); }

    // Desktop.
    bool rendererWindow = false;
    mutable std::vector<std::string> lookedFor;
    WindowHandle FindByTitle(const std::string& title) const override {
        lookedFor.push_back(title);
        if (title == "Lumen_Ribbon_VC" && rendererWindow) return 0x5678;
        return 0;
    }
    int32_t cursorCount = -1;  // hidden once at start-up
    std::vector<int32_t> showCursorCalls;
    int32_t ShowCursor(int32_t show) override {
        showCursorCalls.push_back(show);
        cursorCount += show != 0 ? 1 : -1;
        return cursorCount;
    }
    std::optional<PixelPoint> Position() const override { return std::nullopt; }

    // Forms and screen.
    std::vector<std::string> captions;
    FakeFormWindow* window = nullptr;
    std::unique_ptr<FormWindow> CreateFormWindow(const FormLook& look, const PixelSize&,
                                                 FormWindowEvents&) override {
        captions.push_back(look.caption);
        auto created = std::make_unique<FakeFormWindow>(captions);
        window = created.get();
        return created;
    }
    void RunEventLoop(WindowHandle, const std::function<bool()>&) override { ADD_FAILURE(); }
    double TwipsPerPixelX() const override { return 15; }
    double TwipsPerPixelY() const override { return 15; }
    double Left() const override { return 0; }
    double Top() const override { return 0; }
    double Width() const override { return 15360; }
    double Height() const override { return 11520; }
    void SetMousePointer(MousePointer) override {}

    // Timers: the test fires the running ones by interval.
    std::map<TimerId, std::pair<uint32_t, std::function<void()>>> running;
    TimerId nextId = 1;
    TimerId Start(uint32_t intervalMs, std::function<void()> onTick) override {
        running[nextId] = {intervalMs, std::move(onTick)};
        return nextId++;
    }
    void Stop(TimerId id) override { running.erase(id); }
    bool Runs(uint32_t intervalMs) const {
        for (const auto& timer : running) {
            if (timer.second.first == intervalMs) return true;
        }
        return false;
    }
    void Tick(uint32_t intervalMs) {
        for (TimerId id = 1; id < nextId; ++id) {
            auto timer = running.find(id);
            if (timer != running.end() && timer->second.first == intervalMs) {
                const std::function<void()> onTick = timer->second.second;
                onTick();
            }
        }
    }

  private:
    const FakeSound& sound_;
};

struct RunFormTest : ::testing::Test {
    FakeSound sound;
    StartupModule module;
    Lumen_Ribbon_BGM bgm{sound, module.ApiResult};
    Settings settings;
    FakeRunWorld world{sound};
    RunFormServices services{world, world, world, world, world, world, world, world};
    Lumen_Ribbon_S run{services, module, settings, bgm};

    RunFormTest() { module.CursorCount = -1; }

    // Loads the form; the renderer comes up with its window.
    void Load() {
        run.form().Load();
        world.rendererWindow = world.processRunning;
    }

    // The renderer ends: its window goes, and the next check notices.
    void RendererEnds() {
        world.rendererWindow = false;
        world.processRunning = false;
        world.Tick(50);
    }

    size_t SoundCalls() const { return sound.sent.size() + sound.sounds.size(); }
};

TEST(RunFormHelpers, FileEndingIgnoresCase) {
    EXPECT_TRUE(MusicFileEndsWith("C:\\a\\song.Mp3", "MP3"));
    EXPECT_TRUE(MusicFileEndsWith("C:\\曲\\loop.wav", "WAV"));
    EXPECT_TRUE(MusicFileEndsWith("mp3", "MP3"));
    EXPECT_FALSE(MusicFileEndsWith("p3", "MP3"));
    EXPECT_FALSE(MusicFileEndsWith("C:\\a\\song.wma", "WAV"));
    EXPECT_FALSE(MusicFileEndsWith("C:\\a\\song.mp3 ", "MP3"));
}

TEST_F(RunFormTest, HiddenFormStartsTheRendererBesideTheHostAndWatchesOnlyIt) {
    EXPECT_FALSE(world.Runs(50)) << "nothing ticks before the form is loaded";
    run.form().Load();
    EXPECT_EQ(world.captions, std::vector<std::string>{"Lumen_Ribbon_Main"});
    EXPECT_FALSE(world.window->everVisible_);
    EXPECT_EQ(run.rendererPath, "C:\\Saver\\Lumen_Ribbon.dll");
    EXPECT_EQ(world.started, std::vector<std::string>{"C:\\Saver\\Lumen_Ribbon.dll"});

    EXPECT_TRUE(world.Runs(50));
    EXPECT_FALSE(world.Runs(200));
    EXPECT_FALSE(world.Runs(1000));
    EXPECT_EQ(SoundCalls(), 0u);
}

// Making the platform's sound system loads its libraries: the renderer starts first, and a run
// without music never makes it.
TEST(RunFormStart, SoundSystemIsMadeOnlyForMusicAndAfterTheRendererStarted) {
    for (const int kind : {0, 1, 2}) {
        FakeSound unused;
        FakeRunWorld world{unused};
        int made = 0;
        size_t startsBeforeMade = 0;
        DeferredSoundSystem sound([&] {
            ++made;
            startsBeforeMade = world.started.size();
            return std::make_unique<FakeSound>();
        });
        StartupModule module;
        module.CursorCount = -1;
        Lumen_Ribbon_BGM bgm{sound, module.ApiResult};
        Settings settings;
        settings.BgmKind = kind;
        settings.BgmFile = "C:\\a.mp3";
        RunFormServices services{world, world, world, world, world, world, world, world};
        Lumen_Ribbon_S run{services, module, settings, bgm};
        run.form().Load();
        EXPECT_EQ(made, kind == 0 ? 0 : 1) << kind;
        EXPECT_EQ(startsBeforeMade, made ? 1u : 0u) << kind;
        world.Tick(1000);  // the music's own checks use the one system
        EXPECT_EQ(made, kind == 0 ? 0 : 1) << kind;
    }
}

TEST_F(RunFormTest, UnknownMusicKindPlaysNothing) {
    settings.BgmKind = 3;
    settings.BgmFile = "C:\\a.mp3";
    Load();
    EXPECT_FALSE(world.Runs(200));
    EXPECT_FALSE(world.Runs(1000));
    RendererEnds();
    EXPECT_EQ(SoundCalls(), 0u);
}

TEST_F(RunFormTest, CdIsOpenedPolledAndClosedAtTheEnd) {
    settings.BgmKind = 1;
    settings.BgmRepeat = 3;
    Load();
    EXPECT_TRUE(world.Runs(200));
    EXPECT_FALSE(world.Runs(1000));
    EXPECT_TRUE(sound.cdOpen);
    EXPECT_FALSE(sound.cdPlaying) << "play starts with the first poll";

    world.Tick(200);
    EXPECT_TRUE(sound.cdPlaying);
    EXPECT_EQ(sound.cdTrack, 3);
    EXPECT_TRUE(run.Timer2.Enabled());

    RendererEnds();
    EXPECT_FALSE(run.Timer2.Enabled());
    EXPECT_FALSE(sound.cdOpen);
    const Commands commands = sound.Commands();
    EXPECT_EQ(Commands(commands.end() - 2, commands.end()),
              (Commands{"stop cdaudio", "close cdaudio"}));
}

TEST_F(RunFormTest, FailedCdPollStopsPollingAndLeavesTheDeviceAlone) {
    settings.BgmKind = 1;
    sound.overrides["status cdaudio current track"] = {kMciErrDeviceNotReady, "", false};
    Load();
    world.Tick(200);
    EXPECT_FALSE(run.Timer2.Enabled());
    EXPECT_FALSE(world.Runs(200));

    const size_t before = sound.sent.size();
    RendererEnds();
    EXPECT_EQ(sound.sent.size(), before) << "no stop or close for a CD that stopped answering";
    EXPECT_EQ(world.ends, 1);
}

TEST_F(RunFormTest, Mp3IsPlayedRestartedAfterItsEndAndClosed) {
    settings.BgmKind = 2;
    settings.BgmFile = "C:\\Music\\Song.Mp3";
    sound.playableFiles = {settings.BgmFile};
    Load();
    EXPECT_TRUE(world.Runs(1000));
    EXPECT_FALSE(world.Runs(200));
    EXPECT_EQ(sound.mp3Mode, "playing");
    EXPECT_TRUE(sound.sounds.empty());

    sound.mp3Mode = "stopped";
    world.Tick(1000);
    EXPECT_EQ(sound.mp3Mode, "playing");

    RendererEnds();
    EXPECT_FALSE(sound.mp3Open);
    EXPECT_TRUE(sound.sounds.empty());
}

TEST_F(RunFormTest, WaveLoopsWithoutATimerAndStopsAtTheEnd) {
    settings.BgmKind = 2;
    settings.BgmFile = "C:\\Music\\Loop.WAV";
    Load();
    EXPECT_FALSE(world.Runs(200));
    EXPECT_FALSE(world.Runs(1000));
    ASSERT_EQ(sound.sounds.size(), 1u);
    EXPECT_EQ(sound.sounds[0].name, std::optional<std::string>(settings.BgmFile));

    RendererEnds();
    ASSERT_EQ(sound.sounds.size(), 2u);
    EXPECT_EQ(sound.sounds[1].name, std::nullopt);
    EXPECT_TRUE(sound.sent.empty());
}

TEST_F(RunFormTest, OtherFileEndingsPlayNothingAndStopNothing) {
    settings.BgmKind = 2;
    for (const char* file : {"C:\\Music\\song.wma", "C:\\Music\\song"}) {
        settings.BgmFile = file;
        run.Form_Load();
        run.Form_QueryUnload();
        EXPECT_FALSE(run.Timer1.Enabled()) << file;
        EXPECT_EQ(SoundCalls(), 0u) << file;
    }
}

TEST_F(RunFormTest, CursorCountIsHandedBackOnlyForTheRunSwitch) {
    world.commandLine = "-s";
    Load();
    RendererEnds();
    EXPECT_EQ(world.showCursorCalls, std::vector<int32_t>{-1});
    EXPECT_EQ(module.CursorCount, std::optional<int32_t>(0));
    EXPECT_EQ(world.cursorCount, 0);

    for (const char* line : {"", "/p 1234", "s"}) {
        world.commandLine = line;
        world.showCursorCalls.clear();
        module.CursorCount = 5;
        run.Form_QueryUnload();
        EXPECT_TRUE(world.showCursorCalls.empty()) << line;
        EXPECT_EQ(module.CursorCount, std::optional<int32_t>(5)) << line;
    }
}

TEST_F(RunFormTest, UnloadStopsTheMusicAndShowsTheCursorBeforeTheProgramEnds) {
    settings.BgmKind = 1;
    Load();
    world.Tick(200);
    RendererEnds();
    EXPECT_EQ(world.ends, 1);
    EXPECT_FALSE(run.form().Loaded());
    EXPECT_EQ(world.soundCallsAtEnd, SoundCalls());
    EXPECT_EQ(world.cursorCallsAtEnd, 1u);
    EXPECT_EQ(world.modeRestoredAtEnds, std::vector<int>{0}) << "a killed renderer's mode goes";
    EXPECT_FALSE(sound.cdOpen);
    EXPECT_TRUE(world.running.empty()) << "no timer outlives the form";
}

TEST_F(RunFormTest, UnloadForAnyOtherReasonStopsTheMusicToo) {
    settings.BgmKind = 2;
    settings.BgmFile = "C:\\Music\\Song.mp3";
    sound.playableFiles = {settings.BgmFile};
    Load();
    EXPECT_TRUE(run.form().Unload(UnloadMode::WindowsSession));
    EXPECT_FALSE(sound.mp3Open);
    EXPECT_EQ(world.ends, 1);
}

TEST_F(RunFormTest, RunGoesOnWhileTheRendererWindowExists) {
    Load();
    for (int tick = 0; tick < 300; ++tick) world.Tick(50);
    EXPECT_TRUE(run.Timer3.Enabled());
    EXPECT_EQ(world.ends, 0);
    EXPECT_EQ(world.lookedFor.back(), "Lumen_Ribbon_VC");

    RendererEnds();
    EXPECT_FALSE(run.Timer3.Enabled());
    EXPECT_EQ(world.ends, 1);
}

// Checks after the first one that misses the window, within the grace time.
constexpr int kGraceChecks = (kRendererWindowGraceMs - kRendererCheckMs) / kRendererGoneCheckMs;

TEST_F(RunFormTest, MissingWindowIsWaitedForWhileTheRendererRunsAtStartAndAcrossRebuilds) {
    run.form().Load();
    world.Tick(kRendererCheckMs);
    EXPECT_TRUE(world.Runs(kRendererGoneCheckMs)) << "a missing window is checked for quickly";
    for (int check = 0; check < kGraceChecks; ++check) world.Tick(kRendererGoneCheckMs);
    EXPECT_EQ(world.ends, 0) << "still starting";

    // Each rebuild gets the whole grace time again, however often the user switches.
    for (int rebuild = 0; rebuild < 3; ++rebuild) {
        world.rendererWindow = true;
        world.Tick(kRendererGoneCheckMs);
        EXPECT_TRUE(world.Runs(kRendererCheckMs)) << "back at the usual pace";
        world.rendererWindow = false;
        world.Tick(kRendererCheckMs);
        for (int check = 0; check < kGraceChecks; ++check) world.Tick(kRendererGoneCheckMs);
        EXPECT_EQ(world.ends, 0) << "rebuild " << rebuild;
    }

    // Escape: the window goes first, the process a moment later.
    world.processRunning = false;
    world.Tick(kRendererGoneCheckMs);
    EXPECT_EQ(world.ends, 1);
    EXPECT_EQ(world.modeRestoredAtEnds, std::vector<int>{0});
}

TEST_F(RunFormTest, RendererThatStaysWithoutAWindowEndsTheRunAfterTheGraceTime) {
    Load();
    world.Tick(kRendererCheckMs);
    world.rendererWindow = false;
    world.Tick(kRendererCheckMs);
    for (int check = 0; check < kGraceChecks; ++check) world.Tick(kRendererGoneCheckMs);
    EXPECT_EQ(world.ends, 0);
    world.Tick(kRendererGoneCheckMs);
    EXPECT_EQ(world.ends, 1);
    EXPECT_FALSE(run.Timer3.Enabled());
    EXPECT_EQ(world.modeRestoredAtEnds, std::vector<int>{0});
}

TEST_F(RunFormTest, RendererThatFailsToStartEndsTheRunAtTheFirstCheck) {
    settings.BgmKind = 2;
    settings.BgmFile = "C:\\Music\\Loop.wav";
    world.processStarts = false;
    run.form().Load();
    EXPECT_EQ(sound.sounds.size(), 1u) << "the music still starts";
    world.Tick(50);
    EXPECT_EQ(world.ends, 1);
    EXPECT_EQ(sound.sounds.size(), 2u);
}

TEST_F(RunFormTest, RendererThatExitsWithoutAWindowEndsTheRunAtOnce) {
    run.form().Load();
    world.Tick(kRendererCheckMs);
    EXPECT_EQ(world.ends, 0);
    world.processRunning = false;
    world.Tick(kRendererGoneCheckMs);
    EXPECT_EQ(world.ends, 1);
}

}  // namespace
