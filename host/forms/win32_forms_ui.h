#pragma once
// The Win32 services of the settings dialog and the preview window. Free of system headers; the
// state lives in the win32_*.cpp files.

#include "host/forms/forms_ui.h"

class Win32FileChooser : public FileChooser {
  public:
    std::optional<std::string> ChooseFile(WindowHandle owner,
                                          const FileOpenRequest& request) override;
};

class Win32ShellOpener : public ShellOpener {
  public:
    void Open(WindowHandle owner, const std::string& target) override;
};

class Win32CloseRequests : public CloseRequests {
  public:
    int32_t PostClose(WindowHandle target) override;
};
