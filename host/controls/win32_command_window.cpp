// The Command button's Win32 child window: a persistent memory bitmap for the face, the skins
// from the program's resources, GradientFill and StretchBlt for drawing, a 100 ms timer for
// the hover poll. All rules live in Command; this file only draws and delivers events.
#include <windows.h>

#include <string>

#include "host/controls/command_window.h"
#include "host/controls/skin_ids.h"
#include "host/runtime/win32_services.h"
#include "host/runtime/win32_window_class.h"

namespace {

constexpr char kClassName[] = "Lumen_Ribbon.Command";
constexpr UINT_PTR kHoverTimerId = 1;
constexpr int kSkinResources[kSkinCount] = {
    LR_BITMAP_SKIN_NORMAL,   LR_BITMAP_SKIN_HIGHLIGHT, LR_BITMAP_SKIN_HIGHLIGHTSELECT,
    LR_BITMAP_SKIN_SELECTED, LR_BITMAP_SKIN_PRESSED,   LR_BITMAP_SKIN_DISABLE,
};

// Colours with the high bit set name a system colour by its index in the low byte.
COLORREF ResolveColour(uint32_t colour) {
    if (colour & 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFFu));
    return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

WindowId ToId(HWND window) {
    return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(window));
}

LRESULT CALLBACK CommandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class Win32CommandWindow final : public CommandWindow, private ButtonSurface, private HoverProbe {
  public:
    explicit Win32CommandWindow(CommandEvents events) : button_(*this, *this, std::move(events)) {}

    ~Win32CommandWindow() override {
        if (window_) {
            SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
        }
        ReleaseDrawingObjects();
    }

    bool Create(HWND parent, const PixelRect& bounds) {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        if (!RegisterWindowClass(kClassName, CommandWindowProc, CS_DBLCLKS)) return false;
        for (int i = 0; i < kSkinCount; ++i) {
            skins_[i] = static_cast<HBITMAP>(
                LoadImageA(instance, MAKEINTRESOURCEA(kSkinResources[i]), IMAGE_BITMAP, 0, 0, 0));
        }
        CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                        bounds.left, bounds.top, bounds.Width(), bounds.Height(), parent, nullptr,
                        instance, this);
        if (!window_) return false;
        ResizeFace();  // when creation sent no size message
        return true;
    }

    Command& Button() override { return button_; }
    NativeWidget* Handle() const override { return reinterpret_cast<NativeWidget*>(window_); }

    void Move(const PixelRect& bounds) override {
        MoveWindow(window_, bounds.left, bounds.top, bounds.Width(), bounds.Height(), TRUE);
    }

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_SIZE:
                ResizeFace();
                button_.UserControl_Resize();
                return 0;
            case WM_ERASEBKGND:
                return 1;  // WM_PAINT covers everything
            case WM_PAINT:
                Paint();
                return 0;
            case WM_MOUSEMOVE:
                button_.UserControl_MouseMove();
                return 0;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
                return Press(kLeftButton, true);
            case WM_RBUTTONDOWN:
            case WM_RBUTTONDBLCLK:
                return Press(kRightButton, false);
            case WM_MBUTTONDOWN:
            case WM_MBUTTONDBLCLK:
                return Press(kMiddleButton, false);
            case WM_LBUTTONUP:
                return Release(kLeftButton, wParam);
            case WM_RBUTTONUP:
                return Release(kRightButton, wParam);
            case WM_MBUTTONUP:
                return Release(kMiddleButton, wParam);
            case WM_CAPTURECHANGED:
                if (!releasing_) button_.UserControl_CaptureLost();
                return 0;
            case WM_SETFOCUS:
                button_.UserControl_GotFocus();
                return 0;
            case WM_KILLFOCUS:
                button_.UserControl_LostFocus();
                return 0;
            case WM_TIMER:
                if (wParam == kHoverTimerId) button_.TmrMouse_Timer();
                return 0;
            default:
                return DefWindowProcA(window_, message, wParam, lParam);
        }
    }

    // The system destroyed the window (for example with its parent form).
    void Forget() { window_ = nullptr; }
    void Attach(HWND window) { window_ = window; }

  private:
    // ButtonSurface
    SurfaceMetrics Metrics() const override {
        SurfaceMetrics metrics;
        RECT outer{};
        RECT inner{};
        GetWindowRect(window_, &outer);
        GetClientRect(window_, &inner);
        metrics.outerWidthPx = outer.right - outer.left;
        metrics.outerHeightPx = outer.bottom - outer.top;
        metrics.innerWidthPx = inner.right;
        metrics.innerHeightPx = inner.bottom;
        HDC screen = GetDC(nullptr);
        const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
        const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        if (dpiX > 0) metrics.twipsPerPixelX = 1440.0 / dpiX;
        if (dpiY > 0) metrics.twipsPerPixelY = 1440.0 / dpiY;
        return metrics;
    }

    void Clear() override {
        if (!faceDc_) return;
        RECT all{0, 0, faceSize_.cx, faceSize_.cy};
        FillRect(faceDc_, &all, GetSysColorBrush(COLOR_BTNFACE));
    }

    void FillGradient(const std::array<GradientVertex, 2>& vertices) override {
        if (!faceDc_) return;
        TRIVERTEX corners[2];
        for (int i = 0; i < 2; ++i) {
            corners[i].x = vertices[i].x;
            corners[i].y = vertices[i].y;
            corners[i].Red = vertices[i].red;
            corners[i].Green = vertices[i].green;
            corners[i].Blue = vertices[i].blue;
            corners[i].Alpha = vertices[i].alpha;
        }
        GRADIENT_RECT rect{0, 1};
        GradientFill(faceDc_, corners, 2, &rect, 1, GRADIENT_FILL_RECT_V);
    }

    void CopySkin(Skin skin, const PixelRect& from, const PixelRect& to) override {
        HBITMAP picture = skins_[static_cast<int>(skin)];
        if (!faceDc_ || !picture) return;
        HDC source = CreateCompatibleDC(faceDc_);
        HGDIOBJ previous = SelectObject(source, picture);
        SetStretchBltMode(faceDc_, COLORONCOLOR);
        StretchBlt(faceDc_, to.left, to.top, to.Width(), to.Height(), source, from.left, from.top,
                   from.Width(), from.Height(), SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    }

    void Refresh() override {
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }

    void SetOpaque(bool opaque) override {
        opaque_ = opaque;
        LONG_PTR extended = GetWindowLongPtrA(window_, GWL_EXSTYLE);
        extended = opaque ? (extended & ~WS_EX_TRANSPARENT) : (extended | WS_EX_TRANSPARENT);
        SetWindowLongPtrA(window_, GWL_EXSTYLE, extended);
        InvalidateRect(window_, nullptr, FALSE);
    }

    void ShowCaption(const CaptionLabel& label) override {
        if (!font_ || !(label.font == caption_.font)) {
            if (font_) DeleteObject(font_);
            HDC screen = GetDC(nullptr);
            const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
            ReleaseDC(nullptr, screen);
            const int height = -FontPixelHeight(label.font.sizePoints, dpiY);
            font_ = CreateFontA(height, 0, 0, 0, label.font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                                FALSE, FALSE, static_cast<DWORD>(label.font.charset),
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, AnsiFromUtf8(label.font.face).c_str());
        }
        caption_ = label;
        InvalidateRect(window_, nullptr, FALSE);
    }

    // HoverProbe
    void StartPolling(int intervalMs) override {
        SetTimer(window_, kHoverTimerId, static_cast<UINT>(intervalMs), nullptr);
    }

    WindowId WindowUnderCursor() const override {
        POINT point{0, 0};
        GetCursorPos(&point);
        return ToId(WindowFromPoint(point));
    }

    WindowId OwnWindow() const override { return ToId(window_); }

    std::optional<WindowId> ParentWindow() const override {
        HWND form = GetAncestor(window_, GA_ROOT);
        if (!form || form == window_) return std::nullopt;
        return ToId(form);
    }

    // Events
    LRESULT Press(int mouseButton, bool takeFocus) {
        SetCapture(window_);
        if (takeFocus && GetFocus() != window_) SetFocus(window_);
        button_.UserControl_MouseDown(mouseButton);
        return 0;
    }

    LRESULT Release(int mouseButton, WPARAM heldButtons) {
        if (!(heldButtons & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && GetCapture() == window_) {
            // The release itself is not a lost capture.
            releasing_ = true;
            ReleaseCapture();
            releasing_ = false;
        }
        // Click may destroy this window and this object: nothing may follow.
        button_.UserControl_MouseUp(mouseButton);
        return 0;
    }

    // Drawing
    void ResizeFace() {
        RECT client{};
        GetClientRect(window_, &client);
        const SIZE size{client.right, client.bottom};
        if (faceDc_ && size.cx == faceSize_.cx && size.cy == faceSize_.cy) return;
        HDC screen = GetDC(window_);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap =
            CreateCompatibleBitmap(screen, size.cx > 0 ? size.cx : 1, size.cy > 0 ? size.cy : 1);
        ReleaseDC(window_, screen);
        if (!dc || !bitmap) {
            if (dc) DeleteDC(dc);
            if (bitmap) DeleteObject(bitmap);
            return;
        }
        HGDIOBJ previous = SelectObject(dc, bitmap);
        RECT all{0, 0, size.cx, size.cy};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        // What was drawn stays where it was, as on a persistent image that grows.
        if (faceDc_) BitBlt(dc, 0, 0, faceSize_.cx, faceSize_.cy, faceDc_, 0, 0, SRCCOPY);
        ReleaseFace();
        faceDc_ = dc;
        faceBitmap_ = bitmap;
        facePrevious_ = previous;
        faceSize_ = size;
    }

    void Paint() {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        const int width = faceSize_.cx;
        const int height = faceSize_.cy;
        if (opaque_ && faceDc_) {
            // Compose face and caption off screen so that the caption never flickers.
            HDC back = CreateCompatibleDC(dc);
            HBITMAP backBitmap = CreateCompatibleBitmap(dc, width, height);
            HGDIOBJ previous = SelectObject(back, backBitmap);
            BitBlt(back, 0, 0, width, height, faceDc_, 0, 0, SRCCOPY);
            DrawCaption(back);
            BitBlt(dc, 0, 0, width, height, back, 0, 0, SRCCOPY);
            SelectObject(back, previous);
            DeleteObject(backBitmap);
            DeleteDC(back);
        } else {
            // Transparent: the face stays hidden behind what the parent shows here.
            PaintParentBackground(dc);
            DrawCaption(dc);
        }
        EndPaint(window_, &paint);
    }

    // Asks the parent to draw its background into dc, shifted so that it lines up with this
    // window. Nothing else would cover a face drawn on screen before the button turned
    // transparent.
    void PaintParentBackground(HDC dc) {
        HWND parent = GetParent(window_);
        if (!parent) return;
        POINT origin{0, 0};
        MapWindowPoints(window_, parent, &origin, 1);
        const int savedState = SaveDC(dc);
        OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
        SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        RestoreDC(dc, savedState);
    }

    void DrawCaption(HDC dc) {
        if (caption_.text.empty()) return;
        const PixelRect caption = CaptionBox(caption_, Metrics());
        RECT box{caption.left, caption.top, caption.right, caption.bottom};
        const std::string text = AnsiFromUtf8(caption_.text);
        const UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;

        const int savedState = SaveDC(dc);
        IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
        SetBkMode(dc, TRANSPARENT);
        if (font_) SelectObject(dc, font_);
        if (caption_.enabled) {
            SetTextColor(dc, ResolveColour(caption_.colour));
            DrawTextA(dc, text.c_str(), -1, &box, format);
        } else {
            // Greyed: a light copy one pixel down and right under a shadow-coloured one.
            RECT shifted = box;
            OffsetRect(&shifted, 1, 1);
            SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
            DrawTextA(dc, text.c_str(), -1, &shifted, format);
            SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
            DrawTextA(dc, text.c_str(), -1, &box, format);
        }
        RestoreDC(dc, savedState);
    }

    void ReleaseFace() {
        if (!faceDc_) return;
        SelectObject(faceDc_, facePrevious_);
        DeleteObject(faceBitmap_);
        DeleteDC(faceDc_);
        faceDc_ = nullptr;
        faceBitmap_ = nullptr;
    }

    void ReleaseDrawingObjects() {
        ReleaseFace();
        for (HBITMAP& skin : skins_) {
            if (skin) DeleteObject(skin);
            skin = nullptr;
        }
        if (font_) DeleteObject(font_);
        font_ = nullptr;
    }

    HWND window_ = nullptr;
    HBITMAP skins_[kSkinCount] = {};
    HDC faceDc_ = nullptr;
    HBITMAP faceBitmap_ = nullptr;
    HGDIOBJ facePrevious_ = nullptr;
    SIZE faceSize_{0, 0};
    bool opaque_ = true;
    bool releasing_ = false;
    HFONT font_ = nullptr;
    CaptionLabel caption_;
    Command button_;  // last: it draws through the members above
};

LRESULT CALLBACK CommandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* owner = static_cast<Win32CommandWindow*>(create->lpCreateParams);
        owner->Attach(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    auto* owner = reinterpret_cast<Win32CommandWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!owner) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        owner->Forget();
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return owner->OnMessage(message, wParam, lParam);
}

}  // namespace

std::unique_ptr<CommandWindow> CreateCommandWindow(NativeWidget* parent, const PixelRect& bounds,
                                                   CommandEvents events) {
    auto window = std::make_unique<Win32CommandWindow>(std::move(events));
    if (!window->Create(reinterpret_cast<HWND>(parent), bounds)) return nullptr;
    return window;
}
