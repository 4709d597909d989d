#pragma once
// The GTK services of the settings dialog and the preview window. Free of system headers; the
// state lives in the gtk_*.cpp files.

#include "host/forms/forms_ui.h"

// The desktop's own file chooser.
class DesktopFileChooser : public FileChooser {
  public:
    std::optional<std::string> ChooseFile(WindowHandle owner,
                                          const FileOpenRequest& request) override;
};

// Addresses opened by the desktop's default handler.
class DesktopShellOpener : public ShellOpener {
  public:
    void Open(WindowHandle owner, const std::string& target) override;
};

// A close request is the window manager's: WM_DELETE_WINDOW sent to the window.
class X11CloseRequests : public CloseRequests {
  public:
    int32_t PostClose(WindowHandle target) override;
};
