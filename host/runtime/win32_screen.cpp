// The screen as the forms measure it, in twips at the system's logical resolution.
#include <windows.h>

#include "host/runtime/win32_services.h"

double Win32Screen::TwipsPerPixelX() const {
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return TwipsPerPixelAt(dotsPerInch);
}

double Win32Screen::TwipsPerPixelY() const {
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return TwipsPerPixelAt(dotsPerInch);
}

double Win32Screen::Width() const {
    return GetSystemMetrics(SM_CXSCREEN) * TwipsPerPixelX();
}

double Win32Screen::Height() const {
    return GetSystemMetrics(SM_CYSCREEN) * TwipsPerPixelY();
}

void Win32Screen::SetMousePointer(MousePointer pointer) {
    pointer_ = pointer;
    SetCursor(LoadCursor(nullptr, pointer == MousePointer::Hourglass ? IDC_WAIT : IDC_ARROW));
}
