#pragma once
// The settings dialog Lumen_Ribbon_P apart from the window system: what its
// event procedures decide and in which order they call the window, the
// settings file, the zoom effect, the file chooser and the shell.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/forms/background_gradient.h"
#include "host/forms/command_buttons.h"
#include "host/runtime/cursor.h"
#include "host/runtime/form.h"
#include "host/runtime/native_windows.h"
#include "host/runtime/screen.h"
#include "host/startup/settings.h"
#include "host/startup/startup.h"

// Music kinds: the stored BgmKind is the index of the chosen Img_BGM / lbl_BGM.
constexpr int kKindCd = 1;
constexpr int kKindFile = 2;
constexpr int kKindCount = 3;

// Entries of the track list: "" and 1 to 30.
constexpr int kTrackListEntries = 31;

// One entry of the file-open dialog's list of file types: its name and the patterns of the
// files it shows ("*.MP3").
struct FileType {
    std::string name;
    std::vector<std::string> patterns;
};

// What the file-open dialog asks for. Texts are UTF-8.
struct FileOpenRequest {
    std::string title;
    std::vector<FileType> types;  // the first one is chosen at the start
    std::string initialFolder;    // "" leaves the folder to the system
};

// The request with which Cmd_BGM asks for a music file.
FileOpenRequest MusicFileRequest();

class FileChooser {
  public:
    virtual ~FileChooser() = default;
    // Shows the file-open dialog owned by owner. The full path of the chosen file (UTF-8),
    // std::nullopt when the dialog was cancelled or failed.
    virtual std::optional<std::string> ChooseFile(WindowHandle owner,
                                                  const FileOpenRequest& request) = 0;
};

class ShellOpener {
  public:
    virtual ~ShellOpener() = default;
    // Opens the address (UTF-8) with the program the user's system has for it.
    // The result is of no interest: a failure goes unnoticed.
    virtual void Open(WindowHandle owner, const std::string& target) = 0;
};

// The dialog's form and controls as its code drives them. Sizes and positions
// are twips.
class SettingsDialogView {
  public:
    virtual ~SettingsDialogView() = default;
    virtual WindowHandle Handle() const = 0;
    // Outer size of the dialog window.
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void MoveTo(double left, double top) = 0;  // keeps the size
    // Client height of the dialog or of the panel Pic_C(0).
    virtual double ScaleHeight(GradientSurface surface) const = 0;
    // Paints the lines across the surface's full width; the picture has to stay
    // visible on every later repaint.
    virtual void PaintBackground(GradientSurface surface,
                                 const std::vector<GradientLine>& lines) = 0;
    // All controls of the form, in the form's order.
    virtual std::vector<FormControl*> Controls() = 0;
    virtual void Unload() = 0;

    virtual void SetRepeatEnabled(bool enabled) = 0;      // BGM_Repeat
    virtual void SetFileButtonEnabled(bool enabled) = 0;  // Cmd_BGM.Enabled
    // Img_BGM(kind) shows the picture of Img_Ra(1) when chosen, else of Img_Ra(0).
    virtual void ShowMark(int kind, bool chosen) = 0;
    virtual std::string RepeatText() const = 0;
    virtual void SetRepeatText(const std::string& text) = 0;
    virtual void AddRepeatEntry(const std::string& text) = 0;
    virtual void SetFileLabel(const std::string& text) = 0;  // lbl_Fname
};

// Shown when the settings could not be written; the dialog stays open.
inline constexpr char kSettingsNotSavedMessage[] = "設定を Lumen_Ribbon.ini に書き込めません！";

// Shown when the chosen music file's name cannot be stored in the settings file, not even in
// its short form; the choice stays as it was.
inline constexpr char kMusicFileNameMessage[] =
    "ﾌｧｲﾙ名に使えない文字があるため、このﾌｧｲﾙは使えません！";

// Shown when the chosen music file's path is longer than the settings file gives back whole; the
// choice stays as it was.
inline constexpr char kMusicFilePathTooLongMessage[] =
    "ﾌｧｲﾙのﾊﾟｽが長すぎて Lumen_Ribbon.ini に書き込めません！";

struct SettingsDialogServices {
    ProgramServices& program;
    ScreenServices& screen;
    CursorService& cursor;
    NativeWindows& windows;
    const SettingsFileAccess& settingsFile;
    FileChooser& files;
    ShellOpener& shell;
};

// Left and top that centre the dialog horizontally and put its top edge a third
// of the free height down. Each free length is rounded to a whole twip first and
// then divided with truncation toward zero; std::nullopt when it does not fit 32 bits.
struct TwipsPoint {
    int32_t left = 0;
    int32_t top = 0;
};
std::optional<TwipsPoint> DialogPosition(double screenWidth, double screenHeight,
                                         double dialogWidth, double dialogHeight);

// The track box's value on set: the text's number rounded to the nearest
// integer (halves to even). A text that is not a number, and a number that
// does not fit 16 bits, give 0.
int16_t TrackFromText(const std::string& text);

class SettingsDialog {
  public:
    SettingsDialog(Settings& settings, StartupModule& module,
                   const SettingsDialogServices& services, SettingsDialogView& view);

    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    // MouseDown of Img_BGM(index) and of lbl_BGM(index), whichever mouse button.
    void ChooseKind(int index);
    void Cmd_BGM_Click();
    void Cmd_Set_Click();
    void Cmd_Can_Click();
    void Cmd_Etc_Click();

  private:
    // Enabled states and marks for a kind; a kind outside 0..2 marks nothing.
    void ShowKind(int kind);
    bool KeepsStoredChoice(const std::string& path) const;

    Settings& settings_;
    StartupModule& module_;
    SettingsDialogServices services_;
    SettingsDialogView& view_;
    int16_t openedKind_ = 0;  // the choice as the dialog opened with it
    std::string openedFile_;
};

// The form handlers that run the dialog's load, resize and unload procedures.
FormEvents SettingsDialogEvents(SettingsDialog& dialog);
