// Img_Prev of the preview window: a child window that shows the embedded picture unscaled from
// its top-left corner over black.
#include <windows.h>

#include "host/forms/win32_forms_ui.h"
#include "host/forms/win32_pictures.h"
#include "host/startup/screen.h"
#include "resources/picture_ids.h"

namespace {

constexpr char kPictureClass[] = "Lumen_Ribbon.Picture";

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC target = BeginPaint(window, &paint);
        RECT client{};
        GetClientRect(window, &client);
        FillRect(target, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        auto bitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (bitmap) {
            const SIZE size = BitmapSize(bitmap);
            HDC source = CreateCompatibleDC(target);
            HGDIOBJ old = SelectObject(source, bitmap);
            BitBlt(target, 0, 0, size.cx, size.cy, source, 0, 0, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
        }
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

class Win32PreviewPicture : public PreviewPicture {
  public:
    explicit Win32PreviewPicture(const ScreenServices& screen) : screen_(screen) {}
    ~Win32PreviewPicture() override {
        if (IsWindow(window_)) DestroyWindow(window_);
        if (bitmap_) DeleteObject(bitmap_);
    }
    Win32PreviewPicture(const Win32PreviewPicture&) = delete;
    Win32PreviewPicture& operator=(const Win32PreviewPicture&) = delete;

    void Attach(Form& form) override { form_ = &form; }
    WindowHandle FormHandle() const override { return form_ ? form_->Handle() : 0; }

    void Create() override {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSEXA existing{};
        existing.cbSize = sizeof existing;
        if (!GetClassInfoExA(instance, kPictureClass, &existing)) {
            WNDCLASSEXA windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = PictureProc;
            windowClass.hInstance = instance;
            windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
            windowClass.lpszClassName = kPictureClass;
            RegisterClassExA(&windowClass);
        }
        if (!bitmap_) bitmap_ = LoadJpegResource(LR_JPEG_PREVIEW);
        const SIZE size = BitmapSize(bitmap_);
        window_ = CreateWindowExA(0, kPictureClass, "Img_Prev", WS_CHILD | WS_VISIBLE, 0, 0,
                                  size.cx, size.cy, reinterpret_cast<HWND>(FormHandle()), nullptr,
                                  instance, nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bitmap_));
    }

    void Place(double left, double top, double width, double height) override {
        const double x = screen_.TwipsPerPixelX();
        const double y = screen_.TwipsPerPixelY();
        MoveWindow(window_, TwipsToPixels(left, x), TwipsToPixels(top, y), TwipsToPixels(width, x),
                   TwipsToPixels(height, y), TRUE);
    }

  private:
    const ScreenServices& screen_;
    Form* form_ = nullptr;
    HWND window_ = nullptr;
    HBITMAP bitmap_ = nullptr;
};

}  // namespace

std::unique_ptr<PreviewPicture> MakePreviewPicture(const ScreenServices& screen) {
    return std::make_unique<Win32PreviewPicture>(screen);
}

int32_t Win32CloseRequests::PostClose(WindowHandle target) {
    return PostMessageA(reinterpret_cast<HWND>(target), WM_CLOSE, 0, 0);
}
