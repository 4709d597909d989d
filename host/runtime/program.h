// Program-wide services of the host's runtime: command line, folder, title, message box, end.
#pragma once

#include <string>

// The application title, used as the caption of the host's message box.
inline constexpr char kApplicationTitle[] = "Lumen_Ribbon (Screen Saver)";

class ProgramServices {
  public:
    virtual ~ProgramServices() = default;
    // The arguments the program was started with: the command line after the program's own
    // name and the blanks that follow it.
    virtual std::string CommandLine() const = 0;
    // Full path of the settings file (UTF-8).
    virtual std::string SettingsFile() const = 0;
    // Full path of the renderer program the run starts (UTF-8).
    virtual std::string RendererPath() const = 0;
    // The message shown when the renderer is not where RendererPath() says.
    virtual std::string RendererMissingMessage() const = 0;
    // A message box with an OK button and no icon; returns once it has been closed.
    virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
    // Ends the program at once: every form closes without further events and every timer stops.
    // A real platform does not return from here; callers return straight after the call.
    virtual void EndProgram() = 0;
};

// On Windows the settings file and the renderer sit beside the host program.
inline constexpr char kWindowsRendererMissingMessage[] =
    "Lumen_Ribbon.dll が Lumen_Ribbon.scr と同じﾌｫﾙﾀﾞに見つかりません！";
// The host folder followed directly by "\\Lumen_Ribbon.ini" or "\\Lumen_Ribbon.dll".
std::string WindowsSettingsFile(const std::string& hostFolder);
std::string WindowsRendererPath(const std::string& hostFolder);

// The arguments part of a full command line: the program name (quoted or not) and the blanks
// after it are skipped.
std::string ArgumentsOfCommandLine(const std::string& fullCommandLine);

// The folder part of the program's full path: no trailing backslash, except that a drive root
// keeps its own ("C:\"). UNC roots ("\\server\share") stay without one.
std::string FolderOfProgramPath(const std::string& programPath);
