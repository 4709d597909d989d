// The settings dialog's windows: two painted surfaces (the form's client area and the panel
// Pic_C) that keep their gradient in a bitmap and draw the labels, marks and frame over it, a
// drop-down combo box and four Command buttons. All decisions are SettingsDialog's.

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "host/controls/command_window.h"
#include "host/forms/dialog_design.h"
#include "host/forms/form_layout.h"
#include "host/forms/win32_forms_ui.h"
#include "host/forms/win32_pictures.h"
#include "host/startup/win32_services.h"
#include "resources/picture_ids.h"

namespace {

constexpr char kSurfaceClass[] = "Lumen_Ribbon.Surface";
// Posted to the form's surface so that the form is unloaded once the current event is over.
constexpr UINT kUnloadMessage = WM_APP + 1;
// The open list of the track box, below its edit field.
constexpr int kComboListHeightPx = 160;

int SurfaceIndex(GradientSurface surface) {
    return surface == GradientSurface::Dialog ? 0 : 1;
}

bool IsKindChoice(const ControlLayout& layout) {
    return std::strcmp(layout.name, "Img_BGM") == 0 || std::strcmp(layout.name, "lbl_BGM") == 0;
}

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
    const int height = -static_cast<int>(
        std::lround(kDialogFont.points * GetDeviceCaps(screen, LOGPIXELSY) / 72.0));
    const BYTE charset = static_cast<BYTE>(kDialogFont.charset);
    std::string face = AnsiFromUtf8(kDialogFont.name);
    if (!FaceInstalled(screen, face, charset)) {
        for (const char* fallback : kDialogFontFallbacks) {
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

// A control the surface draws itself: label, image or rectangle.
struct DrawnControl {
    const ControlLayout* layout;
    RECT box;
    std::string ansiCaption;
    HBITMAP picture = nullptr;  // images only; not owned
};

class Win32DialogControls;

// The form's client area or the panel: its painted background, kept in a bitmap, and the
// controls drawn on it.
struct Surface {
    Win32DialogControls* owner = nullptr;
    HWND window = nullptr;
    COLORREF backColour = 0;
    HBITMAP background = nullptr;
    std::vector<DrawnControl> drawn;
};

// One entry of the form's control collection, as SetCommandButtons walks it.
LRESULT CALLBACK SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class Win32DialogControls : public DialogControls {
  public:
    explicit Win32DialogControls(const ScreenServices& screen) : screen_(screen) {}

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

    void Create(SettingsDialog& dialog) override {
        dialog_ = &dialog;
        HWND form = reinterpret_cast<HWND>(form_->Handle());
        HINSTANCE instance = GetModuleHandleA(nullptr);
        RegisterSurfaceClass(instance);
        SetIcons(form, instance);
        if (!font_) font_ = MakeDialogFont();
        if (!marks_[0]) marks_[0] = LoadJpegResource(LR_JPEG_MARK_OFF);
        if (!marks_[1]) marks_[1] = LoadJpegResource(LR_JPEG_MARK_ON);

        RECT client{};
        GetClientRect(form, &client);
        Surface& dialogSurface = surfaces_[SurfaceIndex(GradientSurface::Dialog)];
        MakeSurface(dialogSurface, form, client, RGB(0xC0, 0xC0, 0xC0), instance);
        const ControlLayout* panel = FindDialogControl("Pic_C", 0);
        Surface& panelSurface = surfaces_[SurfaceIndex(GradientSurface::Panel)];
        MakeSurface(panelSurface, dialogSurface.window, PixelBox(*panel),
                    ColourRef(panel->backColour), instance);

        std::vector<lr::CommandWindow*> commandOf(kSettingsDialogControls.size(), nullptr);
        for (const ControlLayout& layout : kSettingsDialogControls) {
            if (layout.kind == ControlKind::PictureBox || layout.kind == ControlKind::ComboBox ||
                layout.kind == ControlKind::Command) {
                continue;
            }
            AddDrawn(SurfaceOf(layout), layout);
        }
        // Windows are made in tab order, which is the order the keyboard visits them in.
        const std::optional<lr::FormDesign> design = SettingsDialogDesign();
        for (const ControlLayout* layout : DialogTabOrder()) {
            HWND parent = SurfaceOf(*layout).window;
            if (layout->kind == ControlKind::ComboBox) {
                MakeTrackBox(*layout, parent, instance);
                continue;
            }
            const RECT box = PixelBox(*layout);
            const lr::PixelRect bounds{box.left, box.top, box.right - box.left,
                                       box.bottom - box.top};
            std::unique_ptr<lr::CommandWindow> command = lr::CreateCommandWindow(
                reinterpret_cast<NativeWidget*>(parent), bounds, CommandEvents(layout->name));
            if (!command) continue;
            const lr::ControlDesign* stored =
                design ? lr::FindControl(*design, layout->name) : nullptr;
            if (stored)
                command->Button().UserControl_ReadProperties(stored->properties,
                                                             DialogAmbientFont());
            command->Move(bounds);
            if (std::strcmp(layout->name, "Cmd_BGM") == 0) fileButton_ = command.get();
            commandOf[static_cast<size_t>(layout - kSettingsDialogControls.data())] = command.get();
            commands_.push_back(std::move(command));
        }
        for (lr::CommandWindow* command : commandOf) entries_.emplace_back(command);
    }

    void Destroy() override {
        entries_.clear();
        fileButton_ = nullptr;
        commands_.clear();
        if (trackBox_) DestroyWindow(trackBox_);
        trackBox_ = nullptr;
        // The panel is a child of the form's surface and goes with it.
        for (Surface& surface : surfaces_) {
            if (surface.window) SetWindowLongPtrA(surface.window, GWLP_USERDATA, 0);
        }
        Surface& dialogSurface = surfaces_[SurfaceIndex(GradientSurface::Dialog)];
        if (dialogSurface.window) DestroyWindow(dialogSurface.window);
        for (Surface& surface : surfaces_) {
            if (surface.background) DeleteObject(surface.background);
            surface = Surface{};
        }
    }

    // SettingsDialogView.
    double ScaleHeight(GradientSurface surface) const override {
        RECT client{};
        GetClientRect(surfaces_[SurfaceIndex(surface)].window, &client);
        return client.bottom * screen_.TwipsPerPixelY();
    }

    void PaintBackground(GradientSurface surface, const std::vector<GradientLine>& lines) override {
        Surface& target = surfaces_[SurfaceIndex(surface)];
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
        PostMessageA(surfaces_[SurfaceIndex(GradientSurface::Dialog)].window, kUnloadMessage, 0, 0);
    }

    void SetRepeatEnabled(bool enabled) override { EnableWindow(trackBox_, enabled); }

    void SetFileButtonEnabled(bool enabled) override {
        if (fileButton_) fileButton_->Button().Enabled(enabled);
    }

    void ShowMark(int kind, bool chosen) override {
        Surface& panel = surfaces_[SurfaceIndex(GradientSurface::Panel)];
        for (DrawnControl& control : panel.drawn) {
            if (control.layout->kind == ControlKind::Image && control.layout->index == kind &&
                std::strcmp(control.layout->name, "Img_BGM") == 0) {
                control.picture = marks_[chosen ? 1 : 0];
                InvalidateRect(panel.window, &control.box, FALSE);
            }
        }
    }

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

    void SetFileLabel(const std::string& text) override {
        Surface& panel = surfaces_[SurfaceIndex(GradientSurface::Panel)];
        for (DrawnControl& control : panel.drawn) {
            if (std::strcmp(control.layout->name, "lbl_Fname") == 0) {
                control.ansiCaption = AnsiFromUtf8(text);
                InvalidateRect(panel.window, &control.box, FALSE);
            }
        }
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
        for (const DrawnControl& control : surface.drawn) DrawControl(memory, control);
        SelectObject(memory, oldFont);
        BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, oldFrame);
        DeleteObject(frame);
        DeleteDC(memory);
    }

    // Any mouse button on a mark or its caption chooses that kind.
    void MouseDown(const Surface& surface, POINT point) {
        for (const DrawnControl& control : surface.drawn) {
            if (IsKindChoice(*control.layout) && PtInRect(&control.box, point)) {
                dialog_->ChooseKind(control.layout->index);
                return;
            }
        }
    }

    void UnloadNow() { form_->Unload(); }

  private:
    static void RegisterSurfaceClass(HINSTANCE instance) {
        WNDCLASSEXA existing{};
        existing.cbSize = sizeof existing;
        if (GetClassInfoExA(instance, kSurfaceClass, &existing)) return;
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = SurfaceProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kSurfaceClass;
        RegisterClassExA(&windowClass);
    }

    void SetIcons(HWND form, HINSTANCE instance) {
        const int sizes[2][2] = {{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)},
                                 {GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)}};
        for (int which = 0; which < 2; ++which) {
            if (!icons_[which]) {
                icons_[which] =
                    static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(LR_ICON_MAIN),
                                                  IMAGE_ICON, sizes[which][0], sizes[which][1], 0));
            }
        }
        SendMessageA(form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons_[0]));
        SendMessageA(form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons_[1]));
    }

    void MakeSurface(Surface& surface, HWND parent, const RECT& box, COLORREF backColour,
                     HINSTANCE instance) {
        surface.owner = this;
        surface.backColour = backColour;
        surface.window = CreateWindowExA(WS_EX_CONTROLPARENT, kSurfaceClass, "",
                                         WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, box.left, box.top,
                                         box.right - box.left, box.bottom - box.top, parent,
                                         nullptr, instance, nullptr);
        SetWindowLongPtrA(surface.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&surface));
    }

    Surface& SurfaceOf(const ControlLayout& layout) {
        return surfaces_[SurfaceIndex(layout.container == Container::Panel
                                          ? GradientSurface::Panel
                                          : GradientSurface::Dialog)];
    }

    RECT PixelBox(const ControlLayout& layout) const {
        const double x = screen_.TwipsPerPixelX();
        const double y = screen_.TwipsPerPixelY();
        const int left = TwipsToPixels(layout.left, x);
        const int top = TwipsToPixels(layout.top, y);
        return RECT{left, top, left + TwipsToPixels(layout.width, x),
                    top + TwipsToPixels(layout.height, y)};
    }

    void AddDrawn(Surface& surface, const ControlLayout& layout) {
        DrawnControl control{&layout, PixelBox(layout), AnsiFromUtf8(layout.caption), nullptr};
        if (std::strcmp(layout.name, "Img_Ra") == 0) control.picture = marks_[layout.index];
        if (layout.kind == ControlKind::Label && (layout.style & kAutoSize)) {
            // The label takes the size of its caption.
            HDC dc = GetDC(surface.window);
            HGDIOBJ old = SelectObject(dc, font_);
            RECT text{0, 0, 0, 0};
            DrawTextA(dc, control.ansiCaption.c_str(), -1, &text,
                      DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, old);
            ReleaseDC(surface.window, dc);
            control.box.right = control.box.left + text.right;
            control.box.bottom = control.box.top + text.bottom;
        }
        surface.drawn.push_back(control);
    }

    void DrawControl(HDC dc, const DrawnControl& control) const {
        const ControlLayout& layout = *control.layout;
        RECT box = control.box;
        switch (layout.kind) {
            case ControlKind::Rectangle:
                FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                break;
            case ControlKind::Image:
                if (control.picture) {
                    const SIZE size = BitmapSize(control.picture);
                    HDC source = CreateCompatibleDC(dc);
                    HGDIOBJ old = SelectObject(source, control.picture);
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
                DrawTextA(dc, control.ansiCaption.c_str(), -1, &box, format);
                break;
            }
            default:
                break;
        }
    }

    void MakeTrackBox(const ControlLayout& layout, HWND parent, HINSTANCE instance) {
        const RECT box = PixelBox(layout);
        trackBox_ = CreateWindowExA(
            0, "COMBOBOX", "",
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
            box.left, box.top, box.right - box.left, box.bottom - box.top + kComboListHeightPx,
            parent, nullptr, instance, nullptr);
        SendMessageA(trackBox_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }

    lr::CommandEvents CommandEvents(const char* name) {
        lr::CommandEvents events;
        const std::string button = name;
        events.Click = [this, button] {
            if (button == "Cmd_BGM") dialog_->Cmd_BGM_Click();
            if (button == "Cmd_Set") dialog_->Cmd_Set_Click();
            if (button == "Cmd_Can") dialog_->Cmd_Can_Click();
            if (button == "Cmd_Etc") dialog_->Cmd_Etc_Click();
        };
        return events;
    }

    const ScreenServices& screen_;
    SettingsDialog* dialog_ = nullptr;
    HFONT font_ = nullptr;
    HBITMAP marks_[2] = {nullptr, nullptr};  // Img_Ra(0) and Img_Ra(1)
    HICON icons_[2] = {nullptr, nullptr};
    Surface surfaces_[2];
    HWND trackBox_ = nullptr;
    lr::CommandWindow* fileButton_ = nullptr;
    std::vector<std::unique_ptr<lr::CommandWindow>> commands_;
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
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            const POINT point{static_cast<short>(LOWORD(lParam)),
                              static_cast<short>(HIWORD(lParam))};
            surface->owner->MouseDown(*surface, point);
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
