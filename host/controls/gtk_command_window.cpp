// The Command button's GTK widget: a drawing area over a persistent cairo image surface for the
// face, the skins decoded from the embedded pictures, a 100 ms GLib timeout for the hover poll.
// All rules live in Command; this file only draws and delivers events.
#include <gdk/gdk.h>
#include <gtk/gtk.h>

#include <string>

#include "host/controls/command_window.h"
#include "resources/gdk_pictures.h"

namespace {

WindowId IdOf(GdkWindow* window) {
    return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(window));
}

constexpr const char* kSkinFiles[kSkinCount] = {
    "skin_normal.bmp",   "skin_highlight.bmp", "skin_highlightselect.bmp",
    "skin_selected.bmp", "skin_pressed.bmp",   "skin_disable.bmp",
};
// The face's background where nothing is drawn: the system's button face.
constexpr double kButtonFace = 0xF0 / 255.0;

void SetColour(cairo_t* cairo, uint32_t colour) {
    // The high bit names a system colour; the captions use black or grey ones.
    if (colour & 0x80000000u) colour = 0;
    cairo_set_source_rgb(cairo, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                         ((colour >> 16) & 0xFF) / 255.0);
}

class GtkCommandWindow final : public CommandWindow, private ButtonSurface, private HoverProbe {
  public:
    explicit GtkCommandWindow(CommandEvents events) : button_(*this, *this, std::move(events)) {}

    ~GtkCommandWindow() override {
        if (timer_) g_source_remove(timer_);
        if (area_) {
            g_signal_handlers_disconnect_by_data(area_, this);
            gtk_widget_destroy(area_);
        }
        if (face_) cairo_surface_destroy(face_);
        for (GdkPixbuf* skin : skins_) {
            if (skin) g_object_unref(skin);
        }
    }
    GtkCommandWindow(const GtkCommandWindow&) = delete;
    GtkCommandWindow& operator=(const GtkCommandWindow&) = delete;

    bool Create(GtkWidget* parent, const PixelRect& bounds) {
        if (!parent || !GTK_IS_FIXED(parent)) return false;
        for (int i = 0; i < kSkinCount; ++i) skins_[i] = LoadEmbeddedPicture(kSkinFiles[i]);
        area_ = gtk_drawing_area_new();
        gtk_widget_set_can_focus(area_, TRUE);
        gtk_widget_add_events(area_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                         GDK_POINTER_MOTION_MASK | GDK_FOCUS_CHANGE_MASK);
        g_signal_connect(area_, "draw", G_CALLBACK(OnDraw), this);
        g_signal_connect(area_, "size-allocate", G_CALLBACK(OnSize), this);
        g_signal_connect(area_, "button-press-event", G_CALLBACK(OnPress), this);
        g_signal_connect(area_, "button-release-event", G_CALLBACK(OnRelease), this);
        g_signal_connect(area_, "motion-notify-event", G_CALLBACK(OnMotion), this);
        g_signal_connect(area_, "grab-broken-event", G_CALLBACK(OnGrabBroken), this);
        g_signal_connect(area_, "focus-in-event", G_CALLBACK(OnFocusIn), this);
        g_signal_connect(area_, "focus-out-event", G_CALLBACK(OnFocusOut), this);
        g_signal_connect(area_, "destroy", G_CALLBACK(OnDestroy), this);
        gtk_fixed_put(GTK_FIXED(parent), area_, bounds.left, bounds.top);
        gtk_widget_set_size_request(area_, bounds.Width(), bounds.Height());
        size_ = bounds;
        gtk_widget_show(area_);
        ResizeFace(bounds.Width(), bounds.Height());
        return true;
    }

    Command& Button() override { return button_; }
    NativeWidget* Handle() const override { return reinterpret_cast<NativeWidget*>(area_); }

    void Move(const PixelRect& bounds) override {
        if (!area_) return;
        gtk_fixed_move(GTK_FIXED(gtk_widget_get_parent(area_)), area_, bounds.left, bounds.top);
        gtk_widget_set_size_request(area_, bounds.Width(), bounds.Height());
        if (bounds.Width() != size_.Width() || bounds.Height() != size_.Height()) {
            size_ = bounds;
            ResizeFace(bounds.Width(), bounds.Height());
            button_.UserControl_Resize();
        }
    }

  private:
    // ButtonSurface
    SurfaceMetrics Metrics() const override {
        SurfaceMetrics metrics;
        metrics.outerWidthPx = metrics.innerWidthPx = size_.Width();
        metrics.outerHeightPx = metrics.innerHeightPx = size_.Height();
        return metrics;
    }

    void Clear() override {
        if (!face_) return;
        cairo_t* cairo = cairo_create(face_);
        cairo_set_source_rgb(cairo, kButtonFace, kButtonFace, kButtonFace);
        cairo_paint(cairo);
        cairo_destroy(cairo);
    }

    void FillGradient(const std::array<GradientVertex, 2>& vertices) override {
        if (!face_) return;
        cairo_t* cairo = cairo_create(face_);
        cairo_pattern_t* pattern = cairo_pattern_create_linear(0, vertices[0].y, 0, vertices[1].y);
        for (int i = 0; i < 2; ++i) {
            const GradientVertex& v = vertices[static_cast<size_t>(i)];
            cairo_pattern_add_color_stop_rgb(pattern, i, v.red / 65535.0, v.green / 65535.0,
                                             v.blue / 65535.0);
        }
        cairo_rectangle(cairo, vertices[0].x, vertices[0].y, vertices[1].x - vertices[0].x,
                        vertices[1].y - vertices[0].y);
        cairo_set_source(cairo, pattern);
        cairo_fill(cairo);
        cairo_pattern_destroy(pattern);
        cairo_destroy(cairo);
    }

    void CopySkin(Skin skin, const PixelRect& from, const PixelRect& to) override {
        GdkPixbuf* picture = skins_[static_cast<int>(skin)];
        if (!face_ || !picture || from.Width() <= 0 || from.Height() <= 0) return;
        cairo_t* cairo = cairo_create(face_);
        cairo_rectangle(cairo, to.left, to.top, to.Width(), to.Height());
        cairo_clip(cairo);
        cairo_translate(cairo, to.left, to.top);
        cairo_scale(cairo, static_cast<double>(to.Width()) / from.Width(),
                    static_cast<double>(to.Height()) / from.Height());
        gdk_cairo_set_source_pixbuf(cairo, picture, -from.left, -from.top);
        // Stretched like the system's colour-on-colour mode: nearest pixels, no blending.
        cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
        cairo_paint(cairo);
        cairo_destroy(cairo);
    }

    void Refresh() override {
        if (area_) gtk_widget_queue_draw(area_);
    }

    void SetOpaque(bool opaque) override {
        opaque_ = opaque;
        Refresh();
    }

    void ShowCaption(const CaptionLabel& label) override {
        caption_ = label;
        Refresh();
    }

    // HoverProbe
    void StartPolling(int intervalMs) override {
        if (timer_) g_source_remove(timer_);
        timer_ = g_timeout_add(static_cast<unsigned>(intervalMs), OnHoverTimer, this);
    }

    WindowId WindowUnderCursor() const override {
        GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
        GdkWindow* window =
            gdk_device_get_window_at_position(gdk_seat_get_pointer(seat), nullptr, nullptr);
        return IdOf(window);
    }

    WindowId OwnWindow() const override {
        return IdOf(area_ ? gtk_widget_get_window(area_) : nullptr);
    }

    std::optional<WindowId> ParentWindow() const override {
        GtkWidget* top = area_ ? gtk_widget_get_toplevel(area_) : nullptr;
        if (!top || !gtk_widget_get_window(top)) return std::nullopt;
        return IdOf(gtk_widget_get_window(top));
    }

    // Events
    static int ButtonNumber(unsigned gdkButton) {
        switch (gdkButton) {
            case 1:
                return kLeftButton;
            case 2:
                return kMiddleButton;
            case 3:
                return kRightButton;
            default:
                return 0;
        }
    }

    static gboolean OnPress(GtkWidget* widget, GdkEventButton* event, gpointer data) {
        auto* self = static_cast<GtkCommandWindow*>(data);
        const int number = ButtonNumber(event->button);
        if (event->type != GDK_BUTTON_PRESS && event->type != GDK_2BUTTON_PRESS) return TRUE;
        if (number == 0) return TRUE;
        if (number == kLeftButton && !gtk_widget_has_focus(widget)) gtk_widget_grab_focus(widget);
        ++self->held_;
        self->button_.UserControl_MouseDown(number);
        return TRUE;
    }

    static gboolean OnRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
        auto* self = static_cast<GtkCommandWindow*>(data);
        const int number = ButtonNumber(event->button);
        if (number == 0) return TRUE;
        if (self->held_ > 0) --self->held_;
        // Click may destroy this widget and this object: nothing may follow.
        self->button_.UserControl_MouseUp(number);
        return TRUE;
    }

    static gboolean OnMotion(GtkWidget*, GdkEventMotion*, gpointer data) {
        static_cast<GtkCommandWindow*>(data)->button_.UserControl_MouseMove();
        return TRUE;
    }

    static gboolean OnGrabBroken(GtkWidget*, GdkEvent*, gpointer data) {
        auto* self = static_cast<GtkCommandWindow*>(data);
        if (self->held_ > 0) {
            self->held_ = 0;
            self->button_.UserControl_CaptureLost();
        }
        return FALSE;
    }

    static gboolean OnFocusIn(GtkWidget*, GdkEvent*, gpointer data) {
        static_cast<GtkCommandWindow*>(data)->button_.UserControl_GotFocus();
        return FALSE;
    }

    static gboolean OnFocusOut(GtkWidget*, GdkEvent*, gpointer data) {
        static_cast<GtkCommandWindow*>(data)->button_.UserControl_LostFocus();
        return FALSE;
    }

    static gboolean OnHoverTimer(gpointer data) {
        static_cast<GtkCommandWindow*>(data)->button_.TmrMouse_Timer();
        return G_SOURCE_CONTINUE;
    }

    static void OnSize(GtkWidget*, GdkRectangle* allocation, gpointer data) {
        auto* self = static_cast<GtkCommandWindow*>(data);
        if (allocation->width == self->size_.Width() &&
            allocation->height == self->size_.Height()) {
            return;
        }
        self->size_.right = self->size_.left + allocation->width;
        self->size_.bottom = self->size_.top + allocation->height;
        self->ResizeFace(allocation->width, allocation->height);
        self->button_.UserControl_Resize();
    }

    // The widget went with its form's window.
    static void OnDestroy(GtkWidget*, gpointer data) {
        auto* self = static_cast<GtkCommandWindow*>(data);
        self->area_ = nullptr;
        if (self->timer_) g_source_remove(self->timer_);
        self->timer_ = 0;
    }

    // Drawing
    void ResizeFace(int width, int height) {
        cairo_surface_t* face = cairo_image_surface_create(
            CAIRO_FORMAT_RGB24, width > 0 ? width : 1, height > 0 ? height : 1);
        cairo_t* cairo = cairo_create(face);
        cairo_set_source_rgb(cairo, kButtonFace, kButtonFace, kButtonFace);
        cairo_paint(cairo);
        // What was drawn stays where it was, as on a persistent image that grows.
        if (face_) {
            cairo_set_source_surface(cairo, face_, 0, 0);
            cairo_paint(cairo);
            cairo_surface_destroy(face_);
        }
        cairo_destroy(cairo);
        face_ = face;
    }

    static gboolean OnDraw(GtkWidget*, cairo_t* cairo, gpointer data) {
        auto* self = static_cast<GtkCommandWindow*>(data);
        // Transparent: the parent's background shows through, as GTK draws it first.
        if (self->opaque_ && self->face_) {
            cairo_set_source_surface(cairo, self->face_, 0, 0);
            cairo_paint(cairo);
        }
        self->DrawCaption(cairo);
        return TRUE;
    }

    void DrawCaption(cairo_t* cairo) const {
        if (caption_.text.empty()) return;
        const PixelRect box = CaptionBox(caption_, Metrics());
        const double left = box.left;
        const double top = box.top;
        PangoLayout* layout = pango_cairo_create_layout(cairo);
        PangoFontDescription* font = pango_font_description_new();
        pango_font_description_set_family(font, FamilyList(caption_.font.face).c_str());
        pango_font_description_set_absolute_size(
            font, FontPixelHeight(caption_.font.sizePoints, 96) * PANGO_SCALE);
        pango_font_description_set_weight(
            font, caption_.font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
        pango_layout_set_font_description(layout, font);
        pango_font_description_free(font);
        pango_layout_set_text(layout, caption_.text.c_str(), -1);
        pango_layout_set_width(layout, box.Width() * PANGO_SCALE);
        pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);

        cairo_save(cairo);
        cairo_rectangle(cairo, left, top, box.Width(), box.Height());
        cairo_clip(cairo);
        if (caption_.enabled) {
            SetColour(cairo, caption_.colour);
            cairo_move_to(cairo, left, top);
            pango_cairo_show_layout(cairo, layout);
        } else {
            // Greyed: a light copy one pixel down and right under a shadow-coloured one.
            cairo_set_source_rgb(cairo, 1, 1, 1);
            cairo_move_to(cairo, left + 1, top + 1);
            pango_cairo_show_layout(cairo, layout);
            cairo_set_source_rgb(cairo, 0xA0 / 255.0, 0xA0 / 255.0, 0xA0 / 255.0);
            cairo_move_to(cairo, left, top);
            pango_cairo_show_layout(cairo, layout);
        }
        cairo_restore(cairo);
        g_object_unref(layout);
    }

    GtkWidget* area_ = nullptr;
    unsigned timer_ = 0;
    GdkPixbuf* skins_[kSkinCount] = {};
    cairo_surface_t* face_ = nullptr;
    PixelRect size_{};
    bool opaque_ = true;
    int held_ = 0;
    CaptionLabel caption_;
    Command button_;  // last: it draws through the members above
};

}  // namespace

// The parent is the GtkFixed of the form or panel that holds the button.
std::unique_ptr<CommandWindow> CreateCommandWindow(NativeWidget* parent, const PixelRect& bounds,
                                                   CommandEvents events) {
    auto window = std::make_unique<GtkCommandWindow>(std::move(events));
    if (!window->Create(reinterpret_cast<GtkWidget*>(parent), bounds)) return nullptr;
    return window;
}
