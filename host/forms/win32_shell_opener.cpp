// Addresses opened through the shell's "open" verb.

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "host/forms/win32_forms_ui.h"
#include "host/runtime/win32_services.h"

void Win32ShellOpener::Open(WindowHandle owner, const std::string& target) {
    ShellExecuteA(reinterpret_cast<HWND>(owner), "open", AnsiFromUtf8(target).c_str(), "", "",
                  SW_SHOWNORMAL);
}
