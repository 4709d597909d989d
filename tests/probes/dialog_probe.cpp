// A Win32 console program that the end-to-end tests use to drive the host's settings dialog and
// preview window: list a window's controls, click them, fill the open-file dialog, and make a
// parent window for the preview. One command per run; results are printed as key=value lines.
// Texts cross the command line and the output as hexadecimal UTF-8, so that no code page is
// involved.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/probes/probe_windows.h"

namespace {

std::string HexOf(const std::wstring& wide) {
    std::string utf8;
    if (!wide.empty()) {
        const int length = WideCharToMultiByte(
            CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
        utf8.resize(static_cast<size_t>(length));
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0],
                            length, nullptr, nullptr);
    }
    std::string hex;
    char pair[3];
    for (unsigned char c : utf8) {
        std::snprintf(pair, sizeof pair, "%02x", c);
        hex += pair;
    }
    return hex;
}

std::wstring WideFromHex(const char* hex) {
    std::string utf8;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        const char pair[3] = {hex[i], hex[i + 1], '\0'};
        utf8 += static_cast<char>(std::strtoul(pair, nullptr, 16));
    }
    if (utf8.empty()) return std::wstring();
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

// The text of a window of another process, asked for with WM_GETTEXT.
std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, &copied);
    return std::wstring(text);
}

struct ControlList {
    HWND root;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM list) {
    reinterpret_cast<ControlList*>(list)->windows.push_back(window);
    return TRUE;
}

// controls HWND: every descendant window of HWND with its class, id, rectangle in HWND's client
// coordinates, enabled and visible flags, list count (combo boxes, else -1), style and text.
int Controls(HWND root) {
    ControlList list{root, {}};
    EnumChildWindows(root, CollectChild, reinterpret_cast<LPARAM>(&list));
    std::printf("count=%u\n", static_cast<unsigned>(list.windows.size()));
    for (size_t i = 0; i < list.windows.size(); ++i) {
        HWND window = list.windows[i];
        char className[128] = {};
        GetClassNameA(window, className, sizeof className);
        RECT rect{};
        GetWindowRect(window, &rect);
        MapWindowPoints(nullptr, root, reinterpret_cast<POINT*>(&rect), 2);
        long items = -1;
        if (lstrcmpiA(className, "ComboBox") == 0) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutA(window, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) {
                items = static_cast<long>(result);
            }
        }
        std::printf("c%u=0x%llx|%s|%ld|%ld|%ld|%ld|%ld|%d|%d|%ld|0x%08lx|%s\n",
                    static_cast<unsigned>(i), WindowNumber(window), className,
                    static_cast<long>(GetWindowLongA(window, GWL_ID)), rect.left, rect.top,
                    rect.right, rect.bottom, IsWindowEnabled(window) ? 1 : 0,
                    IsWindowVisible(window) ? 1 : 0, items,
                    static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
                    HexOf(TextOf(window)).c_str());
    }
    return 0;
}

// click HWND X Y BUTTON: the pointer moved to a client point, then a press and release of
// left, right or middle there.
int Click(HWND window, int x, int y, const char* button) {
    UINT down = WM_LBUTTONDOWN;
    UINT up = WM_LBUTTONUP;
    WPARAM held = MK_LBUTTON;
    if (std::strcmp(button, "right") == 0) {
        down = WM_RBUTTONDOWN;
        up = WM_RBUTTONUP;
        held = MK_RBUTTON;
    } else if (std::strcmp(button, "middle") == 0) {
        down = WM_MBUTTONDOWN;
        up = WM_MBUTTONUP;
        held = MK_MBUTTON;
    }
    // The pointer goes there too: controls that poll what lies under it see it over them.
    POINT screen{x, y};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    Sleep(300);
    POINT now{};
    GetCursorPos(&now);
    std::printf("cursor=%ld,%ld\nunder=0x%llx\n", now.x, now.y, WindowNumber(WindowFromPoint(now)));
    const LPARAM point = MAKELPARAM(x, y);
    if (!PostMessageA(window, WM_MOUSEMOVE, 0, point)) return 1;
    PostMessageA(window, down, held, point);
    Sleep(100);
    PostMessageA(window, up, 0, point);
    return 0;
}

// settext HWND TEXT: replaces a control's text.
int SetText(HWND window, const char* hex) {
    const std::wstring text = WideFromHex(hex);
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, 2000, &result)
               ? 0
               : 1;
}

// The deepest window with that id: the edit inside a combo box rather than the box.
HWND FindDescendant(HWND root, int id) {
    ControlList list{root, {}};
    EnumChildWindows(root, CollectChild, reinterpret_cast<LPARAM>(&list));
    HWND found = nullptr;
    for (HWND window : list.windows) {
        if (GetWindowLongA(window, GWL_ID) == id) found = window;
    }
    return found;
}

// filedialog TITLE TIMEOUT_MS ok|cancel|wait [PATH]: waits for the open-file dialog with that
// title, then types PATH into its file-name field and presses OK, presses Cancel, or
// leaves it alone.
int FileDialog(const char* titleHex, DWORD timeoutMs, const char* answer, const char* pathHex) {
    const std::wstring title = WideFromHex(titleHex);
    const DWORD start = GetTickCount();
    HWND dialog = nullptr;
    while (!(dialog = FindWindowW(nullptr, title.c_str()))) {
        if (GetTickCount() - start > timeoutMs) {
            std::printf("timeout=1\n");
            return 1;
        }
        Sleep(100);
    }
    std::printf("hwnd=0x%llx\n", WindowNumber(dialog));
    // The dialog fills its controls after it appears.
    Sleep(500);
    if (std::strcmp(answer, "ok") == 0) {
        // The old-style dialog's file-name edit is 0x480; the Explorer-style dialog's is a
        // combo box 0x47C whose edit carries the same id.
        HWND name = FindDescendant(dialog, 0x480);
        if (!name) name = FindDescendant(dialog, 0x47C);
        if (!name) {
            std::printf("field=0\n");
            return 1;
        }
        if (SetText(name, pathHex) != 0) return 1;
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    } else if (std::strcmp(answer, "cancel") == 0) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    }
    return 0;
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// parent FILE X Y WIDTH HEIGHT: a white top-level window standing in for a preview pane. Its
// handle goes to FILE in decimal; the program runs until the window is destroyed (WM_CLOSE).
int Parent(const char* path, int x, int y, int width, int height) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "PreviewPane";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(0, "PreviewPane", "Preview Pane", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                        x, y, width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 1;
    FILE* out = std::fopen(path, "w");
    if (!out) return 1;
    // In decimal, cut to the handle's 32 bits, as the system's settings pass it after "/p".
    std::fprintf(out, "%lu\n", HandleToULong(window));
    std::fclose(out);
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// type HWND TEXT: gives HWND the keyboard focus and types TEXT on the keyboard, key by key, as
// the system's input queue delivers real key presses.
int Type(HWND window, const char* hex) {
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    SetFocus(window);
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    Sleep(200);
    for (wchar_t c : WideFromHex(hex)) {
        const SHORT key = VkKeyScanW(c);
        if (key == -1) return 1;
        const bool shift = (key >> 8) & 1;
        INPUT input[4] = {};
        int count = 0;
        const auto press = [&](WORD vk, bool up) {
            input[count].type = INPUT_KEYBOARD;
            input[count].ki.wVk = vk;
            input[count].ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, 0));
            input[count].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            ++count;
        };
        if (shift) press(VK_SHIFT, false);
        press(static_cast<WORD>(key & 0xFF), false);
        press(static_cast<WORD>(key & 0xFF), true);
        if (shift) press(VK_SHIFT, true);
        if (SendInput(static_cast<UINT>(count), input, sizeof(INPUT)) != static_cast<UINT>(count))
            return 1;
        Sleep(100);
    }
    return 0;
}

// focus HWND: the window that has the keyboard focus in HWND's thread.
int Focus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return 1;
    std::printf("focus=0x%llx\n", WindowNumber(info.hwndFocus));
    return 0;
}

// desktop: the desktop window's handle.
int Desktop() {
    std::printf("hwnd=%llu\n", WindowNumber(GetDesktopWindow()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "controls" && argc == 3) return Controls(ParseWindow(argv[2]));
    if (command == "click" && argc == 6) {
        return Click(ParseWindow(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), argv[5]);
    }
    if (command == "settext" && argc == 4) return SetText(ParseWindow(argv[2]), argv[3]);
    if (command == "filedialog" && (argc == 5 || argc == 6)) {
        return FileDialog(argv[2], static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)), argv[4],
                          argc == 6 ? argv[5] : "");
    }
    if (command == "parent" && argc == 7) {
        return Parent(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                      std::atoi(argv[6]));
    }
    if (command == "desktop") return Desktop();
    if (command == "focus" && argc == 3) return Focus(ParseWindow(argv[2]));
    if (command == "type" && argc == 4) return Type(ParseWindow(argv[2]), argv[3]);
    std::fprintf(stderr,
                 "usage: dialog_probe controls HWND | click HWND X Y left|right|middle | "
                 "settext HWND HEX | filedialog TITLEHEX TIMEOUT_MS ok|cancel|wait [PATHHEX] | "
                 "parent FILE X Y W H | desktop | focus HWND\n");
    return 2;
}
