#include <windows.h>

#include <string>

#include "host/runtime/win32_services.h"

namespace {

std::wstring WideFrom(const std::string& text, UINT codePage) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string NarrowFrom(const std::wstring& wide, UINT codePage) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

}  // namespace

std::string AnsiFromUtf8(const std::string& utf8) {
    return NarrowFrom(WideFrom(utf8, CP_UTF8), CP_ACP);
}

std::string Utf8FromAnsi(const std::string& ansi) {
    return NarrowFrom(WideFrom(ansi, CP_ACP), CP_UTF8);
}

bool AnsiCanStore(const std::string& utf8) {
    if (GetACP() == CP_UTF8) return true;
    const std::wstring wide = WideFrom(utf8, CP_UTF8);
    if (wide.empty()) return true;
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        nullptr, 0, nullptr, &usedDefault);
    return !usedDefault;
}

std::wstring WideFromUtf8(const std::string& utf8) {
    return WideFrom(utf8, CP_UTF8);
}

std::string Utf8FromWide(const std::wstring& wide) {
    return NarrowFrom(wide, CP_UTF8);
}
