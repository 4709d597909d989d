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
    // The folder of the host program, without a trailing separator except at a drive root.
    virtual std::string HostFolder() const = 0;
    // A message box with an OK button and no icon; returns once it has been closed.
    virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
    // Ends the program at once: every form closes without further events and every timer stops.
    // A real platform does not return from here; callers return straight after the call.
    virtual void EndProgram() = 0;
};

// The arguments part of a full command line: the program name (quoted or not) and the blanks
// after it are skipped.
std::string ArgumentsOfCommandLine(const std::string& fullCommandLine);

// The folder part of the program's full path: no trailing backslash, except that a drive root
// keeps its own ("C:\"). UNC roots ("\\server\share") stay without one.
std::string FolderOfProgramPath(const std::string& programPath);
