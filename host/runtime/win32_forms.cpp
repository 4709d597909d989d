#include <windows.h>

#include <vector>

#include "host/runtime/win32_services.h"
#include "host/runtime/win32_window_class.h"

namespace {

constexpr char kFormWindowClass[] = "Lumen_Ribbon_Form";
constexpr uint32_t kSystemColourFlag = 0x80000000u;

struct WindowStyles {
    DWORD style;
    DWORD exStyle;
};

WindowStyles StylesOf(FormBorder border) {
    switch (border) {
        case FormBorder::Borderless:
            // Not a popup: a borderless form that gains the child bit must become a plain child
            // window, and the system treats a window with both bits as a popup.
            return {WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
        case FormBorder::FixedSingle:
            return {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
        case FormBorder::Sizable:
            break;
    }
    return {WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

// Unloading or hiding a form may end an event loop. When that happens while a message sent by
// another thread is handled, GetMessage does not return by itself, so an empty message wakes it.
void WakeEventLoop() {
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

class Win32FormWindow : public FormWindow {
  public:
    Win32FormWindow(FormWindowEvents& events, const Win32Screen& screen)
        : events_(events), screen_(screen) {}

    ~Win32FormWindow() override {
        if (window_) {
            // Messages sent while the window goes away find no form any more.
            SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
        }
        if (ownsBrush_) DeleteObject(brush_);
        WakeEventLoop();
    }

    bool Create(const FormLook& look, const PixelSize& clientSize) {
        if (look.backColour & kSystemColourFlag) {
            brush_ = GetSysColorBrush(static_cast<int>(look.backColour & 0xFF));
        } else {
            brush_ = CreateSolidBrush(look.backColour);
            ownsBrush_ = true;
        }
        const WindowStyles styles = StylesOf(look.border);
        RECT outer{0, 0, clientSize.width, clientSize.height};
        AdjustWindowRectEx(&outer, styles.style, FALSE, styles.exStyle);
        const bool borderless = look.border == FormBorder::Borderless;
        CreateWindowExA(styles.exStyle, kFormWindowClass, AnsiFromUtf8(look.caption).c_str(),
                        styles.style, borderless ? 0 : CW_USEDEFAULT,
                        borderless ? 0 : CW_USEDEFAULT, outer.right - outer.left,
                        outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                        this);
        if (window_ && borderless) {
            // The system gives every overlapped window a caption; this one has none.
            SetWindowLongA(window_, GWL_STYLE, GetWindowLongA(window_, GWL_STYLE) & ~WS_CAPTION);
            SetWindowPos(
                window_, nullptr, 0, 0, 0, 0,
                SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ready_ = window_ != nullptr;
        return ready_;
    }

    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(window_); }
    NativeWidget* ControlParent() const override {
        return reinterpret_cast<NativeWidget*>(window_);
    }

    void SetVisible(bool visible) override {
        ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
        if (!visible) WakeEventLoop();
    }

    void SetCaption(const std::string& caption) override {
        SetWindowTextA(window_, AnsiFromUtf8(caption).c_str());
    }

    void Move(const PixelRect& outer) override {
        SetWindowPos(window_, nullptr, outer.left, outer.top, outer.right - outer.left,
                     outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    PixelRect Bounds() const override {
        RECT rect{};
        GetWindowRect(window_, &rect);
        if (GetWindowLongA(window_, GWL_STYLE) & WS_CHILD) {
            MapWindowPoints(nullptr, GetAncestor(window_, GA_PARENT),
                            reinterpret_cast<POINT*>(&rect), 2);
        }
        return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
    }

    PixelSize ClientSize() const override {
        RECT rect{};
        GetClientRect(window_, &rect);
        return PixelSize{rect.right, rect.bottom};
    }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* self = static_cast<Win32FormWindow*>(
                reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            self->window_ = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!self) return DefWindowProcA(window, message, wParam, lParam);
        return self->Handle(window, message, wParam, lParam);
    }

  private:
    // After an event that may unload the form, this object may be gone: those branches return
    // without touching it.
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_CLOSE:
                events_.OnCloseRequest(UnloadMode::ControlMenu);
                return 0;
            case WM_QUERYENDSESSION:
                events_.OnCloseRequest(UnloadMode::WindowsSession);
                return IsWindow(window) ? FALSE : TRUE;
            case WM_SIZE:
                if (ready_) events_.OnResized();
                return 0;
            case WM_ERASEBKGND: {
                RECT client{};
                GetClientRect(window, &client);
                FillRect(reinterpret_cast<HDC>(wParam), &client, brush_);
                return 1;
            }
            case WM_ACTIVATE:
                // As a dialog does: the control that had the focus gets it back when the form
                // is active again, and a form opens with its first control focused.
                if (LOWORD(wParam) == WA_INACTIVE) {
                    HWND focus = GetFocus();
                    if (focus && IsChild(window, focus)) focus_ = focus;
                } else if (FocusControl(window)) {
                    return 0;
                }
                break;
            case WM_SETCURSOR:
                if (screen_.Pointer() == MousePointer::Hourglass) {
                    SetCursor(LoadCursor(nullptr, IDC_WAIT));
                    return TRUE;
                }
                break;
            case WM_DESTROY:
                // Only reached when others destroy the window, for example with its parent.
                SetWindowLongPtrA(window, GWLP_USERDATA, 0);
                window_ = nullptr;
                events_.OnDestroyedByOthers();
                return 0;
            default:
                break;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    bool FocusControl(HWND window) {
        if (!focus_ || !IsChild(window, focus_) || !IsWindowEnabled(focus_) ||
            !IsWindowVisible(focus_)) {
            focus_ = GetNextDlgTabItem(window, nullptr, FALSE);
        }
        if (!focus_ || focus_ == window) return false;
        SetFocus(focus_);
        return true;
    }

    FormWindowEvents& events_;
    const Win32Screen& screen_;
    HWND window_ = nullptr;
    HWND focus_ = nullptr;  // the control that had the focus when the form was last left
    HBRUSH brush_ = nullptr;
    bool ownsBrush_ = false;
    bool ready_ = false;
};

struct ModalState {
    HWND modal;
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableOtherWindow(HWND window, LPARAM state) {
    auto* modalState = reinterpret_cast<ModalState*>(state);
    if (window != modalState->modal && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        modalState->disabled.push_back(window);
    }
    return TRUE;
}

}  // namespace

Win32FormPlatform::Win32FormPlatform(const Win32Screen& screen) : screen_(screen) {
    classAtom_ = RegisterWindowClass(kFormWindowClass, Win32FormWindow::Proc, CS_DBLCLKS);
}

std::unique_ptr<FormWindow> Win32FormPlatform::CreateFormWindow(const FormLook& look,
                                                                const PixelSize& clientSize,
                                                                FormWindowEvents& events) {
    auto window = std::make_unique<Win32FormWindow>(events, screen_);
    if (!window->Create(look, clientSize)) return nullptr;
    return window;
}

void Win32FormPlatform::RunEventLoop(WindowHandle modalWindow,
                                     const std::function<bool()>& keepRunning) {
    ModalState modal{reinterpret_cast<HWND>(modalWindow), {}};
    if (modal.modal)
        EnumThreadWindows(GetCurrentThreadId(), DisableOtherWindow,
                          reinterpret_cast<LPARAM>(&modal));
    MSG message{};
    while (keepRunning()) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit request for the loop further out.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) break;
        // Keyboard navigation between the controls of a form, as in a dialog.
        HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && GetClassWord(root, GCW_ATOM) == classAtom_ &&
            IsDialogMessageA(root, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    for (HWND window : modal.disabled) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
}
