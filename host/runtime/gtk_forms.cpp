#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "host/runtime/gtk_services.h"

namespace {

constexpr uint32_t kSystemColourFlag = 0x80000000u;

class GtkFormWindow : public FormWindow {
  public:
    GtkFormWindow(const FormLook& look, const PixelSize& clientSize, FormWindowEvents& events)
        : events_(events), backColour_(look.backColour) {
        window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_title(GTK_WINDOW(window_), look.caption.c_str());
        gtk_window_set_resizable(GTK_WINDOW(window_), look.border == FormBorder::Sizable);
        gtk_window_set_decorated(GTK_WINDOW(window_), look.border != FormBorder::Borderless);
        gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
        gtk_widget_set_app_paintable(window_, TRUE);
        fixed_ = gtk_fixed_new();
        gtk_widget_set_size_request(fixed_, clientSize.width, clientSize.height);
        gtk_container_add(GTK_CONTAINER(window_), fixed_);
        g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
        g_signal_connect(window_, "destroy", G_CALLBACK(OnDestroy), this);
        g_signal_connect(window_, "draw", G_CALLBACK(OnDraw), this);
        g_signal_connect(window_, "configure-event", G_CALLBACK(OnConfigure), this);
        gtk_widget_show(fixed_);
        // Realized at once: a hidden form is found by its title, as a hidden window is found on
        // Windows.
        gtk_widget_realize(window_);
    }

    ~GtkFormWindow() override {
        if (window_) {
            g_signal_handlers_disconnect_by_data(window_, this);
            gtk_widget_destroy(window_);
        }
    }
    GtkFormWindow(const GtkFormWindow&) = delete;
    GtkFormWindow& operator=(const GtkFormWindow&) = delete;

    WindowHandle Handle() const override {
        GdkWindow* window = window_ ? gtk_widget_get_window(window_) : nullptr;
        return window ? GDK_WINDOW_XID(window) : 0;
    }

    // The GtkFixed inside the window.
    NativeWidget* ControlParent() const override {
        return window_ ? reinterpret_cast<NativeWidget*>(fixed_) : nullptr;
    }

    void SetVisible(bool visible) override {
        if (!window_) return;
        if (visible) {
            gtk_widget_show(window_);
        } else {
            gtk_widget_hide(window_);
        }
    }

    void SetCaption(const std::string& caption) override {
        if (window_) gtk_window_set_title(GTK_WINDOW(window_), caption.c_str());
    }

    // Without a frame of its own, the outer rectangle is the client's.
    void Move(const PixelRect& outer) override {
        if (!window_) return;
        const int width = outer.right - outer.left;
        const int height = outer.bottom - outer.top;
        gtk_widget_set_size_request(fixed_, width, height);
        gtk_window_move(GTK_WINDOW(window_), outer.left, outer.top);
        gtk_window_resize(GTK_WINDOW(window_), width, height);
        // At once, also while hidden: the window's place is asked before it shows, and a window
        // inside another program's window is placed by nobody else.
        if (GdkWindow* window = gtk_widget_get_window(window_)) {
            gdk_window_move_resize(window, outer.left, outer.top, width, height);
        }
    }

    PixelRect Bounds() const override {
        GdkWindow* window = window_ ? gtk_widget_get_window(window_) : nullptr;
        if (!window) return {};
        GdkRectangle frame{};
        gdk_window_get_frame_extents(window, &frame);
        return {frame.x, frame.y, frame.x + frame.width, frame.y + frame.height};
    }

    PixelSize ClientSize() const override {
        if (!window_) return {};
        int width = 0;
        int height = 0;
        gtk_window_get_size(GTK_WINDOW(window_), &width, &height);
        return {width, height};
    }

  private:
    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
        static_cast<GtkFormWindow*>(self)->events_.OnCloseRequest(UnloadMode::ControlMenu);
        return TRUE;
    }

    static void OnDestroy(GtkWidget*, gpointer data) {
        auto* self = static_cast<GtkFormWindow*>(data);
        self->window_ = nullptr;
        self->events_.OnDestroyedByOthers();
    }

    static gboolean OnConfigure(GtkWidget*, GdkEvent*, gpointer self) {
        static_cast<GtkFormWindow*>(self)->events_.OnResized();
        return FALSE;
    }

    // The form's own background colour under its controls.
    static gboolean OnDraw(GtkWidget* widget, cairo_t* cairo, gpointer data) {
        auto* self = static_cast<GtkFormWindow*>(data);
        if (self->backColour_ & kSystemColourFlag) {
            gtk_render_background(gtk_widget_get_style_context(widget), cairo, 0, 0,
                                  gtk_widget_get_allocated_width(widget),
                                  gtk_widget_get_allocated_height(widget));
        } else {
            cairo_set_source_rgb(cairo, (self->backColour_ & 0xFF) / 255.0,
                                 ((self->backColour_ >> 8) & 0xFF) / 255.0,
                                 ((self->backColour_ >> 16) & 0xFF) / 255.0);
            cairo_paint(cairo);
        }
        return FALSE;
    }

    FormWindowEvents& events_;
    uint32_t backColour_;
    GtkWidget* window_ = nullptr;
    GtkWidget* fixed_ = nullptr;
};

}  // namespace

std::unique_ptr<FormWindow> GtkFormPlatform::CreateFormWindow(const FormLook& look,
                                                              const PixelSize& clientSize,
                                                              FormWindowEvents& events) {
    return std::make_unique<GtkFormWindow>(look, clientSize, events);
}

// GTK's own modal windows (the file chooser, message boxes) keep the others from input; the
// forms need nothing more, as a modal form is the only one shown.
void GtkFormPlatform::RunEventLoop(WindowHandle, const std::function<bool()>& keepRunning) {
    while (keepRunning()) g_main_context_iteration(nullptr, TRUE);
}
