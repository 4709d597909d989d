#include "host/runtime/win32_window_class.h"

ATOM RegisterWindowClass(const char* name, WNDPROC procedure, UINT style) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // GetClassInfoEx answers with the atom of a class registered before.
    if (const BOOL atom = GetClassInfoExA(instance, name, &windowClass)) {
        return static_cast<ATOM>(atom);
    }
    windowClass = WNDCLASSEXA{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    return RegisterClassExA(&windowClass);
}
