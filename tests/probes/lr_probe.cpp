// A small Win32 console program that the end-to-end tests run beside the
// deliverables to look at and poke the Windows side: windows, keys, messages,
// the screen, the cursor and the display mode. One command per run; results
// are printed as key=value lines.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/probes/probe_windows.h"

namespace {

const char* OrNull(const char* text) {
    return std::strcmp(text, "-") == 0 ? nullptr : text;
}

void PrintWindow(HWND window) {
    RECT rect{};
    RECT client{};
    GetWindowRect(window, &rect);
    GetClientRect(window, &client);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[256] = {};
    GetClassNameA(window, className, sizeof className);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    std::printf("hwnd=0x%llx\npid=%lu\nclass=%s\ntitle=%s\nstyle=0x%08lx\nexstyle=0x%08lx\n",
                WindowNumber(window), static_cast<unsigned long>(pid), className, title,
                static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
    std::printf("rect=%ld,%ld,%ld,%ld\nclient=%ld,%ld\nvisible=%d\nparent=0x%llx\n", rect.left,
                rect.top, rect.right, rect.bottom, client.right, client.bottom,
                IsWindowVisible(window) ? 1 : 0, WindowNumber(GetParent(window)));
}

// find TITLE CLASS: one top-level window by title and class ("-" for any).
int Find(const char* title, const char* className) {
    HWND window = FindWindowA(OrNull(className), OrNull(title));
    if (window == nullptr) {
        std::printf("found=0\n");
        return 1;
    }
    std::printf("found=1\n");
    PrintWindow(window);
    return 0;
}

// wait TITLE CLASS TIMEOUT_MS [gone]: until the window exists (or is gone).
int Wait(const char* title, const char* className, DWORD timeoutMs, bool untilGone) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA(OrNull(className), OrNull(title));
        if ((window != nullptr) != untilGone) {
            std::printf("waited_ms=%lu\n", static_cast<unsigned long>(GetTickCount() - start));
            if (window != nullptr) PrintWindow(window);
            return 0;
        }
        if (GetTickCount() - start > timeoutMs) {
            std::printf("timeout=1\n");
            return 1;
        }
        Sleep(20);
    }
}

// key HWND VK HOLD_MS [PID...]: a key held down across several frames, then released. With
// process ids, also waits up to 15 s for those processes to end and prints ended_ms_N, the time
// from the key going down to the Nth process gone, and ended_ms for the last of them (-1 for one
// that did not end).
int Key(HWND window, WPARAM key, DWORD holdMs, const std::vector<DWORD>& watchedIds) {
    std::vector<HANDLE> watched;
    for (DWORD id : watchedIds) watched.push_back(OpenProcess(SYNCHRONIZE, FALSE, id));
    std::vector<long> endedMs(watched.size(), -1);
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), 0);
    PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
    const DWORD down = GetTickCount();
    bool released = false;
    for (;;) {
        const DWORD now = GetTickCount() - down;
        if (!released && now >= holdMs) {
            PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
            released = true;
        }
        bool waiting = false;
        for (size_t i = 0; i < watched.size(); ++i) {
            if (endedMs[i] >= 0 || !watched[i]) continue;
            if (WaitForSingleObject(watched[i], 0) == WAIT_OBJECT_0) {
                endedMs[i] = static_cast<long>(now);
            } else {
                waiting = true;
            }
        }
        if ((released && !waiting) || now > 15000) break;
        Sleep(1);
    }
    long last = watched.empty() ? -1 : 0;
    for (size_t i = 0; i < watched.size(); ++i) {
        std::printf("ended_ms_%u=%ld\n", static_cast<unsigned>(i), endedMs[i]);
        last = (endedMs[i] < 0 || last < 0) ? -1 : std::max(last, endedMs[i]);
        if (watched[i]) CloseHandle(watched[i]);
    }
    if (!watched.empty()) std::printf("ended_ms=%ld\n", last);
    return 0;
}

int Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PostMessageA(window, message, wParam, lParam) ? 0 : 1;
}

// screenshot FILE: the whole screen as a 24-bit bottom-up BMP.
int Screenshot(const char* path) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    FILE* out = std::fopen(path, "wb");
    int result = 1;
    if (out != nullptr) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof(BITMAPINFOHEADER), 1, out);
        std::fwrite(bits, 1, imageBytes, out);
        std::fclose(out);
        result = 0;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::printf("screen=%d,%d\n", width, height);
    return result;
}

int Cursor() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    std::printf("showing=%d\n", (info.flags & CURSOR_SHOWING) ? 1 : 0);
    return 0;
}

int DisplayMode() {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    std::printf("mode=%lu,%lu,%lu\n", static_cast<unsigned long>(mode.dmPelsWidth),
                static_cast<unsigned long>(mode.dmPelsHeight),
                static_cast<unsigned long>(mode.dmBitsPerPel));
    return 0;
}

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM count) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    const RECT& r = info.rcMonitor;
    std::printf("monitor_%d=%ld,%ld,%ld,%ld\n", (*reinterpret_cast<int*>(count))++, r.left, r.top,
                r.right, r.bottom);
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        std::printf("primary=%ld,%ld,%ld,%ld\n", r.left, r.top, r.right, r.bottom);
    return TRUE;
}

// monitors: the desktop's monitors as the system enumerates them.
int Monitors() {
    int count = 0;
    EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, reinterpret_cast<LPARAM>(&count));
    std::printf("count=%d\nsystem_count=%d\n", count, GetSystemMetrics(SM_CMONITORS));
    return 0;
}

struct ClassQuery {
    const char* className;
    int count;
};

BOOL CALLBACK PrintIfOfClass(HWND window, LPARAM query) {
    auto* wanted = reinterpret_cast<ClassQuery*>(query);
    char className[256] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, wanted->className) != 0 || !IsWindowVisible(window)) return TRUE;
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("window_%d=0x%llx,%ld,%ld,%ld,%ld,0x%08lx\n", wanted->count++, WindowNumber(window),
                r.left, r.top, r.right, r.bottom,
                static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
    return TRUE;
}

// windows CLASS: the visible top-level windows of a class, with their rectangles.
int Windows(const char* className) {
    ClassQuery query{className, 0};
    EnumWindows(PrintIfOfClass, reinterpret_cast<LPARAM>(&query));
    char title[256] = {};
    HWND foreground = GetForegroundWindow();
    GetWindowTextA(foreground, title, sizeof title);
    std::printf("count=%d\nforeground=0x%llx\nforeground_title=%s\n", query.count,
                WindowNumber(foreground), title);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto need = [&](size_t count) { return args.size() >= count; };
    if (need(3) && args[0] == "find") return Find(argv[2], argv[3]);
    if (need(4) && args[0] == "wait") {
        return Wait(argv[2], argv[3], std::strtoul(argv[4], nullptr, 0),
                    need(5) && args[4] == "gone");
    }
    if (need(4) && args[0] == "key") {
        std::vector<DWORD> watched;
        for (size_t i = 4; i < args.size(); ++i)
            watched.push_back(std::strtoul(argv[i + 1], nullptr, 0));
        return Key(ParseWindow(argv[2]), std::strtoul(argv[3], nullptr, 0),
                   std::strtoul(argv[4], nullptr, 0), watched);
    }
    if (need(5) && args[0] == "post") {
        return Post(ParseWindow(argv[2]), std::strtoul(argv[3], nullptr, 0),
                    std::strtoul(argv[4], nullptr, 0), std::strtol(argv[5], nullptr, 0));
    }
    if (need(2) && args[0] == "screenshot") return Screenshot(argv[2]);
    if (need(1) && args[0] == "cursor") return Cursor();
    if (need(1) && args[0] == "displaymode") return DisplayMode();
    if (need(1) && args[0] == "monitors") return Monitors();
    if (need(2) && args[0] == "windows") return Windows(argv[2]);
    std::fprintf(
        stderr,
        "usage: lr_probe find|wait|key|post|screenshot|cursor|displaymode|monitors|windows "
        "...\n");
    return 2;
}
