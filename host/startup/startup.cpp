#include "host/startup/startup.h"

#include "host/runtime/conversions.h"

namespace {

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Byte offset of the character with the given 0-based index, or the text's size.
std::size_t OffsetOfCharacter(const std::string& text, std::size_t index) {
    std::size_t offset = 0;
    for (std::size_t seen = 0; offset < text.size(); ++offset) {
        if (IsUtf8Continuation(text[offset])) continue;
        if (seen++ == index) return offset;
    }
    return text.size();
}

// The number of twips of a pixel distance as a 16-bit value; a size that does not fit stays 0.
// The distance is taken in 64 bits: the edges of a window's rectangle may lie far apart.
int16_t TwipsOf(int64_t pixels, double twipsPerPixel) {
    return RoundToInt16(twipsPerPixel * pixels).value_or(0);
}

bool IsBlankText(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

void ShowPreview(StartupModule& module, const StartupServices& services, StartupForms& forms,
                 const std::string& commandLine) {
    const WindowHandle parent = PreviewParentHandle(commandLine);
    PixelRect paneRect;
    module.ApiResult = services.windows.GetWindowRect(parent, paneRect) ? 1 : 0;
    // A pane that does not exist would leave a hidden preview nobody ever closes.
    const bool paneGiven = !IsBlankText(commandLine.substr(OffsetOfCharacter(commandLine, 3)));
    if (paneGiven && module.ApiResult == 0) {
        services.program.EndProgram();
        return;
    }
    const int16_t width =
        TwipsOf(int64_t{paneRect.right} - paneRect.left, services.screen.TwipsPerPixelX());
    const int16_t height =
        TwipsOf(int64_t{paneRect.bottom} - paneRect.top, services.screen.TwipsPerPixelY());

    Form& preview = forms.preview;
    preview.Load();
    const WindowHandle window = preview.Handle();
    module.ApiResult = static_cast<int32_t>(services.windows.EmbedInto(window, parent));
    preview.Move(0, 0, width, height);
    if (forms.placePreviewPicture) forms.placePreviewPicture(0, 0, width, height);
    preview.Show();
}

}  // namespace

std::string ModeSwitch(const std::string& commandLine) {
    const std::size_t begin = OffsetOfCharacter(commandLine, 1);
    const std::size_t end = OffsetOfCharacter(commandLine, 2);
    std::string letter = commandLine.substr(begin, end - begin);
    if (letter.size() == 1 && letter[0] >= 'a' && letter[0] <= 'z') {
        letter[0] = static_cast<char>(letter[0] - 'a' + 'A');
    }
    return letter;
}

WindowHandle PreviewParentHandle(const std::string& commandLine) {
    const double number = Val(commandLine.substr(OffsetOfCharacter(commandLine, 3)));
    constexpr double kTwoToThe32 = 4294967296.0;
    auto handle = RoundToInt32(number);
    // Only numbers below 2^32 are the unsigned form of a handle; wider ones are none.
    if (!handle && number > 0 && number < kTwoToThe32) handle = RoundToInt32(number - kTwoToThe32);
    return handle ? static_cast<WindowHandle>(static_cast<uint32_t>(*handle)) : 0;
}

void Main(StartupModule& module, Settings& settings, const StartupServices& services,
          StartupForms& forms) {
    ProgramServices& program = services.program;
    const bool runFormFound = services.lookup.FindByTitle(kRunFormTitle) != 0;
    const bool dialogFound = services.lookup.FindByTitle(kSettingsDialogTitle) != 0;
    if (runFormFound || dialogFound) {
        program.EndProgram();
        return;
    }

    const std::string commandLine = program.CommandLine();
    const std::string modeSwitch = ModeSwitch(commandLine);
    if (modeSwitch == "P") {
        ShowPreview(module, services, forms, commandLine);
        return;
    }

    LoadSettings(settings, services.settingsFile);
    if (!FileExists(services.settingsFile.files, program.RendererPath())) {
        program.ShowMessage(program.RendererMissingMessage(), kApplicationTitle);
        program.EndProgram();
        return;
    }

    if (modeSwitch != "C" && modeSwitch != "S" && !commandLine.empty()) {
        program.EndProgram();
        return;
    }
    // Hosts started together may all have found no window above: one goes on.
    if (!services.instanceLock.Acquire()) {
        program.EndProgram();
        return;
    }
    if (modeSwitch == "C") {
        forms.settings.ShowModal();
        program.EndProgram();
        return;
    }
    if (modeSwitch == "S") module.CursorCount = services.cursor.ShowCursor(0);
    forms.run.Load();
}
