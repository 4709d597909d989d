// The host's command line, from the arguments a user gives to the mode the start-up procedure
// brings up. The input's last byte says what the system holds (another saver or dialog, the
// renderer, the preview pane, the lock of another host on its way up) and whether the text
// before is the program's argument list (pieces separated by NUL) or a Windows command line as
// it stands; the 16 bytes before that byte are the pane's rectangle.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/runtime/conversions.h"
#include "host/startup/arguments.h"
#include "host/startup/startup.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

enum EnvironmentBit : uint8_t {
    kSaverRunning = 1,
    kDialogOpen = 2,
    kRendererPresent = 4,
    kPaneExists = 8,
    kWindowsCommandLine = 16,
    kLockHeldElsewhere = 32,
};

struct FuzzWindow : FormWindow {
    WindowHandle handle;
    explicit FuzzWindow(WindowHandle h) : handle(h) {}
    WindowHandle Handle() const override { return handle; }
    NativeWidget* ControlParent() const override { return nullptr; }
    void SetVisible(bool) override {}
    void SetCaption(const std::string&) override {}
    void Move(const PixelRect&) override {}
    PixelRect Bounds() const override { return {}; }
    PixelSize ClientSize() const override { return {}; }
};

// The whole system around Main, as the environment bits describe it. Every call is counted where
// the dispatch rules speak of it.
struct FuzzSystem : ProgramServices,
                    ScreenServices,
                    WindowLookup,
                    InstanceLock,
                    NativeWindows,
                    CursorService,
                    ProfileFile,
                    FileProbe,
                    AnsiCodePage,
                    FormPlatform {
    uint8_t bits = 0;
    std::string commandLine;
    PixelRect paneRect;
    int ends = 0;
    int messages = 0;
    int profileReads = 0;
    mutable int rendererProbes = 0;
    int cursorHides = 0;
    int lockTries = 0;
    WindowHandle parent = 0;
    FormWindowEvents* lastWindowEvents = nullptr;
    WindowHandle nextWindow = 0x100;

    std::string CommandLine() const override { return commandLine; }
    std::string SettingsFile() const override { return WindowsSettingsFile("C:\\Saver"); }
    std::string RendererPath() const override { return WindowsRendererPath("C:\\Saver"); }
    std::string RendererMissingMessage() const override { return kWindowsRendererMissingMessage; }
    void ShowMessage(const std::string&, const std::string&) override { ++messages; }
    void EndProgram() override { ++ends; }

    double TwipsPerPixelX() const override { return 15; }
    double TwipsPerPixelY() const override { return 15; }
    double Left() const override { return 0; }
    double Top() const override { return 0; }
    double Width() const override { return 1024 * 15; }
    double Height() const override { return 768 * 15; }
    void SetMousePointer(MousePointer) override {}

    WindowHandle FindByTitle(const std::string& title) const override {
        if (title == kRunFormTitle) return (bits & kSaverRunning) ? 0x10 : 0;
        if (title == kSettingsDialogTitle) return (bits & kDialogOpen) ? 0x20 : 0;
        return 0;
    }

    bool Acquire() override {
        ++lockTries;
        return (bits & kLockHeldElsewhere) == 0;
    }

    bool GetWindowRect(WindowHandle, PixelRect& rect) const override {
        rect = (bits & kPaneExists) ? paneRect : PixelRect{};
        return (bits & kPaneExists) != 0;
    }
    WindowHandle EmbedInto(WindowHandle, WindowHandle newParent) override {
        parent = newParent;
        return 0;
    }
    bool AnimateZoom(WindowHandle, const PixelRect&, const PixelRect&) override { return true; }

    int32_t ShowCursor(int32_t show) override {
        if (show == 0) ++cursorHides;
        return show == 0 ? -1 : 0;
    }
    std::optional<PixelPoint> Position() const override { return std::nullopt; }

    std::string ReadString(const std::string&, const std::string&, const std::string&) override {
        ++profileReads;
        return "";
    }
    int32_t WriteString(const std::string&, const std::string&, const std::string&,
                        const std::string&) override {
        return 1;
    }

    bool CanOpenForReading(const std::string& path) const override {
        if (path != RendererPath()) return false;
        ++rendererProbes;
        return (bits & kRendererPresent) != 0;
    }
    std::optional<std::string> ShortPath(const std::string& path) const override { return path; }

    std::string FromUnicode(const std::string& utf8) const override { return utf8; }
    std::string ToUnicode(const std::string& ansi) const override { return ansi; }
    bool CanStore(const std::string&) const override { return true; }

    std::unique_ptr<FormWindow> CreateFormWindow(const FormLook&, const PixelSize&,
                                                 FormWindowEvents& events) override {
        lastWindowEvents = &events;
        return std::make_unique<FuzzWindow>(nextWindow++);
    }
    // The user closes the modal dialog at once.
    void RunEventLoop(WindowHandle, const std::function<bool()>& keepRunning) override {
        FuzzExpect(lastWindowEvents != nullptr, "a modal loop runs for a window");
        lastWindowEvents->OnCloseRequest(UnloadMode::ControlMenu);
        FuzzExpect(!keepRunning(), "closing the dialog ends its modal loop");
    }
};

// The text from the character with the given 0-based index on (characters are UTF-8).
std::string FromCharacter(const std::string& text, size_t index) {
    size_t seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (seen++ == index) return text.substr(i);
    }
    return "";
}

// The pane's handle: the number Val reads, rounded half to even; -2^31 to 2^32 - 1 are the
// 32-bit handles, anything else is no window.
WindowHandle ExpectedParent(const std::string& commandLine) {
    const double number = std::nearbyint(Val(FromCharacter(commandLine, 3)));
    if (!(number >= -2147483648.0 && number <= 4294967295.0)) return 0;
    return static_cast<uint32_t>(static_cast<int64_t>(number));
}

// "--preview 0x..." with hexadecimal digits only names that window.
void CheckHexadecimalPreview(const std::vector<std::string>& arguments,
                             const std::string& commandLine) {
    if (arguments.size() != 2 || arguments[0] != "--preview") return;
    const std::string& id = arguments[1];
    if (id.size() < 3 || id.size() > 18 || id.compare(0, 2, "0x") != 0 ||
        id.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string::npos) {
        return;
    }
    const uint64_t number = std::stoull(id.substr(2), nullptr, 16);
    const WindowHandle expected = number <= 0xFFFFFFFFu ? number : 0;
    FuzzExpect(PreviewParentHandle(commandLine) == expected, "a hexadecimal id names its window");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kTrailer = sizeof(PixelRect) + 1;
    if (size < kTrailer) return 0;
    const size_t textSize = size - kTrailer;
    FuzzSystem system;
    std::memcpy(&system.paneRect, data + textSize, sizeof(PixelRect));
    system.bits = data[size - 1];

    if (system.bits & kWindowsCommandLine) {
        system.commandLine = std::string(reinterpret_cast<const char*>(data), textSize);
    } else {
        std::vector<std::string> arguments = SplitInput(data, textSize);
        if (textSize == 0) arguments.clear();
        const ArgumentRequest request = ReadArguments(arguments);
        const bool previewWithoutId = arguments.size() == 1 && arguments[0] == "--preview";
        FuzzExpect(!previewWithoutId || request.kind != ArgumentRequest::Kind::Dispatch,
                   "--preview without an id never reaches the dispatch");
        if (request.kind != ArgumentRequest::Kind::Dispatch) return 0;
        system.commandLine = request.commandLine;
        CheckHexadecimalPreview(arguments, request.commandLine);
    }

    Form run{system, system, FormLook{kRunFormTitle, FormBorder::Borderless}, FormEvents{}};
    Form dialog{system, system, FormLook{kSettingsDialogTitle, FormBorder::FixedSingle},
                FormEvents{}};
    Form preview{system, system, FormLook{"Preview Window", FormBorder::Borderless}, FormEvents{}};
    StartupForms forms{run, dialog, preview, nullptr};
    SettingsFileAccess access{system, system, system, system};
    StartupServices services{system, system, system, system, system, system, access};
    StartupModule module;
    Settings settings;
    Main(module, settings, services, forms);

    const std::string& line = system.commandLine;
    const std::string mode = ModeSwitch(line);
    const bool ended = system.ends == 1;
    FuzzExpect(system.ends <= 1, "the program ends once at most");
    const bool lockFree = !(system.bits & kLockHeldElsewhere);
    FuzzExpect(system.cursorHides == (!(system.bits & (kSaverRunning | kDialogOpen)) &&
                                      (system.bits & kRendererPresent) && lockFree && mode == "S"),
               "only a run hides the cursor");
    FuzzExpect(system.lockTries <= 1, "the lock is tried once at most");
    if (system.bits & (kSaverRunning | kDialogOpen)) {
        FuzzExpect(ended && system.nextWindow == 0x100 && system.profileReads == 0,
                   "a second instance ends before doing anything");
    } else if (mode == "P") {
        FuzzExpect(system.profileReads == 0 && system.rendererProbes == 0 && system.lockTries == 0,
                   "a preview neither loads the settings, looks for the renderer nor locks");
        const bool paneGiven = FromCharacter(line, 3).find_first_not_of(" \t") != std::string::npos;
        if (paneGiven && !(system.bits & kPaneExists)) {
            FuzzExpect(ended && !preview.Loaded(), "a preview of a missing pane ends");
        } else {
            FuzzExpect(!ended && preview.Visible(), "a preview shows in its pane");
            FuzzExpect(system.parent == ExpectedParent(line), "the pane is the number given");
        }
    } else {
        FuzzExpect(system.profileReads == 3 && system.rendererProbes == 1,
                   "every other mode loads the settings and looks for the renderer");
        const bool runs = mode == "S" || line.empty();
        if (!(system.bits & kRendererPresent)) {
            FuzzExpect(ended && system.messages == 1, "a missing renderer is told, then ends");
        } else if ((mode == "C" || runs) && !lockFree) {
            FuzzExpect(ended && system.nextWindow == 0x100 && system.lockTries == 1,
                       "a host on its way up holding the lock ends the next before its window");
        } else if (mode == "C") {
            FuzzExpect(ended && system.nextWindow == 0x101, "settings show the dialog, then end");
        } else if (runs) {
            FuzzExpect(!ended && run.Loaded() && !run.Visible(), "a run loads its form hidden");
        } else {
            FuzzExpect(ended && system.nextWindow == 0x100 && system.lockTries == 0,
                       "any other switch ends silently");
        }
    }
    return 0;
}
