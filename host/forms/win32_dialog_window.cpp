// The settings dialog's windows: two painted surfaces (the form's client area and the panel
// Pic_C) that keep their gradient in a bitmap and draw the labels, marks and frame over it, a
// drop-down combo box and four Command buttons. All decisions are SettingsDialog's.

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/controls/command_window.h"
#include "host/forms/form_layout.h"
#include "host/forms/win32_forms_ui.h"
#include "host/forms/win32_pictures.h"
#include "host/runtime/win32_services.h"
#include "host/runtime/win32_window_class.h"
#include "resources/picture_ids.h"

namespace {

constexpr char kSurfaceClass[] = "Lumen_Ribbon.Surface";
// Posted to the form's surface so that the form is unloaded once the current event is over.
constexpr UINT kUnloadMessage = WM_APP + 1;
// The open list of the track box, below its edit field.
constexpr int kComboListHeightPx = 160;

int CALLBACK NoteFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(HDC dc, const std::string& ansiFace, BYTE charset) {
    LOGFONTA font{};
    font.lfCharSet = charset;
    lstrcpynA(font.lfFaceName, ansiFace.c_str(), LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExA(dc, &font, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// The dialog font, or the first installed stand-in when its face is absent.
HFONT MakeDialogFont() {
    HDC screen = GetDC(nullptr);
    const int height = -FontPixelHeight(kDialogFont.points, GetDeviceCaps(screen, LOGPIXELSY));
    const BYTE charset = static_cast<BYTE>(kDialogFont.charset);
    std::string face = AnsiFromUtf8(kDialogFont.name);
    if (!FaceInstalled(screen, face, charset)) {
        for (const char* fallback : kFallbackFaces) {
            if (FaceInstalled(screen, AnsiFromUtf8(fallback), charset)) {
                face = AnsiFromUtf8(fallback);
                break;
            }
        }
    }
    ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, kDialogFont.weight, FALSE, FALSE, FALSE, charset,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

RECT RectOf(const PixelRect& box) {
    return RECT{box.left, box.top, box.right, box.bottom};
}

class Win32DialogControls;

// The form's client area or the panel: its painted background, kept in a bitmap, under the
// controls drawn on it.
struct Surface {
    Win32DialogControls* owner = nullptr;
    GradientSurface which = GradientSurface::Dialog;
    HWND window = nullptr;
    COLORREF backColour = 0;
    HBITMAP background = nullptr;
};

LRESULT CALLBACK SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class Win32DialogControls : public DialogControls {
  public:
    explicit Win32DialogControls(const ScreenServices& screen) : DialogControls(screen) {}

    ~Win32DialogControls() override {
        Destroy();
        for (HBITMAP mark : marks_) {
            if (mark) DeleteObject(mark);
        }
        if (font_) DeleteObject(font_);
        for (HICON icon : icons_) {
            if (icon) DestroyIcon(icon);
        }
    }
    Win32DialogControls(const Win32DialogControls&) = delete;
    Win32DialogControls& operator=(const Win32DialogControls&) = delete;

    // SettingsDialogView.
    double ScaleHeight(GradientSurface surface) const override {
        RECT client{};
        GetClientRect(SurfaceFor(surface).window, &client);
        return client.bottom * screen_.TwipsPerPixelY();
    }

    void PaintBackground(GradientSurface surface, const std::vector<GradientLine>& lines) override {
        Surface& target = SurfaceFor(surface);
        if (!target.window) return;
        RECT client{};
        GetClientRect(target.window, &client);
        const std::vector<Rgb> rows = GradientRows(lines, screen_.TwipsPerPixelY(), client.bottom);
        HDC screen = GetDC(target.window);
        HBITMAP picture = CreateCompatibleBitmap(screen, client.right, client.bottom);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, picture);
        for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
            const Rgb& colour = rows[static_cast<size_t>(y)];
            HBRUSH brush = CreateSolidBrush(ColourRef(colour));
            const RECT row{0, y, client.right, y + 1};
            FillRect(memory, &row, brush);
            DeleteObject(brush);
        }
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(target.window, screen);
        if (target.background) DeleteObject(target.background);
        target.background = picture;
        InvalidateRect(target.window, nullptr, FALSE);
    }

    void Unload() override {
        PostMessageA(SurfaceFor(GradientSurface::Dialog).window, kUnloadMessage, 0, 0);
    }

    void SetRepeatEnabled(bool enabled) override { EnableWindow(trackBox_, enabled); }

    std::string RepeatText() const override {
        const int length = GetWindowTextLengthA(trackBox_);
        std::string text(static_cast<size_t>(length) + 1, '\0');
        GetWindowTextA(trackBox_, &text[0], length + 1);
        text.resize(std::strlen(text.c_str()));
        return Utf8FromAnsi(text);
    }

    void SetRepeatText(const std::string& text) override {
        SetWindowTextA(trackBox_, AnsiFromUtf8(text).c_str());
    }

    void AddRepeatEntry(const std::string& text) override {
        SendMessageA(trackBox_, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(AnsiFromUtf8(text).c_str()));
    }

    // Events of the surfaces.
    void Paint(Surface& surface, HDC target) {
        RECT client{};
        GetClientRect(surface.window, &client);
        // Drawn off screen first, so that labels never flicker over the gradient.
        HDC memory = CreateCompatibleDC(target);
        HBITMAP frame = CreateCompatibleBitmap(target, client.right, client.bottom);
        HGDIOBJ oldFrame = SelectObject(memory, frame);
        if (surface.background) {
            HDC source = CreateCompatibleDC(target);
            HGDIOBJ old = SelectObject(source, surface.background);
            BitBlt(memory, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
        } else {
            HBRUSH brush = CreateSolidBrush(surface.backColour);
            FillRect(memory, &client, brush);
            DeleteObject(brush);
        }
        HGDIOBJ oldFont = SelectObject(memory, font_);
        SetBkMode(memory, TRANSPARENT);
        for (const DrawnControl& control : Drawn(surface.which)) DrawControl(memory, control);
        SelectObject(memory, oldFont);
        BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, oldFrame);
        DeleteObject(frame);
        DeleteDC(memory);
    }

    void UnloadNow() { form_->Unload(); }

  protected:
    bool MakeSurfaces(const PixelRect& panelBox, const Rgb& panelColour) override {
        HWND form = reinterpret_cast<HWND>(form_->Handle());
        RegisterWindowClass(kSurfaceClass, SurfaceProc);
        SetIcons(form);
        if (!font_) font_ = MakeDialogFont();
        if (!marks_[0]) marks_[0] = LoadJpegResource(LR_JPEG_MARK_OFF);
        if (!marks_[1]) marks_[1] = LoadJpegResource(LR_JPEG_MARK_ON);
        RECT client{};
        GetClientRect(form, &client);
        Surface& dialog = SurfaceFor(GradientSurface::Dialog);
        MakeSurface(dialog, GradientSurface::Dialog, form,
                    PixelRect{client.left, client.top, client.right, client.bottom},
                    RGB(0xC0, 0xC0, 0xC0));
        MakeSurface(SurfaceFor(GradientSurface::Panel), GradientSurface::Panel, dialog.window,
                    panelBox, ColourRef(panelColour));
        return true;
    }

    PixelSize TextSize(const std::string& text) const override {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font_);
        RECT box{0, 0, 0, 0};
        DrawTextA(dc, AnsiFromUtf8(text).c_str(), -1, &box,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return PixelSize{box.right, box.bottom};
    }

    void MakeTrackBox(GradientSurface surface, const PixelRect& box) override {
        trackBox_ = CreateWindowExA(
            0, "COMBOBOX", "",
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
            box.left, box.top, box.Width(), box.Height() + kComboListHeightPx,
            SurfaceFor(surface).window, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(trackBox_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }

    std::unique_ptr<CommandWindow> MakeCommand(GradientSurface surface, const PixelRect& box,
                                               CommandEvents events) override {
        return CreateCommandWindow(reinterpret_cast<NativeWidget*>(SurfaceFor(surface).window), box,
                                   std::move(events));
    }

    void TakeDown() override {
        if (trackBox_) DestroyWindow(trackBox_);
        trackBox_ = nullptr;
        // The panel is a child of the form's surface and goes with it.
        for (Surface& surface : surfaces_) {
            if (surface.window) SetWindowLongPtrA(surface.window, GWLP_USERDATA, 0);
        }
        Surface& dialog = SurfaceFor(GradientSurface::Dialog);
        if (dialog.window) DestroyWindow(dialog.window);
        for (Surface& surface : surfaces_) {
            if (surface.background) DeleteObject(surface.background);
            surface = Surface{};
        }
    }

    void Redraw(GradientSurface surface, const PixelRect& box) override {
        const RECT changed = RectOf(box);
        InvalidateRect(SurfaceFor(surface).window, &changed, FALSE);
    }

  private:
    Surface& SurfaceFor(GradientSurface surface) {
        return surfaces_[surface == GradientSurface::Dialog ? 0 : 1];
    }
    const Surface& SurfaceFor(GradientSurface surface) const {
        return surfaces_[surface == GradientSurface::Dialog ? 0 : 1];
    }

    void SetIcons(HWND form) {
        const int sizes[2][2] = {{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)},
                                 {GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)}};
        for (int which = 0; which < 2; ++which) {
            if (!icons_[which]) {
                icons_[which] = static_cast<HICON>(
                    LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(LR_ICON_MAIN),
                               IMAGE_ICON, sizes[which][0], sizes[which][1], 0));
            }
        }
        SendMessageA(form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons_[0]));
        SendMessageA(form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons_[1]));
    }

    void MakeSurface(Surface& surface, GradientSurface which, HWND parent, const PixelRect& box,
                     COLORREF backColour) {
        surface.owner = this;
        surface.which = which;
        surface.backColour = backColour;
        surface.window =
            CreateWindowExA(WS_EX_CONTROLPARENT, kSurfaceClass, "",
                            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, box.left, box.top, box.Width(),
                            box.Height(), parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(surface.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&surface));
    }

    void DrawControl(HDC dc, const DrawnControl& control) const {
        const ControlLayout& layout = *control.layout;
        RECT box = RectOf(control.box);
        switch (layout.kind) {
            case ControlKind::Rectangle:
                FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                break;
            case ControlKind::Image:
                if (control.picture != kNoPicture && marks_[control.picture]) {
                    HBITMAP picture = marks_[control.picture];
                    const SIZE size = BitmapSize(picture);
                    HDC source = CreateCompatibleDC(dc);
                    HGDIOBJ old = SelectObject(source, picture);
                    BitBlt(dc, box.left, box.top, std::min<LONG>(size.cx, box.right - box.left),
                           std::min<LONG>(size.cy, box.bottom - box.top), source, 0, 0, SRCCOPY);
                    SelectObject(source, old);
                    DeleteDC(source);
                }
                break;
            case ControlKind::Label: {
                UINT format = DT_NOPREFIX;
                if (layout.style & kSingleBorder) {
                    DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
                    format |= DT_WORDBREAK;
                } else {
                    format |= DT_SINGLELINE;
                }
                if (layout.style & kCentred) format |= DT_CENTER;
                SetTextColor(dc, ColourRef(layout.foreColour));
                DrawTextA(dc, AnsiFromUtf8(control.caption).c_str(), -1, &box, format);
                break;
            }
            default:
                break;
        }
    }

    HFONT font_ = nullptr;
    HBITMAP marks_[2] = {nullptr, nullptr};  // Img_Ra(0) and Img_Ra(1)
    HICON icons_[2] = {nullptr, nullptr};
    Surface surfaces_[2];
    HWND trackBox_ = nullptr;
};

LRESULT CALLBACK SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* surface = reinterpret_cast<Surface*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!surface) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(window, &paint);
            surface->owner->Paint(*surface, dc);
            EndPaint(window, &paint);
            return 0;
        }
        // Any mouse button.
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            const PixelPoint point{static_cast<short>(LOWORD(lParam)),
                                   static_cast<short>(HIWORD(lParam))};
            surface->owner->MouseDown(surface->which, point);
            return 0;
        }
        case kUnloadMessage:
            surface->owner->UnloadNow();
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<DialogControls> MakeDialogControls(const ScreenServices& screen) {
    return std::make_unique<Win32DialogControls>(screen);
}
