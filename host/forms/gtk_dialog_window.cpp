// The settings dialog's widgets: two painted surfaces (the form's client area and the panel
// Pic_C) that keep their gradient in an image and draw the labels, marks and frame over it, an
// editable combo box and four Command buttons. All decisions are SettingsDialog's.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "host/controls/command_window.h"
#include "host/forms/form_layout.h"
#include "host/forms/gtk_forms_ui.h"
#include "host/runtime/gtk_services.h"
#include "resources/gdk_pictures.h"

namespace {

// The track box's edit field and arrow, shrunk to the designed height.
constexpr char kTrackBoxStyle[] =
    "combobox entry { min-height: 0; padding: 0 2px; border-radius: 0; }"
    "combobox button { min-height: 0; min-width: 0; padding: 0 2px; border-radius: 0; }";

int DialogFontPixels() {
    return FontPixelHeight(kDialogFont.points, 96);
}

PangoFontDescription* DialogFont() {
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, FamilyList(kDialogFont.name).c_str());
    pango_font_description_set_absolute_size(font, DialogFontPixels() * PANGO_SCALE);
    pango_font_description_set_weight(font, static_cast<PangoWeight>(kDialogFont.weight));
    return font;
}

void SetRgb(cairo_t* cairo, const Rgb& colour) {
    cairo_set_source_rgb(cairo, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
}

class GtkDialogControls;

// The form's client area or the panel: a drawing area for the painted background and the
// controls drawn on it, under a GtkFixed that holds the surface's widgets.
struct Surface {
    GtkDialogControls* owner = nullptr;
    GradientSurface which = GradientSurface::Dialog;
    GtkWidget* area = nullptr;
    GtkWidget* holder = nullptr;
    Rgb backColour{};
    int width = 0;
    int height = 0;
    cairo_surface_t* background = nullptr;
    std::vector<GtkWidget*> focusChain;  // the holder's widgets in tab order
};

class GtkDialogControls : public DialogControls {
  public:
    explicit GtkDialogControls(const ScreenServices& screen) : DialogControls(screen) {}

    ~GtkDialogControls() override {
        Destroy();
        for (GdkPixbuf* mark : marks_) {
            if (mark) g_object_unref(mark);
        }
        if (font_) pango_font_description_free(font_);
    }
    GtkDialogControls(const GtkDialogControls&) = delete;
    GtkDialogControls& operator=(const GtkDialogControls&) = delete;

    // SettingsDialogView.
    double ScaleHeight(GradientSurface surface) const override {
        return SurfaceFor(surface).height * screen_.TwipsPerPixelY();
    }

    void PaintBackground(GradientSurface surface, const std::vector<GradientLine>& lines) override {
        Surface& target = SurfaceFor(surface);
        if (!target.area) return;
        const std::vector<Rgb> rows = GradientRows(lines, screen_.TwipsPerPixelY(), target.height);
        cairo_surface_t* picture =
            cairo_image_surface_create(CAIRO_FORMAT_RGB24, target.width, target.height);
        cairo_t* cairo = cairo_create(picture);
        for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
            SetRgb(cairo, rows[static_cast<size_t>(y)]);
            cairo_rectangle(cairo, 0, y, target.width, 1);
            cairo_fill(cairo);
        }
        cairo_destroy(cairo);
        if (target.background) cairo_surface_destroy(target.background);
        target.background = picture;
        gtk_widget_queue_draw(target.area);
    }

    // Once the current event is over, as a posted message would.
    void Unload() override {
        if (unloadSource_) return;
        unloadSource_ = g_idle_add(
            [](gpointer data) -> gboolean {
                auto* self = static_cast<GtkDialogControls*>(data);
                self->unloadSource_ = 0;
                self->form_->Unload();
                return G_SOURCE_REMOVE;
            },
            this);
    }

    void SetRepeatEnabled(bool enabled) override {
        if (trackBox_) gtk_widget_set_sensitive(trackBox_, enabled);
    }

    std::string RepeatText() const override {
        if (!trackBox_) return std::string();
        return gtk_entry_get_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(trackBox_))));
    }

    void SetRepeatText(const std::string& text) override {
        if (trackBox_) {
            gtk_entry_set_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(trackBox_))), text.c_str());
        }
    }

    void AddRepeatEntry(const std::string& text) override {
        if (trackBox_) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(trackBox_), text.c_str());
    }

  protected:
    bool MakeSurfaces(const PixelRect& panelBox, const Rgb& panelColour) override {
        auto* container = reinterpret_cast<GtkWidget*>(form_->ControlParent());
        if (!container) return false;
        if (!font_) font_ = DialogFont();
        if (!marks_[0]) marks_[0] = LoadEmbeddedPicture("mark_off.jpg");
        if (!marks_[1]) marks_[1] = LoadEmbeddedPicture("mark_on.jpg");
        if (GdkPixbuf* icon = LoadEmbeddedPicture("lumen_ribbon.ico")) {
            gtk_window_set_icon(GTK_WINDOW(gtk_widget_get_toplevel(container)), icon);
            g_object_unref(icon);
        }
        const PixelSize client{TwipsToPixels(form_->ScaleWidth(), screen_.TwipsPerPixelX()),
                               TwipsToPixels(form_->ScaleHeight(), screen_.TwipsPerPixelY())};
        Surface& dialog = SurfaceFor(GradientSurface::Dialog);
        MakeSurface(dialog, GradientSurface::Dialog, container,
                    SizedRect(0, 0, client.width, client.height), Rgb{0xC0, 0xC0, 0xC0});
        MakeSurface(SurfaceFor(GradientSurface::Panel), GradientSurface::Panel, dialog.holder,
                    panelBox, panelColour);
        return true;
    }

    PixelSize TextSize(const std::string& text) const override {
        cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
        cairo_t* cairo = cairo_create(scratch);
        PangoLayout* layout = TextLayout(cairo, text);
        PixelSize size;
        pango_layout_get_pixel_size(layout, &size.width, &size.height);
        g_object_unref(layout);
        cairo_destroy(cairo);
        cairo_surface_destroy(scratch);
        return size;
    }

    void MakeTrackBox(GradientSurface surface, const PixelRect& box) override {
        trackBox_ = gtk_combo_box_text_new_with_entry();
        GtkWidget* entry = gtk_bin_get_child(GTK_BIN(trackBox_));
        gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);
        std::string css = kTrackBoxStyle;
        css += "combobox entry { font-size: " + std::to_string(DialogFontPixels()) +
               "px; font-family: \"" + kDialogFont.name + "\"";
        for (const char* fallback : kFallbackFaces) css += std::string(", \"") + fallback + "\"";
        css += "; }";
        GtkCssProvider* style = gtk_css_provider_new();
        gtk_css_provider_load_from_data(style, css.c_str(), -1, nullptr);
        gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                                  GTK_STYLE_PROVIDER(style),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        g_object_unref(style);
        gtk_widget_set_size_request(trackBox_, box.Width(), box.Height());
        Surface& parent = SurfaceFor(surface);
        gtk_fixed_put(GTK_FIXED(parent.holder), trackBox_, box.left, box.top);
        parent.focusChain.push_back(trackBox_);
    }

    std::unique_ptr<CommandWindow> MakeCommand(GradientSurface surface, const PixelRect& box,
                                               CommandEvents events) override {
        Surface& parent = SurfaceFor(surface);
        std::unique_ptr<CommandWindow> command = CreateCommandWindow(
            reinterpret_cast<NativeWidget*>(parent.holder), box, std::move(events));
        if (command) parent.focusChain.push_back(reinterpret_cast<GtkWidget*>(command->Handle()));
        return command;
    }

    void Finish() override {
        SetFocusChains();
        Surface& dialog = SurfaceFor(GradientSurface::Dialog);
        gtk_widget_show_all(dialog.area);
        gtk_widget_show_all(dialog.holder);
        if (trackBox_) gtk_widget_grab_focus(gtk_bin_get_child(GTK_BIN(trackBox_)));
    }

    void TakeDown() override {
        if (unloadSource_) g_source_remove(unloadSource_);
        unloadSource_ = 0;
        trackBox_ = nullptr;
        Surface& dialog = SurfaceFor(GradientSurface::Dialog);
        // The panel's widgets go with the form's surface.
        if (dialog.holder) gtk_widget_destroy(dialog.holder);
        if (dialog.area) gtk_widget_destroy(dialog.area);
        for (Surface& surface : surfaces_) {
            if (surface.background) cairo_surface_destroy(surface.background);
            surface = Surface{};
        }
    }

    void Redraw(GradientSurface surface, const PixelRect& box) override {
        const Surface& target = SurfaceFor(surface);
        if (target.area) {
            gtk_widget_queue_draw_area(target.area, box.left, box.top, box.Width(), box.Height());
        }
    }

  private:
    Surface& SurfaceFor(GradientSurface surface) {
        return surfaces_[surface == GradientSurface::Dialog ? 0 : 1];
    }
    const Surface& SurfaceFor(GradientSurface surface) const {
        return surfaces_[surface == GradientSurface::Dialog ? 0 : 1];
    }

    void MakeSurface(Surface& surface, GradientSurface which, GtkWidget* parent,
                     const PixelRect& box, const Rgb& backColour) {
        surface.owner = this;
        surface.which = which;
        surface.backColour = backColour;
        surface.width = box.Width();
        surface.height = box.Height();
        surface.area = gtk_drawing_area_new();
        gtk_widget_set_size_request(surface.area, box.Width(), box.Height());
        gtk_widget_add_events(surface.area, GDK_BUTTON_PRESS_MASK);
        g_signal_connect(surface.area, "draw", G_CALLBACK(OnDraw), &surface);
        g_signal_connect(surface.area, "button-press-event", G_CALLBACK(OnPress), &surface);
        surface.holder = gtk_fixed_new();
        gtk_widget_set_size_request(surface.holder, box.Width(), box.Height());
        gtk_fixed_put(GTK_FIXED(parent), surface.area, box.left, box.top);
        gtk_fixed_put(GTK_FIXED(parent), surface.holder, box.left, box.top);
    }

    PangoLayout* TextLayout(cairo_t* cairo, const std::string& text) const {
        PangoLayout* layout = pango_cairo_create_layout(cairo);
        pango_layout_set_font_description(layout, font_);
        pango_layout_set_text(layout, text.c_str(), -1);
        return layout;
    }

    void DrawControl(cairo_t* cairo, const DrawnControl& control) const {
        const ControlLayout& layout = *control.layout;
        const PixelRect& box = control.box;
        switch (layout.kind) {
            case ControlKind::Rectangle:
                cairo_set_source_rgb(cairo, 0, 0, 0);
                cairo_set_line_width(cairo, 1);
                cairo_rectangle(cairo, box.left + 0.5, box.top + 0.5, box.Width() - 1,
                                box.Height() - 1);
                cairo_stroke(cairo);
                break;
            case ControlKind::Image:
                if (control.picture != kNoPicture && marks_[control.picture]) {
                    cairo_save(cairo);
                    cairo_rectangle(cairo, box.left, box.top, box.Width(), box.Height());
                    cairo_clip(cairo);
                    gdk_cairo_set_source_pixbuf(cairo, marks_[control.picture], box.left, box.top);
                    cairo_paint(cairo);
                    cairo_restore(cairo);
                }
                break;
            case ControlKind::Label:
                DrawLabel(cairo, control);
                break;
            default:
                break;
        }
    }

    // The file label holds a path in the file system's bytes, which need not be UTF-8.
    static std::string ShownCaption(const DrawnControl& control) {
        if (std::strcmp(control.layout->name, "lbl_Fname") != 0) return control.caption;
        gchar* shown = g_filename_display_name(control.caption.c_str());
        std::string text(shown);
        g_free(shown);
        return text;
    }

    void DrawLabel(cairo_t* cairo, const DrawnControl& control) const {
        const ControlLayout& layout = *control.layout;
        int x = control.box.left;
        int y = control.box.top;
        int width = control.box.Width();
        int height = control.box.Height();
        cairo_save(cairo);
        if (layout.style & kSingleBorder) {
            // A sunken edge: dark above and left, light below and right.
            cairo_set_line_width(cairo, 1);
            cairo_set_source_rgb(cairo, 0.5, 0.5, 0.5);
            cairo_move_to(cairo, x + 0.5, y + height - 1);
            cairo_line_to(cairo, x + 0.5, y + 0.5);
            cairo_line_to(cairo, x + width - 1, y + 0.5);
            cairo_stroke(cairo);
            cairo_set_source_rgb(cairo, 1, 1, 1);
            cairo_move_to(cairo, x + width - 0.5, y);
            cairo_line_to(cairo, x + width - 0.5, y + height - 0.5);
            cairo_line_to(cairo, x, y + height - 0.5);
            cairo_stroke(cairo);
            x += 2;
            y += 2;
            width -= 4;
            height -= 4;
        }
        cairo_rectangle(cairo, x, y, width, height);
        cairo_clip(cairo);
        PangoLayout* text = TextLayout(cairo, ShownCaption(control));
        if (layout.style & (kSingleBorder | kCentred)) {
            pango_layout_set_width(text, width * PANGO_SCALE);
            pango_layout_set_wrap(text, PANGO_WRAP_WORD_CHAR);
        }
        if (layout.style & kCentred) pango_layout_set_alignment(text, PANGO_ALIGN_CENTER);
        SetRgb(cairo, layout.foreColour);
        cairo_move_to(cairo, x, y);
        pango_cairo_show_layout(cairo, text);
        g_object_unref(text);
        cairo_restore(cairo);
    }

    static gboolean OnDraw(GtkWidget*, cairo_t* cairo, gpointer data) {
        auto* surface = static_cast<Surface*>(data);
        if (surface->background) {
            cairo_set_source_surface(cairo, surface->background, 0, 0);
        } else {
            SetRgb(cairo, surface->backColour);
        }
        cairo_paint(cairo);
        for (const DrawnControl& control : surface->owner->Drawn(surface->which)) {
            surface->owner->DrawControl(cairo, control);
        }
        return TRUE;
    }

    // Any mouse button.
    static gboolean OnPress(GtkWidget*, GdkEventButton* event, gpointer data) {
        auto* surface = static_cast<Surface*>(data);
        if (event->type != GDK_BUTTON_PRESS) return TRUE;
        const PixelPoint point{static_cast<int32_t>(std::floor(event->x)),
                               static_cast<int32_t>(std::floor(event->y))};
        surface->owner->MouseDown(surface->which, point);
        return TRUE;
    }

    // GTK would visit the widgets by their places; the dialog's tab order differs.
    void SetFocusChains() {
        Surface& dialog = SurfaceFor(GradientSurface::Dialog);
        Surface& panel = SurfaceFor(GradientSurface::Panel);
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        GList* panelChain = nullptr;
        for (GtkWidget* widget : panel.focusChain) panelChain = g_list_append(panelChain, widget);
        gtk_container_set_focus_chain(GTK_CONTAINER(panel.holder), panelChain);
        g_list_free(panelChain);
        GList* dialogChain = g_list_append(nullptr, panel.holder);
        for (GtkWidget* widget : dialog.focusChain)
            dialogChain = g_list_append(dialogChain, widget);
        gtk_container_set_focus_chain(GTK_CONTAINER(dialog.holder), dialogChain);
        g_list_free(dialogChain);
        G_GNUC_END_IGNORE_DEPRECATIONS
    }

    PangoFontDescription* font_ = nullptr;
    GdkPixbuf* marks_[2] = {nullptr, nullptr};  // Img_Ra(0) and Img_Ra(1)
    Surface surfaces_[2];
    GtkWidget* trackBox_ = nullptr;
    unsigned unloadSource_ = 0;
};

}  // namespace

std::unique_ptr<DialogControls> MakeDialogControls(const ScreenServices& screen) {
    return std::make_unique<GtkDialogControls>(screen);
}
