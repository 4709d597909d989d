// A small Win32 console program that the host's end-to-end tests run beside the
// deliverables: it reads message boxes, holds windows with given titles open,
// and reads the cursor display count of another program's window thread. One
// command per run; results are printed as key=value lines, texts in UTF-8.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/probes/probe_windows.h"

namespace {

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length,
                        nullptr, nullptr);
    return text;
}

std::wstring Wide(const char* utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, &text[0], length + 1);
    text.resize(wcslen(text.c_str()));
    return text;
}

struct BoxSearch {
    HWND box = nullptr;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM param) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    reinterpret_cast<BoxSearch*>(param)->box = window;
    return FALSE;
}

struct ButtonList {
    std::vector<std::wstring> texts;
};

BOOL CALLBACK CollectButtons(HWND child, LPARAM param) {
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    if (_wcsicmp(className, L"Button") == 0 && IsWindowVisible(child)) {
        reinterpret_cast<ButtonList*>(param)->texts.push_back(WindowText(child));
    }
    return TRUE;
}

// msgbox TIMEOUT_MS: waits for a visible dialog-class window and prints its caption, its
// message text (the static control 0xFFFF), whether it shows an icon (control 20), its
// buttons and the id of the process that owns it.
int MessageBoxInfo(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    BoxSearch search;
    for (;;) {
        EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
        if (search.box) break;
        if (GetTickCount() - start > timeoutMs) {
            std::printf("found=0\n");
            return 1;
        }
        Sleep(50);
    }
    HWND box = search.box;
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    HWND icon = GetDlgItem(box, 20);
    ButtonList buttons;
    EnumChildWindows(box, CollectButtons, reinterpret_cast<LPARAM>(&buttons));
    DWORD pid = 0;
    GetWindowThreadProcessId(box, &pid);
    std::printf("found=1\nhwnd=0x%llx\npid=%lu\n", WindowNumber(box),
                static_cast<unsigned long>(pid));
    std::printf("caption=%s\ntext=%s\n", Utf8(WindowText(box)).c_str(), Utf8(text).c_str());
    std::printf("icon=%d\nbuttons=", (icon && IsWindowVisible(icon)) ? 1 : 0);
    for (size_t i = 0; i < buttons.texts.size(); ++i) {
        std::printf("%s%s", i ? "|" : "", Utf8(buttons.texts[i]).c_str());
    }
    std::printf("\n");
    return 0;
}

// hold TITLE SECONDS [visible]: a top-level window with this title, hidden unless asked,
// kept until the time is up or it is closed. Its messages are pumped all the while.
int Hold(const char* title, DWORD seconds, bool visible) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"HostProbeHold";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"HostProbeHold", Wide(title).c_str(), WS_OVERLAPPEDWINDOW, 0,
                                  0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) {
        std::printf("created=0\n");
        return 1;
    }
    if (visible) ShowWindow(window, SW_SHOWNOACTIVATE);
    std::printf("created=1\nhwnd=0x%llx\n", WindowNumber(window));
    std::fflush(stdout);
    const DWORD end = GetTickCount() + seconds * 1000;
    MSG message;
    while (IsWindow(window)) {
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (IsWindow(window)) DestroyWindow(window);
    return 0;
}

// cursorcount TITLE: the cursor display count of the thread that owns the window with this
// title. The probe shares that thread's input state for a moment, reads the count with a
// show and hide that cancel out, and lets go again.
int CursorCount(const char* title) {
    HWND window = FindWindowW(nullptr, Wide(title).c_str());
    if (!window) {
        std::printf("found=0\n");
        return 1;
    }
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!AttachThreadInput(GetCurrentThreadId(), thread, TRUE)) {
        std::printf("found=1\nattached=0\n");
        return 1;
    }
    const int count = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    std::printf("found=1\nattached=1\ncount=%d\n", count);
    return 0;
}

struct TitleCount {
    std::wstring title;
    int count = 0;
};

BOOL CALLBACK CountTitle(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TitleCount*>(param);
    if (WindowText(window) == search->title) ++search->count;
    return TRUE;
}

// count TITLE: how many top-level windows, visible or not, have exactly this title.
int CountWindows(const char* title) {
    TitleCount search{Wide(title)};
    EnumWindows(CountTitle, reinterpret_cast<LPARAM>(&search));
    std::printf("count=%d\n", search.count);
    return 0;
}

// alive PID: whether the process with this id still runs.
int Alive(DWORD processId) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    const bool running = process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    if (process) CloseHandle(process);
    std::printf("alive=%d\n", running ? 1 : 0);
    return 0;
}

// kill PID: ends the process at once, as a task manager does, and waits until it has gone.
int Kill(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    const bool killed = process && TerminateProcess(process, 1) &&
                        WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    if (process) CloseHandle(process);
    std::printf("killed=%d\n", killed ? 1 : 0);
    return killed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto need = [&args](size_t count) { return args.size() >= count; };
    if (need(2) && args[0] == "msgbox") return MessageBoxInfo(std::strtoul(argv[2], nullptr, 0));
    if (need(3) && args[0] == "hold") {
        return Hold(argv[2], std::strtoul(argv[3], nullptr, 0), need(4) && args[3] == "visible");
    }
    if (need(2) && args[0] == "cursorcount") return CursorCount(argv[2]);
    if (need(2) && args[0] == "count") return CountWindows(argv[2]);
    if (need(2) && args[0] == "alive") return Alive(std::strtoul(argv[2], nullptr, 0));
    if (need(2) && args[0] == "kill") return Kill(std::strtoul(argv[2], nullptr, 0));
    std::printf(
        "usage: host_probe msgbox MS | hold TITLE SECONDS [visible] | cursorcount TITLE"
        " | count TITLE | alive PID | kill PID\n");
    return 2;
}
