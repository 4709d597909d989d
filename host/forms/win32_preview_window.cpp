// Img_Prev of the preview window: a child window that shows the embedded picture unscaled from
// its top-left corner over black.
#include <windows.h>

#include "host/forms/win32_forms_ui.h"
#include "host/forms/win32_pictures.h"
#include "host/runtime/win32_window_class.h"
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
    explicit Win32PreviewPicture(const ScreenServices& screen) : PreviewPicture(screen) {}
    ~Win32PreviewPicture() override {
        if (IsWindow(window_)) DestroyWindow(window_);
        if (bitmap_) DeleteObject(bitmap_);
    }
    Win32PreviewPicture(const Win32PreviewPicture&) = delete;
    Win32PreviewPicture& operator=(const Win32PreviewPicture&) = delete;

    void Create() override {
        RegisterWindowClass(kPictureClass, PictureProc);
        if (!bitmap_) bitmap_ = LoadJpegResource(LR_JPEG_PREVIEW);
        const SIZE size = BitmapSize(bitmap_);
        window_ = CreateWindowExA(0, kPictureClass, "Img_Prev", WS_CHILD | WS_VISIBLE, 0, 0,
                                  size.cx, size.cy, reinterpret_cast<HWND>(FormHandle()), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bitmap_));
    }

  protected:
    void Move(const PixelRect& box) override {
        MoveWindow(window_, box.left, box.top, box.Width(), box.Height(), TRUE);
    }

  private:
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
