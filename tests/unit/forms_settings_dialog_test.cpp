#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host/forms/command_buttons.h"
#include "host/forms/form_layout.h"
#include "host/forms/forms_ui.h"
#include "host/forms/settings_dialog.h"

namespace {

using namespace std::string_literals;

// --- fakes of the platform ------------------------------------------------------

struct Write {
    std::string section, key, value, file;
};

class FakeProfile final : public ProfileFile {
  public:
    std::string ReadString(const std::string&, const std::string& key,
                           const std::string&) override {
        return stored.count(key) ? stored.at(key) : "";
    }
    int32_t WriteString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) override {
        writes.push_back({section, key, value, file});
        if (log) log->push_back("write");
        return writable ? 1 : 0;
    }
    std::map<std::string, std::string> stored;
    bool writable = true;
    std::vector<Write> writes;
    std::vector<std::string>* log = nullptr;
};

class FakeFiles final : public FileProbe {
  public:
    bool CanOpenForReading(const std::string&) const override {
        ++probes;
        return false;
    }
    std::optional<std::string> ShortPath(const std::string& path) const override {
        const auto found = shortPaths.find(path);
        if (found == shortPaths.end()) return std::nullopt;
        return found->second;
    }
    mutable int probes = 0;
    std::map<std::string, std::string> shortPaths;
};

class PlainCodePage final : public AnsiCodePage {
  public:
    std::string FromUnicode(const std::string& utf8) const override { return utf8; }
    std::string ToUnicode(const std::string& ansi) const override { return ansi; }
    // A code page without the music note.
    bool CanStore(const std::string& utf8) const override {
        return utf8.find("♫") == std::string::npos;
    }
};

class FakeProgram final : public ProgramServices {
  public:
    std::string CommandLine() const override { return "/c"; }
    std::string SettingsFile() const override { return WindowsSettingsFile("C:\\Saver"); }
    std::string RendererPath() const override { return WindowsRendererPath("C:\\Saver"); }
    std::string RendererMissingMessage() const override { return kWindowsRendererMissingMessage; }
    void ShowMessage(const std::string& text, const std::string& title) override {
        ++messages;
        lastMessage = text;
        lastTitle = title;
    }
    void EndProgram() override {}
    int messages = 0;
    std::string lastMessage;
    std::string lastTitle;
};

class FakeScreen final : public ScreenServices {
  public:
    double TwipsPerPixelX() const override { return 15; }
    double TwipsPerPixelY() const override { return 15; }
    double Left() const override { return left; }
    double Top() const override { return top; }
    double Width() const override { return width; }
    double Height() const override { return height; }
    void SetMousePointer(MousePointer pointer) override {
        pointers.push_back(pointer);
        if (log)
            log->push_back(pointer == MousePointer::Default ? "pointer default"
                                                            : "pointer hourglass");
    }
    double left = 0;
    double top = 0;
    double width = 1024 * 15;
    double height = 768 * 15;
    std::vector<MousePointer> pointers;
    std::vector<std::string>* log = nullptr;
};

class FakeCursor final : public CursorService {
  public:
    int32_t ShowCursor(int32_t) override { return 0; }
    std::optional<PixelPoint> Position() const override { return position; }
    std::optional<PixelPoint> position = PixelPoint{300, 200};
};

struct Animation {
    WindowHandle window;
    PixelRect from, to;
};

class FakeWindows final : public NativeWindows {
  public:
    bool GetWindowRect(WindowHandle, PixelRect& rect) const override {
        rect = windowRect;
        return true;
    }
    WindowHandle EmbedInto(WindowHandle, WindowHandle) override { return 0; }
    bool AnimateZoom(WindowHandle window, const PixelRect& from, const PixelRect& to) override {
        animations.push_back({window, from, to});
        if (log) log->push_back("zoom");
        return true;
    }
    PixelRect windowRect{272, 258, 757, 537};
    std::vector<Animation> animations;
    std::vector<std::string>* log = nullptr;
};

class FakeChooser final : public FileChooser {
  public:
    std::optional<std::string> ChooseFile(WindowHandle owner,
                                          const FileOpenRequest& request) override {
        owners.push_back(owner);
        requests.push_back(request);
        return answer;
    }
    std::optional<std::string> answer;
    std::vector<WindowHandle> owners;
    std::vector<FileOpenRequest> requests;
};

class FakeShell final : public ShellOpener {
  public:
    void Open(WindowHandle owner, const std::string& target) override {
        owners.push_back(owner);
        targets.push_back(target);
        if (log) log->push_back("shell");
    }
    std::vector<WindowHandle> owners;
    std::vector<std::string> targets;
    std::vector<std::string>* log = nullptr;
};

class FakeButton final : public FormControl, public CommandButtonPort {
  public:
    explicit FakeButton(std::vector<std::string>& log) : log_(log) {}
    CommandButtonPort* AsCommand() override { return this; }
    void Initialize() override { log_.push_back("initialize"); }
    void SetEnabled(bool enabled) override { log_.push_back(enabled ? "enable" : "disable"); }

  private:
    std::vector<std::string>& log_;
};

class OtherControl final : public FormControl {
  public:
    CommandButtonPort* AsCommand() override { return nullptr; }
};

// The dialog's window and controls: keeps the state the dialog leaves behind and
// a log of the calls that matter for order.
class FakeView final : public SettingsDialogView {
  public:
    FakeView() : buttons{{FakeButton(log), FakeButton(log), FakeButton(log), FakeButton(log)}} {
        controls = {&other, &buttons[0], &buttons[1], &other, &buttons[2], &buttons[3]};
    }
    WindowHandle Handle() const override { return 0x1234; }
    double Width() const override { return width; }
    double Height() const override { return height; }
    void MoveTo(double l, double t) override {
        left = l;
        top = t;
        log.push_back("move");
    }
    double ScaleHeight(GradientSurface surface) const override {
        return surface == GradientSurface::Dialog ? 3780 : 2505;
    }
    void PaintBackground(GradientSurface surface, const std::vector<GradientLine>& lines) override {
        painted.push_back({surface, lines.size()});
    }
    std::vector<FormControl*> Controls() override { return controls; }
    void Unload() override {
        ++unloads;
        log.push_back("unload");
    }
    void SetRepeatEnabled(bool enabled) override { repeatEnabled = enabled; }
    void SetFileButtonEnabled(bool enabled) override { fileButtonEnabled = enabled; }
    void ShowMark(int kind, bool chosen) override {
        marks.at(static_cast<size_t>(kind)) = chosen ? 1 : 0;
    }
    std::string RepeatText() const override { return repeatText; }
    void SetRepeatText(const std::string& text) override {
        repeatText = text;
        log.push_back("text " + text);
    }
    void AddRepeatEntry(const std::string& text) override {
        repeatList.push_back(text);
        if (repeatList.size() == 1) log.push_back("list");
    }
    void SetFileLabel(const std::string& text) override {
        fileLabel = text;
        log.push_back("label");
    }

    double width = 7275;
    double height = 4275;
    double left = -1;
    double top = -1;
    bool repeatEnabled = true;
    bool fileButtonEnabled = true;
    std::array<int, 3> marks{{-1, -1, -1}};  // -1: no picture yet, 0: not chosen, 1: chosen
    std::string repeatText;
    std::vector<std::string> repeatList;
    std::string fileLabel;
    int unloads = 0;
    std::vector<std::pair<GradientSurface, size_t>> painted;
    std::vector<std::string> log;

  private:
    OtherControl other;
    std::array<FakeButton, 4> buttons;
    std::vector<FormControl*> controls;
};

struct FormsSettingsDialog : ::testing::Test {
    FormsSettingsDialog() {
        screen.log = &view.log;
        profile.log = &view.log;
        windows.log = &view.log;
        shell.log = &view.log;
    }

    SettingsDialog& Open(int16_t kind, int16_t repeat = 0, const std::string& file = "") {
        settings.BgmKind = kind;
        settings.BgmRepeat = repeat;
        settings.BgmFile = file;
        dialog.Form_Load();
        return dialog;
    }

    // The value written under key, or std::nullopt when it was not written.
    std::optional<std::string> Written(const char* key) const {
        for (const Write& w : profile.writes) {
            if (w.key == key) return w.value;
        }
        return std::nullopt;
    }

    FakeProfile profile;
    FakeFiles files;
    PlainCodePage codePage;
    FakeProgram program;
    SettingsFileAccess access{profile, files, codePage, program};
    FakeScreen screen;
    FakeCursor cursor;
    FakeWindows windows;
    FakeChooser chooser;
    FakeShell shell;
    FakeView view;
    Settings settings;
    StartupModule module;
    SettingsDialog dialog{
        settings, module,
        SettingsDialogServices{program, screen, cursor, windows, access, chooser, shell}, view};
};

// --- loading -------------------------------------------------------------------------

struct KindCase {
    int16_t kind;
    bool repeatEnabled;
    bool fileButtonEnabled;
    std::array<int, 3> marks;
};

TEST_F(FormsSettingsDialog, LoadSetsEnabledStatesAndTheMarkFromTheStoredKind) {
    const KindCase cases[] = {
        {0, false, false, {{1, 0, 0}}},
        {1, true, false, {{0, 1, 0}}},
        {2, false, true, {{0, 0, 1}}},
        // A hand-edited kind: no mark at all and both dependent controls disabled.
        {5, false, false, {{0, 0, 0}}},
        {-1, false, false, {{0, 0, 0}}},
    };
    for (const KindCase& c : cases) {
        FakeView fresh;
        SettingsDialog d(
            settings, module,
            SettingsDialogServices{program, screen, cursor, windows, access, chooser, shell},
            fresh);
        settings.BgmKind = c.kind;
        d.Form_Load();
        EXPECT_EQ(fresh.repeatEnabled, c.repeatEnabled) << "kind " << c.kind;
        EXPECT_EQ(fresh.fileButtonEnabled, c.fileButtonEnabled) << "kind " << c.kind;
        EXPECT_EQ(fresh.marks, c.marks) << "kind " << c.kind;
        EXPECT_EQ(settings.BgmKind, c.kind) << "loading leaves the kind alone";
    }
}

TEST_F(FormsSettingsDialog, TrackBoxShowsTheStoredTrackThenGetsItsThirtyOneEntries) {
    Open(1, 5);
    EXPECT_EQ(view.repeatText, "5");
    ASSERT_EQ(view.repeatList.size(), 31u);
    EXPECT_EQ(view.repeatList.front(), "");
    EXPECT_EQ(view.repeatList[1], "1");
    EXPECT_EQ(view.repeatList[9], "9");
    EXPECT_EQ(view.repeatList[10], "10");
    EXPECT_EQ(view.repeatList.back(), "30");
    const auto text = std::find(view.log.begin(), view.log.end(), "text 5");
    const auto list = std::find(view.log.begin(), view.log.end(), "list");
    EXPECT_LT(text, list) << "the text is set before the list is filled";
}

TEST_F(FormsSettingsDialog, TrackZeroShowsAnEmptyBox) {
    Open(1, 0);
    EXPECT_EQ(view.repeatText, "");
}

TEST_F(FormsSettingsDialog, LoadRunsItsStepsInOrder) {
    Open(2, 0, "C:\\Music\\a.mp3");
    const std::vector<std::string> expected = {
        "move",  "initialize", "initialize", "initialize", "initialize",
        "text ", "list",       "label",      "zoom",       "pointer default"};
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(view.fileLabel, "C:\\Music\\a.mp3");
}

TEST_F(FormsSettingsDialog, LoadCentresTheDialogAndPutsItAThirdDown) {
    Open(0);
    // Screen 15360 x 11520 twips, dialog 7275 x 4275: free 8085 and 7245.
    EXPECT_EQ(view.left, 4042);
    EXPECT_EQ(view.top, 2415);
}

TEST_F(FormsSettingsDialog, LoadPlacesTheDialogOnAPrimaryMonitorAwayFromTheOrigin) {
    // On X the primary monitor may lie right of and below another one.
    screen.left = 1280 * 15;
    screen.top = 256 * 15;
    Open(0);
    EXPECT_EQ(view.left, 1280 * 15 + 4042);
    EXPECT_EQ(view.top, 256 * 15 + 2415);
}

TEST_F(FormsSettingsDialog, ZoomOpensFromTheMouseAndClosesToThatSamePoint) {
    Open(0);
    cursor.position = PixelPoint{900, 700};  // moved meanwhile: the close ignores it
    dialog.Form_Unload();
    ASSERT_EQ(windows.animations.size(), 2u);
    const PixelRect point{300, 200, 300, 200};
    EXPECT_EQ(windows.animations[0].window, view.Handle());
    EXPECT_EQ(windows.animations[0].from, point);
    EXPECT_EQ(windows.animations[0].to, windows.windowRect);
    EXPECT_EQ(windows.animations[1].from, windows.windowRect);
    EXPECT_EQ(windows.animations[1].to, point);
}

TEST_F(FormsSettingsDialog, WithoutAMousePositionTheZoomUsesTheScreenCorner) {
    module.CursorX = 55;
    module.CursorY = 66;
    cursor.position.reset();
    Open(0);
    ASSERT_EQ(windows.animations.size(), 1u);
    EXPECT_EQ(windows.animations[0].from, (PixelRect{0, 0, 0, 0}));
}

// --- choosing the kind ---------------------------------------------------------------

TEST_F(FormsSettingsDialog, ChoosingAKindAfterAnUnknownStoredKindBehavesNormally) {
    Open(5, 3, "C:\\x.wav");
    view.log.clear();
    dialog.ChooseKind(1);
    EXPECT_EQ(settings.BgmKind, 1);
    EXPECT_TRUE(view.repeatEnabled);
    EXPECT_FALSE(view.fileButtonEnabled);
    EXPECT_EQ(view.marks, (std::array<int, 3>{{0, 1, 0}}));

    dialog.ChooseKind(2);
    EXPECT_EQ(settings.BgmKind, 2);
    EXPECT_FALSE(view.repeatEnabled);
    EXPECT_TRUE(view.fileButtonEnabled);
    EXPECT_EQ(view.marks, (std::array<int, 3>{{0, 0, 1}}));

    dialog.ChooseKind(0);
    EXPECT_EQ(settings.BgmKind, 0);
    EXPECT_FALSE(view.repeatEnabled);
    EXPECT_FALSE(view.fileButtonEnabled);
    EXPECT_EQ(view.marks, (std::array<int, 3>{{1, 0, 0}}));

    // The track text and the file label stay; nothing is written.
    EXPECT_EQ(view.repeatText, "3");
    EXPECT_EQ(view.fileLabel, "C:\\x.wav");
    EXPECT_TRUE(view.log.empty());
    EXPECT_TRUE(profile.writes.empty());
}

// --- the file chooser ---------------------------------------------------------------

TEST_F(FormsSettingsDialog, FileChooserGetsTheMusicFileRequestAndItsOwner) {
    Open(2);
    dialog.Cmd_BGM_Click();
    ASSERT_EQ(chooser.requests.size(), 1u);
    const FileOpenRequest& request = chooser.requests[0];
    EXPECT_EQ(chooser.owners[0], view.Handle());
    EXPECT_EQ(request.title,
              "\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99\xE3\x82\x92\xE9\x96"
              "\x8B\xE3\x81\x8F");
    ASSERT_EQ(request.types.size(), 1u);
    EXPECT_EQ(request.types[0].name,
              "BGM\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99 (MP3 WAV)");
    EXPECT_EQ(request.types[0].patterns, (std::vector<std::string>{"*.MP3", "*.WAV"}));
    EXPECT_EQ(request.initialFolder, "");
}

TEST_F(FormsSettingsDialog, ChosenFileIsTakenWithoutTestingIt) {
    Open(2, 0, "C:\\old.mp3");
    chooser.answer = "D:\\new song.mp3"s;
    dialog.Cmd_BGM_Click();
    EXPECT_EQ(settings.BgmFile, "D:\\new song.mp3");
    EXPECT_EQ(view.fileLabel, "D:\\new song.mp3");
    EXPECT_EQ(files.probes, 0) << "a file that does not exist is accepted as chosen";
}

TEST_F(FormsSettingsDialog, ChosenNameTheCodePageLacksIsStoredInItsShortForm) {
    Open(2, 0, "C:\\old.mp3");
    files.shortPaths["C:\\Müsic ♫\\曲 ♫.mp3"] = "C:\\MSIC~1\\~1.MP3";
    files.shortPaths["C:\\Müsic ♫"] = "C:\\MSIC~1";
    chooser.answer = "C:\\Müsic ♫\\曲 ♫.mp3"s;
    dialog.Cmd_BGM_Click();
    EXPECT_EQ(settings.BgmFile, "C:\\MSIC~1\\~1.MP3");
    EXPECT_EQ(view.fileLabel, settings.BgmFile);

    // A file not yet made goes by its folder's short form.
    chooser.answer = "C:\\Müsic ♫\\new.wav"s;
    dialog.Cmd_BGM_Click();
    EXPECT_EQ(settings.BgmFile, "C:\\MSIC~1\\new.wav");

    // A name with no short form is refused with a message; the choice stays.
    chooser.answer = "D:\\♫.wav"s;
    dialog.Cmd_BGM_Click();
    EXPECT_EQ(settings.BgmFile, "C:\\MSIC~1\\new.wav");
    EXPECT_EQ(program.messages, 1);
    EXPECT_EQ(program.lastMessage, kMusicFileNameMessage);

    chooser.answer = "C:\\曲.mp3"s;  // one the code page holds is taken as it is
    dialog.Cmd_BGM_Click();
    EXPECT_EQ(settings.BgmFile, "C:\\曲.mp3");
}

TEST_F(FormsSettingsDialog, PathTooLongToReadBackIsRefusedWithAMessage) {
    Open(2, 0, "C:\\old.mp3");
    const std::string longest = "D:\\" + std::string(248, 'm') + ".mp3";  // 255 bytes
    chooser.answer = longest;
    dialog.Cmd_BGM_Click();
    EXPECT_EQ(settings.BgmFile, longest);
    EXPECT_EQ(program.messages, 0);

    chooser.answer = "D:\\" + std::string(249, 'm') + ".mp3";
    dialog.Cmd_BGM_Click();
    EXPECT_EQ(program.messages, 1);
    EXPECT_EQ(program.lastMessage, kMusicFilePathTooLongMessage);
    EXPECT_EQ(program.lastTitle, kApplicationTitle);
    EXPECT_EQ(view.fileLabel, longest);
    dialog.Cmd_Set_Click();
    EXPECT_EQ(Written(kKeyBgmFile), longest);
}

TEST_F(FormsSettingsDialog, CancelledFileChooserChangesNothing) {
    Open(2, 0, "C:\\old.mp3");
    chooser.answer.reset();
    dialog.Cmd_BGM_Click();
    EXPECT_EQ(settings.BgmFile, "C:\\old.mp3");
    EXPECT_EQ(view.fileLabel, "C:\\old.mp3");
}

// --- set and cancel ---------------------------------------------------------------------

TEST_F(FormsSettingsDialog, SetWritesTheThreeKeysInOrderThenCloses) {
    Open(1, 0, "C:\\Music\\a.mp3");
    view.repeatText = "12";
    dialog.Cmd_Set_Click();
    ASSERT_EQ(profile.writes.size(), 3u);
    const std::string path = "C:\\Saver\\Lumen_Ribbon.ini";
    const std::string keys[] = {"BGM\x8B\xE6\x95\xAA", "BGM\xD8\xCB\xDF\xB0\xC4",
                                "BGM\xCC\xA7\xB2\xD9"};
    const std::string values[] = {" 1", " 12", "C:\\Music\\a.mp3"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(profile.writes[i].section, "Section");
        EXPECT_EQ(profile.writes[i].key, keys[i]);
        EXPECT_EQ(profile.writes[i].value, values[i]);
        EXPECT_EQ(profile.writes[i].file, path);
    }
    EXPECT_EQ(settings.BgmRepeat, 12);
    EXPECT_EQ(view.unloads, 1);
    const std::vector<std::string> tail(view.log.end() - 4, view.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"write", "write", "write", "unload"}));
}

TEST_F(FormsSettingsDialog, SetConvertsTheTrackText) {
    struct Case {
        const char* text;
        const char* written;
    };
    const Case cases[] = {
        {"abc", " 0"},   {"7", " 7"},     {"2.5", " 2"}, {"3.5", " 4"},
        {"", " 0"},      {" 9 ", " 9"},   {"-2", "-2"},  {"32767", " 32767"},
        {"32768", " 0"}, {"99999", " 0"}, {"1e9", " 0"}, {"5abc", " 0"},
    };
    for (const Case& c : cases) {
        profile.writes.clear();
        settings.BgmRepeat = 21;
        view.repeatText = c.text;
        dialog.Cmd_Set_Click();
        EXPECT_EQ(Written("BGM\xD8\xCB\xDF\xB0\xC4"), std::optional<std::string>(c.written))
            << "track text \"" << c.text << "\"";
    }
}

TEST_F(FormsSettingsDialog, NoMusicStillWritesTheChosenFile) {
    Open(2, 0, "C:\\old.mp3");
    chooser.answer = "C:\\new.wav"s;
    dialog.Cmd_BGM_Click();
    dialog.ChooseKind(0);
    dialog.Cmd_Set_Click();
    EXPECT_EQ(Written("BGM\x8B\xE6\x95\xAA"), std::optional<std::string>(" 0"));
    EXPECT_EQ(Written("BGM\xCC\xA7\xB2\xD9"), std::optional<std::string>("C:\\new.wav"));
}

TEST_F(FormsSettingsDialog, FailedSaveIsReportedAndTheDialogStaysOpen) {
    Open(1, 0, "");
    profile.writable = false;
    dialog.Cmd_Set_Click();
    EXPECT_EQ(program.messages, 1);
    EXPECT_EQ(view.unloads, 0);

    profile.writable = true;
    dialog.Cmd_Set_Click();
    EXPECT_EQ(program.messages, 1);
    EXPECT_EQ(view.unloads, 1);
}

// A stored file that could not be opened shows as no music; a set that leaves that choice alone
// keeps it stored, while any change of kind or file is written as the dialog shows it.
TEST_F(FormsSettingsDialog, UntouchedChoiceKeepsAStoredFileThatWasUnreachable) {
    const char* kindKey = "BGM\x8B\xE6\x95\xAA";
    const char* fileKey = "BGM\xCC\xA7\xB2\xD9";
    profile.stored[fileKey] = "\\\\server\\music\\a.mp3";
    Open(0, 0, "");
    view.repeatText = "3";
    dialog.Cmd_Set_Click();
    EXPECT_EQ(Written(kindKey), std::nullopt);
    EXPECT_EQ(Written(fileKey), std::nullopt);
    EXPECT_EQ(Written("BGM\xD8\xCB\xDF\xB0\xC4"), std::optional<std::string>(" 3"));
    EXPECT_EQ(view.unloads, 1);

    profile.writes.clear();
    dialog.ChooseKind(1);
    dialog.Cmd_Set_Click();
    EXPECT_EQ(Written(kindKey), std::optional<std::string>(" 1"));
    EXPECT_EQ(Written(fileKey), std::optional<std::string>(""));

    // Chosen away and back again counts as untouched.
    profile.writes.clear();
    dialog.ChooseKind(0);
    dialog.Cmd_Set_Click();
    EXPECT_EQ(Written(fileKey), std::nullopt);

    profile.writes.clear();
    chooser.answer = "C:\\new.wav"s;
    dialog.Cmd_BGM_Click();
    dialog.Cmd_Set_Click();
    EXPECT_EQ(Written(kindKey), std::optional<std::string>(" 0"));
    EXPECT_EQ(Written(fileKey), std::optional<std::string>("C:\\new.wav"));
}

TEST_F(FormsSettingsDialog, CancelClosesWithoutWriting) {
    Open(2, 0, "C:\\old.mp3");
    chooser.answer = "C:\\new.wav"s;
    dialog.Cmd_BGM_Click();
    dialog.Cmd_Can_Click();
    EXPECT_TRUE(profile.writes.empty());
    EXPECT_EQ(view.unloads, 1);
}

// --- other works -----------------------------------------------------------------------

TEST_F(FormsSettingsDialog, OtherWorksOpensThePageUnderTheHourglassAndStaysOpen) {
    Open(0);
    view.log.clear();
    dialog.Cmd_Etc_Click();
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"pointer hourglass", "shell", "pointer default"}));
    ASSERT_EQ(shell.targets.size(), 1u);
    EXPECT_EQ(shell.owners[0], view.Handle());
    EXPECT_EQ(shell.targets[0], kOtherWorksAddress);
    EXPECT_EQ(view.unloads, 0);
    EXPECT_EQ(program.messages, 0);
}

// --- painting and form events ---------------------------------------------------------

TEST_F(FormsSettingsDialog, ResizePaintsTheDialogThenThePanelFromTheirOwnHeights) {
    dialog.Form_Resize();
    ASSERT_EQ(view.painted.size(), 2u);
    EXPECT_EQ(view.painted[0], std::make_pair(GradientSurface::Dialog, size_t{3781}));
    EXPECT_EQ(view.painted[1], std::make_pair(GradientSurface::Panel, size_t{2506}));
}

TEST_F(FormsSettingsDialog, FormEventsRunTheDialogsProcedures) {
    settings.BgmKind = 1;
    FormEvents events = SettingsDialogEvents(dialog);
    ASSERT_TRUE(events.load && events.resize && events.unload);
    EXPECT_FALSE(events.queryUnload) << "the dialog has no query-unload handler";
    events.load();
    EXPECT_TRUE(view.repeatEnabled);
    events.resize();
    EXPECT_EQ(view.painted.size(), 2u);
    bool cancel = false;
    events.unload(cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(windows.animations.size(), 2u);
}

// --- free rules --------------------------------------------------------------------------

TEST(FormsDialogPosition, RoundsTheFreeLengthThenTruncatesTowardZero) {
    auto at = [](double sw, double sh, double dw, double dh) {
        const auto p = DialogPosition(sw, sh, dw, dh);
        return p ? std::make_pair(p->left, p->top) : std::make_pair(-99999, -99999);
    };
    EXPECT_EQ(at(15360, 11520, 7275, 4275), std::make_pair(4042, 2415));
    // Halves of a twip go to the even neighbour before dividing: 100.5 -> 100, 101.5 -> 102.
    EXPECT_EQ(at(100.5, 101.5, 0, 0), std::make_pair(50, 34));
    // A screen smaller than the dialog: -7 / 2 is -3 and -7 / 3 is -2, not -4 and -3.
    EXPECT_EQ(at(0, 0, 7, 7), std::make_pair(-3, -2));
    EXPECT_FALSE(DialogPosition(1e12, 100, 0, 0).has_value());
}

TEST_F(FormsSettingsDialog, PositionThatDoesNotFitLeavesTheDialogWhereItIs) {
    screen.width = 1e12;
    Open(0);
    EXPECT_EQ(view.left, -1);
    EXPECT_EQ(view.top, -1);
    EXPECT_EQ(view.log.front(), "initialize") << "the rest of the load still runs";
}

TEST(FormsSetCommandButtons, InitializesOrEnablesOnlyCommandButtons) {
    std::vector<std::string> log;
    FakeButton first(log), second(log);
    OtherControl label;
    const std::vector<FormControl*> controls = {&label, &first, nullptr, &second};
    SetCommandButtons(controls, true, false);
    EXPECT_EQ(log, (std::vector<std::string>{"initialize", "initialize"}));
    log.clear();
    SetCommandButtons(controls, false, false);
    EXPECT_EQ(log, (std::vector<std::string>{"disable", "disable"}));
    log.clear();
    SetCommandButtons(controls, false, true);
    EXPECT_EQ(log, (std::vector<std::string>{"enable", "enable"}));
}

// --- the dialog's controls, apart from their windows ----------------------------------

// A Command button whose window draws nothing; its click stays reachable for the test.
class FakeCommandWindow final : public CommandWindow, ButtonSurface, HoverProbe {
  public:
    FakeCommandWindow(CommandEvents events, int& alive)
        : click_(events.Click), alive_(alive), button_(*this, *this, std::move(events)) {
        ++alive_;
    }
    ~FakeCommandWindow() override { --alive_; }
    FakeCommandWindow(const FakeCommandWindow&) = delete;
    FakeCommandWindow& operator=(const FakeCommandWindow&) = delete;

    Command& Button() override { return button_; }
    NativeWidget* Handle() const override { return nullptr; }
    void Move(const PixelRect& bounds) override { moves.push_back(bounds); }
    void Click() { click_(); }
    std::vector<PixelRect> moves;

  private:
    SurfaceMetrics Metrics() const override { return SurfaceMetrics{}; }
    void Clear() override {}
    void FillGradient(const std::array<GradientVertex, 2>&) override {}
    void CopySkin(Skin, const PixelRect&, const PixelRect&) override {}
    void Refresh() override {}
    void SetOpaque(bool) override {}
    void ShowCaption(const CaptionLabel&) override {}
    void StartPolling(int) override {}
    WindowId WindowUnderCursor() const override { return WindowId{}; }
    WindowId OwnWindow() const override { return WindowId{}; }
    std::optional<WindowId> ParentWindow() const override { return std::nullopt; }

    std::function<void()> click_;
    int& alive_;
    Command button_;
};

struct Made {
    std::string what;
    GradientSurface surface;
    PixelRect box;
    bool operator==(const Made& other) const {
        return what == other.what && surface == other.surface && box == other.box;
    }
};

// The platform's part of the controls, recording what it is asked to make and redraw. Texts
// measure 7 pixels a byte and 13 high.
class RecordingControls final : public DialogControls {
  public:
    using DialogControls::DialogControls;
    ~RecordingControls() override { Destroy(); }

    double ScaleHeight(GradientSurface) const override { return 0; }
    void PaintBackground(GradientSurface, const std::vector<GradientLine>&) override {}
    void Unload() override { ++unloads; }
    void SetRepeatEnabled(bool) override {}
    std::string RepeatText() const override { return ""; }
    void SetRepeatText(const std::string&) override {}
    void AddRepeatEntry(const std::string&) override {}

    // In tab order: Cmd_BGM, Cmd_Set, Cmd_Can, Cmd_Etc.
    FakeCommandWindow& CommandAt(size_t order) { return *commands.at(order); }
    const DrawnControl& DrawnNamed(const std::string& name, int index) const {
        for (GradientSurface surface : {GradientSurface::Dialog, GradientSurface::Panel}) {
            for (const DrawnControl& control : Drawn(surface)) {
                if (name == control.layout->name && control.layout->index == index) return control;
            }
        }
        throw std::out_of_range(name);
    }

    bool surfacesMade = true;
    PixelRect panelBox;
    std::vector<Made> made;
    std::vector<FakeCommandWindow*> commands;
    std::vector<std::pair<GradientSurface, PixelRect>> redrawn;
    int alive = 0;
    int unloads = 0;
    int takeDowns = 0;
    int aliveAtTakeDown = -1;

  protected:
    bool MakeSurfaces(const PixelRect& box, const Rgb&) override {
        panelBox = box;
        return surfacesMade;
    }
    PixelSize TextSize(const std::string& text) const override {
        return PixelSize{static_cast<int32_t>(text.size()) * 7, 13};
    }
    void MakeTrackBox(GradientSurface surface, const PixelRect& box) override {
        made.push_back({"track box", surface, box});
    }
    std::unique_ptr<CommandWindow> MakeCommand(GradientSurface surface, const PixelRect& box,
                                               CommandEvents events) override {
        made.push_back({"command", surface, box});
        auto command = std::make_unique<FakeCommandWindow>(std::move(events), alive);
        commands.push_back(command.get());
        return command;
    }
    void TakeDown() override {
        ++takeDowns;
        aliveAtTakeDown = alive;
        commands.clear();
    }
    void Redraw(GradientSurface surface, const PixelRect& box) override {
        redrawn.emplace_back(surface, box);
    }
};

struct FormsDialogControls : FormsSettingsDialog {
    RecordingControls controls{screen};
    SettingsDialog controlled{
        settings, module,
        SettingsDialogServices{program, screen, cursor, windows, access, chooser, shell}, controls};
};

TEST_F(FormsDialogControls, CreateMakesTheWindowedControlsInTabOrderAtTheirPixels) {
    controls.Create(controlled);
    // At 15 twips a pixel: BGM_Repeat, Cmd_BGM, Cmd_Set, Cmd_Can, Cmd_Etc.
    const std::vector<Made> expected{
        {"track box", GradientSurface::Panel, SizedRect(92, 52, 41, 20)},
        {"command", GradientSurface::Panel, SizedRect(36, 116, 29, 21)},
        {"command", GradientSurface::Dialog, SizedRect(320, 200, 73, 25)},
        {"command", GradientSurface::Dialog, SizedRect(396, 200, 69, 25)},
        {"command", GradientSurface::Dialog, SizedRect(192, 200, 125, 25)},
    };
    EXPECT_EQ(controls.made, expected);
    EXPECT_EQ(controls.panelBox, SizedRect(12, 16, 453, 169));
    // The buttons read the stored design, then take their designed place.
    EXPECT_EQ(controls.CommandAt(1).Button().Caption(), "設定");
    EXPECT_EQ(controls.CommandAt(3).moves, std::vector<PixelRect>{expected[4].box});

    // The collection follows the layout's order, buttons where the layout has them.
    const std::vector<FormControl*> collection = controls.Controls();
    ASSERT_EQ(collection.size(), kSettingsDialogControls.size());
    for (size_t i = 0; i < collection.size(); ++i) {
        const bool command = kSettingsDialogControls[i].kind == ControlKind::Command;
        EXPECT_EQ(collection[i]->AsCommand() != nullptr, command)
            << kSettingsDialogControls[i].name;
    }

    // Labels that size themselves take their caption's size; the others keep the layout's.
    EXPECT_EQ(controls.DrawnNamed("lbl_BGM", 0).box, SizedRect(36, 76, 6 * 7, 13));
    EXPECT_EQ(controls.DrawnNamed("lbl_Fname", kNoIndex).box, SizedRect(68, 116, 357, 29));
    EXPECT_EQ(controls.DrawnNamed("Img_Ra", 1).picture, 1);
    EXPECT_EQ(controls.DrawnNamed("Img_BGM", 1).picture, kNoPicture);
    EXPECT_EQ(controls.Drawn(GradientSurface::Panel).size() +
                  controls.Drawn(GradientSurface::Dialog).size(),
              13u);
}

TEST_F(FormsDialogControls, FormWithoutSurfacesGetsNoControls) {
    controls.surfacesMade = false;
    controls.Create(controlled);
    EXPECT_TRUE(controls.made.empty());
    EXPECT_TRUE(controls.Controls().empty());
    EXPECT_TRUE(controls.Drawn(GradientSurface::Panel).empty());
}

TEST_F(FormsDialogControls, ClicksOnAMarkOrItsCaptionChooseThatKind) {
    settings.BgmKind = 0;
    controls.Create(controlled);
    const PixelRect label = controls.DrawnNamed("lbl_BGM", 2).box;
    controls.MouseDown(GradientSurface::Panel, PixelPoint{label.left, label.top});
    EXPECT_EQ(settings.BgmKind, 2);
    EXPECT_EQ(controls.DrawnNamed("Img_BGM", 2).picture, 1);
    EXPECT_EQ(controls.DrawnNamed("Img_BGM", 0).picture, 0);
    EXPECT_EQ(controls.redrawn.back(),
              std::make_pair(GradientSurface::Panel, controls.DrawnNamed("Img_BGM", 2).box));
    EXPECT_TRUE(controls.CommandAt(0).Button().Enabled()) << "Cmd_BGM follows the file kind";

    // The right and bottom edges are outside; so is the same place on the other surface.
    const PixelRect mark = controls.DrawnNamed("Img_BGM", 1).box;
    controls.MouseDown(GradientSurface::Panel, PixelPoint{mark.right, mark.top});
    controls.MouseDown(GradientSurface::Panel, PixelPoint{mark.left, mark.bottom});
    controls.MouseDown(GradientSurface::Dialog, PixelPoint{mark.left, mark.top});
    EXPECT_EQ(settings.BgmKind, 2);
    controls.MouseDown(GradientSurface::Panel, PixelPoint{mark.right - 1, mark.bottom - 1});
    EXPECT_EQ(settings.BgmKind, 1);
    EXPECT_FALSE(controls.CommandAt(0).Button().Enabled());

    controls.SetFileLabel("C:\\曲.mp3");
    EXPECT_EQ(controls.DrawnNamed("lbl_Fname", kNoIndex).caption, "C:\\曲.mp3");
}

TEST_F(FormsDialogControls, ButtonsClickIntoTheDialogAndGoBeforeTheSurfaces) {
    controls.Create(controlled);
    controls.CommandAt(2).Click();  // Cmd_Can
    EXPECT_EQ(controls.unloads, 1);
    EXPECT_EQ(controls.alive, 4);
    controls.Destroy();
    EXPECT_EQ(controls.alive, 0);
    EXPECT_EQ(controls.takeDowns, 1);
    EXPECT_EQ(controls.aliveAtTakeDown, 0) << "the buttons live in the surfaces' windows";
    EXPECT_TRUE(controls.Controls().empty());
    EXPECT_TRUE(controls.Drawn(GradientSurface::Dialog).empty());
}

}  // namespace
