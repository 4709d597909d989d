#include "host/forms/settings_dialog.h"

#include "host/forms/form_layout.h"
#include "host/runtime/conversions.h"
#include "host/startup/zoom.h"

FileOpenRequest MusicFileRequest() {
    return FileOpenRequest{"ﾌｧｲﾙを開く", {{"BGMﾌｧｲﾙ (MP3 WAV)", {"*.MP3", "*.WAV"}}}, ""};
}

std::optional<TwipsPoint> DialogPosition(double screenWidth, double screenHeight,
                                         double dialogWidth, double dialogHeight) {
    const std::optional<int32_t> freeWidth = RoundToInt32(screenWidth - dialogWidth);
    const std::optional<int32_t> freeHeight = RoundToInt32(screenHeight - dialogHeight);
    if (!freeWidth || !freeHeight) return std::nullopt;
    return TwipsPoint{*freeWidth / 2, *freeHeight / 3};
}

int16_t TrackFromText(const std::string& text) {
    const std::optional<double> number = NumberFromText(text);
    if (!number) return 0;
    return RoundToInt16(*number).value_or(0);
}

SettingsDialog::SettingsDialog(Settings& settings, StartupModule& module,
                               const SettingsDialogServices& services, SettingsDialogView& view)
    : settings_(settings), module_(module), services_(services), view_(view) {}

void SettingsDialog::Form_Load() {
    if (const auto position = DialogPosition(services_.screen.Width(), services_.screen.Height(),
                                             view_.Width(), view_.Height())) {
        view_.MoveTo(services_.screen.Left() + position->left,
                     services_.screen.Top() + position->top);
    }
    SetCommandButtons(view_.Controls(), true, true);
    openedKind_ = settings_.BgmKind;
    openedFile_ = settings_.BgmFile;
    ShowKind(settings_.BgmKind);
    // The text goes in before the list is filled.
    view_.SetRepeatText(FormatHashes(settings_.BgmRepeat));
    for (int track = 0; track < kTrackListEntries; ++track) {
        view_.AddRepeatEntry(FormatHashes(track));
    }
    view_.SetFileLabel(settings_.BgmFile);
    RecordZoomOrigin(module_, services_.cursor);
    WindowZoomOpen(module_, services_.windows, view_.Handle());
    services_.screen.SetMousePointer(MousePointer::Default);
}

void SettingsDialog::Form_Resize() {
    for (GradientSurface surface : {GradientSurface::Dialog, GradientSurface::Panel}) {
        view_.PaintBackground(surface, GradientLines(surface, view_.ScaleHeight(surface)));
    }
}

void SettingsDialog::Form_Unload() {
    WindowZoomClose(module_, services_.windows, view_.Handle());
}

void SettingsDialog::ChooseKind(int index) {
    if (index < 0 || index >= kKindCount) return;
    settings_.BgmKind = static_cast<int16_t>(index);
    ShowKind(index);
}

void SettingsDialog::ShowKind(int kind) {
    view_.SetFileButtonEnabled(false);
    view_.SetRepeatEnabled(false);
    for (int index = 0; index < kKindCount; ++index) view_.ShowMark(index, false);
    if (kind < 0 || kind >= kKindCount) return;
    view_.ShowMark(kind, true);
    if (kind == kKindCd) view_.SetRepeatEnabled(true);
    if (kind == kKindFile) view_.SetFileButtonEnabled(true);
}

void SettingsDialog::Cmd_BGM_Click() {
    const std::optional<std::string> chosen =
        services_.files.ChooseFile(view_.Handle(), MusicFileRequest());
    if (!chosen) return;
    // The settings file and the music calls hold the path in the system's code page.
    const SettingsFileAccess& access = services_.settingsFile;
    const std::optional<std::string> storable =
        StorablePath(access.codePage, access.files, *chosen);
    if (!storable) {
        services_.program.ShowMessage(kMusicFileNameMessage, kApplicationTitle);
        return;
    }
    // Stored, a longer path would come back cut: the run would find no file to play.
    if (!IniKeepsWhole(access.codePage, *storable)) {
        services_.program.ShowMessage(kMusicFilePathTooLongMessage, kApplicationTitle);
        return;
    }
    settings_.BgmFile = *storable;
    view_.SetFileLabel(settings_.BgmFile);
}

// Loading turns a stored file that cannot be opened into no file. When the user leaves the
// choice as the dialog opened with it, the stored kind and file stay as they are: the file may
// be back next time (a network share, a removable disk).
bool SettingsDialog::KeepsStoredChoice(const std::string& path) const {
    if (settings_.BgmKind != openedKind_ || settings_.BgmFile != openedFile_) return false;
    return settings_.BgmFile.empty() &&
           !IniRead(services_.settingsFile, kSettingsSection, kKeyBgmFile, path).empty();
}

void SettingsDialog::Cmd_Set_Click() {
    const SettingsFileAccess& file = services_.settingsFile;
    const std::string path = SettingsFileName(file.program);
    const bool keepChoice = KeepsStoredChoice(path);
    bool saved = true;
    const auto write = [&](const char* key, const std::string& value) {
        module_.ApiResult = IniWrite(file, kSettingsSection, key, value, path);
        saved = saved && module_.ApiResult != 0;
    };
    if (!keepChoice) write(kKeyBgmKind, NumberText(settings_.BgmKind));
    settings_.BgmRepeat = TrackFromText(view_.RepeatText());
    write(kKeyBgmRepeat, NumberText(settings_.BgmRepeat));
    if (!keepChoice) write(kKeyBgmFile, settings_.BgmFile);
    if (!saved) {
        services_.program.ShowMessage(kSettingsNotSavedMessage, kApplicationTitle);
        return;
    }
    view_.Unload();
}

void SettingsDialog::Cmd_Can_Click() {
    view_.Unload();
}

void SettingsDialog::Cmd_Etc_Click() {
    services_.screen.SetMousePointer(MousePointer::Hourglass);
    services_.shell.Open(view_.Handle(), kOtherWorksAddress);
    services_.screen.SetMousePointer(MousePointer::Default);
}

FormEvents SettingsDialogEvents(SettingsDialog& dialog) {
    FormEvents events;
    events.load = [&dialog] { dialog.Form_Load(); };
    events.resize = [&dialog] { dialog.Form_Resize(); };
    events.unload = [&dialog](bool&) { dialog.Form_Unload(); };
    return events;
}
