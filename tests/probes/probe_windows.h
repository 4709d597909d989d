// Window handles as the probes print and read them: hexadecimal (or decimal) numbers as wide as
// the build's pointers, so that a 64-bit probe neither cuts nor widens them.
#pragma once

#include <windows.h>

#include <cstdlib>

inline HWND ParseWindow(const char* text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text, nullptr, 0)));
}

inline unsigned long long WindowNumber(HWND window) {
    return reinterpret_cast<UINT_PTR>(window);
}
