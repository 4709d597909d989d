// Addresses opened by the desktop's default handler.

#include <gio/gio.h>

#include "host/forms/gtk_forms_ui.h"

void DesktopShellOpener::Open(WindowHandle, const std::string& target) {
    g_app_info_launch_default_for_uri(target.c_str(), nullptr, nullptr);
}
