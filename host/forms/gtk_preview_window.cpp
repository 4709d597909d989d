// Img_Prev of the preview window: a drawing area that shows the embedded picture unscaled from
// its top-left corner over black.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "host/forms/gtk_forms_ui.h"
#include "host/runtime/gtk_services.h"
#include "resources/gdk_pictures.h"

namespace {

class GtkPreviewPicture : public PreviewPicture {
  public:
    explicit GtkPreviewPicture(const ScreenServices& screen) : PreviewPicture(screen) {}
    ~GtkPreviewPicture() override {
        if (picture_) g_object_unref(picture_);
    }
    GtkPreviewPicture(const GtkPreviewPicture&) = delete;
    GtkPreviewPicture& operator=(const GtkPreviewPicture&) = delete;

    void Create() override {
        if (!picture_) picture_ = LoadEmbeddedPicture("preview.jpg");
        auto* container = reinterpret_cast<GtkWidget*>(ControlParent());
        if (!container) return;
        area_ = gtk_drawing_area_new();
        if (picture_) {
            gtk_widget_set_size_request(area_, gdk_pixbuf_get_width(picture_),
                                        gdk_pixbuf_get_height(picture_));
        }
        g_signal_connect(area_, "draw", G_CALLBACK(Draw), this);
        gtk_fixed_put(GTK_FIXED(container), area_, 0, 0);
        gtk_widget_show(area_);
    }

  protected:
    void Move(const PixelRect& box) override {
        if (!area_) return;
        gtk_fixed_move(GTK_FIXED(gtk_widget_get_parent(area_)), area_, box.left, box.top);
        gtk_widget_set_size_request(area_, box.Width(), box.Height());
    }

  private:
    static gboolean Draw(GtkWidget*, cairo_t* cairo, gpointer data) {
        auto* self = static_cast<GtkPreviewPicture*>(data);
        cairo_set_source_rgb(cairo, 0, 0, 0);
        cairo_paint(cairo);
        if (self->picture_) {
            gdk_cairo_set_source_pixbuf(cairo, self->picture_, 0, 0);
            cairo_paint(cairo);
        }
        return TRUE;
    }

    GtkWidget* area_ = nullptr;
    GdkPixbuf* picture_ = nullptr;
};

}  // namespace

std::unique_ptr<PreviewPicture> MakePreviewPicture(const ScreenServices& screen) {
    return std::make_unique<GtkPreviewPicture>(screen);
}

int32_t X11CloseRequests::PostClose(WindowHandle target) {
    Display* display = gdk_x11_get_default_xdisplay();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(target);
    event.xclient.message_type = gdk_x11_get_xatom_by_name("WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(gdk_x11_get_xatom_by_name("WM_DELETE_WINDOW"));
    event.xclient.data.l[1] = CurrentTime;
    gdk_x11_display_error_trap_push(gdk_display_get_default());
    const Status sent =
        XSendEvent(display, static_cast<Window>(target), False, NoEventMask, &event);
    XFlush(display);
    gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default());
    return sent ? 1 : 0;
}
