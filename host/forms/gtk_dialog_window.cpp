// The settings dialog's widgets: two painted surfaces (the form's client area and the panel
// Pic_C) that keep their gradient in an image and draw the labels, marks and frame over it, an
// editable combo box and four Command buttons. All decisions are SettingsDialog's.
// clang-format off
// The host's headers before the X headers, whose macros (None) clash with its names.
#include "host/controls/command_window.h"
#include "host/forms/dialog_design.h"
#include "host/forms/form_layout.h"
#include "host/forms/gtk_forms_ui.h"
#include "host/startup/gtk_services.h"
#include "resources/gdk_pictures.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
// clang-format on

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The track box's edit field and arrow, shrunk to the designed height.
constexpr char kTrackBoxStyle[] =
    "combobox entry { min-height: 0; padding: 0 2px; border-radius: 0; }"
    "combobox button { min-height: 0; min-width: 0; padding: 0 2px; border-radius: 0; }";

int SurfaceIndex(GradientSurface surface) {
    return surface == GradientSurface::Dialog ? 0 : 1;
}

bool IsKindChoice(const ControlLayout& layout) {
    return std::strcmp(layout.name, "Img_BGM") == 0 || std::strcmp(layout.name, "lbl_BGM") == 0;
}

// The dialog face and its installed stand-ins, as one fontconfig family list.
std::string DialogFamilies() {
    std::string families = kDialogFont.name;
    for (const char* fallback : kDialogFontFallbacks) families += std::string(",") + fallback;
    return families;
}

long DialogFontPixels() {
    return std::lround(kDialogFont.points * 96.0 / 72.0);
}

PangoFontDescription* DialogFont() {
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, DialogFamilies().c_str());
    pango_font_description_set_absolute_size(font, DialogFontPixels() * PANGO_SCALE);
    pango_font_description_set_weight(font, static_cast<PangoWeight>(kDialogFont.weight));
    return font;
}

void SetRgb(cairo_t* cairo, const Rgb& colour) {
    cairo_set_source_rgb(cairo, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
}

struct DrawnControl {
    const ControlLayout* layout;
    GdkRectangle box;
    std::string caption;
    GdkPixbuf* picture = nullptr;  // images only; not owned
};

class GtkDialogControls;

// The form's client area or the panel: a drawing area for the painted background and the
// controls drawn on it, under a GtkFixed that holds the surface's widgets.
struct Surface {
    GtkDialogControls* owner = nullptr;
    GtkWidget* area = nullptr;
    GtkWidget* holder = nullptr;
    Rgb backColour{};
    int width = 0;
    int height = 0;
    cairo_surface_t* background = nullptr;
    std::vector<DrawnControl> drawn;
};

class GtkDialogControls : public DialogControls {
  public:
    explicit GtkDialogControls(const ScreenServices& screen) : screen_(screen) {}

    ~GtkDialogControls() override {
        Destroy();
        for (GdkPixbuf* mark : marks_) {
            if (mark) g_object_unref(mark);
        }
        if (font_) pango_font_description_free(font_);
    }
    GtkDialogControls(const GtkDialogControls&) = delete;
    GtkDialogControls& operator=(const GtkDialogControls&) = delete;

    void Create(SettingsDialog& dialog) override {
        dialog_ = &dialog;
        auto* container = reinterpret_cast<GtkWidget*>(form_->ControlParent());
        if (!container) return;
        if (!font_) font_ = DialogFont();
        if (!marks_[0]) marks_[0] = LoadEmbeddedPicture("mark_off.jpg");
        if (!marks_[1]) marks_[1] = LoadEmbeddedPicture("mark_on.jpg");
        if (GdkPixbuf* icon = LoadEmbeddedPicture("lumen_ribbon.ico")) {
            gtk_window_set_icon(GTK_WINDOW(gtk_widget_get_toplevel(container)), icon);
            g_object_unref(icon);
        }

        const PixelSize client{TwipsToPixels(form_->ScaleWidth(), screen_.TwipsPerPixelX()),
                               TwipsToPixels(form_->ScaleHeight(), screen_.TwipsPerPixelY())};
        Surface& dialogSurface = surfaces_[SurfaceIndex(GradientSurface::Dialog)];
        MakeSurface(dialogSurface, container, {0, 0, client.width, client.height},
                    Rgb{0xC0, 0xC0, 0xC0});
        const ControlLayout* panel = FindDialogControl("Pic_C", 0);
        MakeSurface(surfaces_[SurfaceIndex(GradientSurface::Panel)], dialogSurface.holder,
                    PixelBox(*panel), panel->backColour);

        for (const ControlLayout& layout : kSettingsDialogControls) {
            if (layout.kind == ControlKind::PictureBox || layout.kind == ControlKind::ComboBox ||
                layout.kind == ControlKind::Command) {
                continue;
            }
            AddDrawn(SurfaceOf(layout), layout);
        }
        // Widgets are added in tab order, which is the order the keyboard visits them in.
        std::vector<GtkWidget*> chain[2];
        std::vector<lr::CommandWindow*> commandOf(kSettingsDialogControls.size(), nullptr);
        const std::optional<lr::FormDesign> design = SettingsDialogDesign();
        for (const ControlLayout* layout : DialogTabOrder()) {
            Surface& surface = SurfaceOf(*layout);
            const GdkRectangle box = PixelBox(*layout);
            if (layout->kind == ControlKind::ComboBox) {
                MakeTrackBox(surface.holder, box);
                chain[&surface == &dialogSurface ? 0 : 1].push_back(trackBox_);
                continue;
            }
            const lr::PixelRect bounds{box.x, box.y, box.width, box.height};
            std::unique_ptr<lr::CommandWindow> command =
                lr::CreateCommandWindow(reinterpret_cast<NativeWidget*>(surface.holder), bounds,
                                        CommandEvents(layout->name));
            if (!command) continue;
            const lr::ControlDesign* stored =
                design ? lr::FindControl(*design, layout->name) : nullptr;
            if (stored) {
                command->Button().UserControl_ReadProperties(stored->properties,
                                                             DialogAmbientFont());
            }
            command->Move(bounds);
            if (std::strcmp(layout->name, "Cmd_BGM") == 0) fileButton_ = command.get();
            chain[&surface == &dialogSurface ? 0 : 1].push_back(
                reinterpret_cast<GtkWidget*>(command->Handle()));
            commandOf[static_cast<size_t>(layout - kSettingsDialogControls.data())] = command.get();
            commands_.push_back(std::move(command));
        }
        for (lr::CommandWindow* command : commandOf) entries_.emplace_back(command);
        SetFocusChains(chain[0], chain[1]);
        gtk_widget_show_all(dialogSurface.area);
        gtk_widget_show_all(dialogSurface.holder);
        if (!commands_.empty() || trackBox_) FocusFirst();
    }

    void Destroy() override {
        if (unloadSource_) g_source_remove(unloadSource_);
        unloadSource_ = 0;
        entries_.clear();
        fileButton_ = nullptr;
        commands_.clear();
        trackBox_ = nullptr;
        Surface& dialogSurface = surfaces_[SurfaceIndex(GradientSurface::Dialog)];
        // The panel's widgets go with the form's surface.
        if (dialogSurface.holder) gtk_widget_destroy(dialogSurface.holder);
        if (dialogSurface.area) gtk_widget_destroy(dialogSurface.area);
        for (Surface& surface : surfaces_) {
            if (surface.background) cairo_surface_destroy(surface.background);
            surface = Surface{};
        }
    }

    // SettingsDialogView.
    double ScaleHeight(GradientSurface surface) const override {
        return surfaces_[SurfaceIndex(surface)].height * screen_.TwipsPerPixelY();
    }

    void PaintBackground(GradientSurface surface, const std::vector<GradientLine>& lines) override {
        Surface& target = surfaces_[SurfaceIndex(surface)];
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

    void SetFileButtonEnabled(bool enabled) override {
        if (fileButton_) fileButton_->Button().Enabled(enabled);
    }

    void ShowMark(int kind, bool chosen) override {
        Surface& panel = surfaces_[SurfaceIndex(GradientSurface::Panel)];
        for (DrawnControl& control : panel.drawn) {
            if (control.layout->kind == ControlKind::Image && control.layout->index == kind &&
                std::strcmp(control.layout->name, "Img_BGM") == 0) {
                control.picture = marks_[chosen ? 1 : 0];
            }
        }
        if (panel.area) gtk_widget_queue_draw(panel.area);
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

    void SetFileLabel(const std::string& text) override {
        Surface& panel = surfaces_[SurfaceIndex(GradientSurface::Panel)];
        for (DrawnControl& control : panel.drawn) {
            if (std::strcmp(control.layout->name, "lbl_Fname") == 0) control.caption = text;
        }
        if (panel.area) gtk_widget_queue_draw(panel.area);
    }

  private:
    void MakeSurface(Surface& surface, GtkWidget* parent, const GdkRectangle& box,
                     const Rgb& backColour) {
        surface.owner = this;
        surface.backColour = backColour;
        surface.width = box.width;
        surface.height = box.height;
        surface.area = gtk_drawing_area_new();
        gtk_widget_set_size_request(surface.area, box.width, box.height);
        gtk_widget_add_events(surface.area, GDK_BUTTON_PRESS_MASK);
        g_signal_connect(surface.area, "draw", G_CALLBACK(OnDraw), &surface);
        g_signal_connect(surface.area, "button-press-event", G_CALLBACK(OnPress), &surface);
        surface.holder = gtk_fixed_new();
        gtk_widget_set_size_request(surface.holder, box.width, box.height);
        gtk_fixed_put(GTK_FIXED(parent), surface.area, box.x, box.y);
        gtk_fixed_put(GTK_FIXED(parent), surface.holder, box.x, box.y);
    }

    Surface& SurfaceOf(const ControlLayout& layout) {
        return surfaces_[SurfaceIndex(layout.container == Container::Panel
                                          ? GradientSurface::Panel
                                          : GradientSurface::Dialog)];
    }

    GdkRectangle PixelBox(const ControlLayout& layout) const {
        const double x = screen_.TwipsPerPixelX();
        const double y = screen_.TwipsPerPixelY();
        return GdkRectangle{TwipsToPixels(layout.left, x), TwipsToPixels(layout.top, y),
                            TwipsToPixels(layout.width, x), TwipsToPixels(layout.height, y)};
    }

    PangoLayout* TextLayout(cairo_t* cairo, const std::string& text) const {
        PangoLayout* layout = pango_cairo_create_layout(cairo);
        pango_layout_set_font_description(layout, font_);
        pango_layout_set_text(layout, text.c_str(), -1);
        return layout;
    }

    void AddDrawn(Surface& surface, const ControlLayout& layout) {
        DrawnControl control{&layout, PixelBox(layout), layout.caption, nullptr};
        if (std::strcmp(layout.name, "Img_Ra") == 0) {
            control.picture = marks_[layout.index];
        }
        if (layout.kind == ControlKind::Label && (layout.style & kAutoSize)) {
            // The label takes the size of its caption.
            cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
            cairo_t* cairo = cairo_create(scratch);
            PangoLayout* text = TextLayout(cairo, control.caption);
            pango_layout_get_pixel_size(text, &control.box.width, &control.box.height);
            g_object_unref(text);
            cairo_destroy(cairo);
            cairo_surface_destroy(scratch);
        }
        surface.drawn.push_back(control);
    }

    void DrawControl(cairo_t* cairo, const DrawnControl& control) const {
        const ControlLayout& layout = *control.layout;
        const GdkRectangle& box = control.box;
        switch (layout.kind) {
            case ControlKind::Rectangle:
                cairo_set_source_rgb(cairo, 0, 0, 0);
                cairo_set_line_width(cairo, 1);
                cairo_rectangle(cairo, box.x + 0.5, box.y + 0.5, box.width - 1, box.height - 1);
                cairo_stroke(cairo);
                break;
            case ControlKind::Image:
                if (control.picture) {
                    cairo_save(cairo);
                    cairo_rectangle(cairo, box.x, box.y, box.width, box.height);
                    cairo_clip(cairo);
                    gdk_cairo_set_source_pixbuf(cairo, control.picture, box.x, box.y);
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

    void DrawLabel(cairo_t* cairo, const DrawnControl& control) const {
        const ControlLayout& layout = *control.layout;
        GdkRectangle box = control.box;
        cairo_save(cairo);
        if (layout.style & kSingleBorder) {
            // A sunken edge: dark above and left, light below and right.
            cairo_set_line_width(cairo, 1);
            cairo_set_source_rgb(cairo, 0.5, 0.5, 0.5);
            cairo_move_to(cairo, box.x + 0.5, box.y + box.height - 1);
            cairo_line_to(cairo, box.x + 0.5, box.y + 0.5);
            cairo_line_to(cairo, box.x + box.width - 1, box.y + 0.5);
            cairo_stroke(cairo);
            cairo_set_source_rgb(cairo, 1, 1, 1);
            cairo_move_to(cairo, box.x + box.width - 0.5, box.y);
            cairo_line_to(cairo, box.x + box.width - 0.5, box.y + box.height - 0.5);
            cairo_line_to(cairo, box.x, box.y + box.height - 0.5);
            cairo_stroke(cairo);
            box = {box.x + 2, box.y + 2, box.width - 4, box.height - 4};
        }
        cairo_rectangle(cairo, box.x, box.y, box.width, box.height);
        cairo_clip(cairo);
        PangoLayout* text = TextLayout(cairo, control.caption);
        if (layout.style & (kSingleBorder | kCentred)) {
            pango_layout_set_width(text, box.width * PANGO_SCALE);
            pango_layout_set_wrap(text, PANGO_WRAP_WORD_CHAR);
        }
        if (layout.style & kCentred) pango_layout_set_alignment(text, PANGO_ALIGN_CENTER);
        SetRgb(cairo, layout.foreColour);
        cairo_move_to(cairo, box.x, box.y);
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
        for (const DrawnControl& control : surface->drawn) {
            surface->owner->DrawControl(cairo, control);
        }
        return TRUE;
    }

    // Any mouse button on a mark or its caption chooses that kind.
    static gboolean OnPress(GtkWidget*, GdkEventButton* event, gpointer data) {
        auto* surface = static_cast<Surface*>(data);
        if (event->type != GDK_BUTTON_PRESS) return TRUE;
        for (const DrawnControl& control : surface->drawn) {
            const GdkRectangle& box = control.box;
            if (IsKindChoice(*control.layout) && event->x >= box.x && event->y >= box.y &&
                event->x < box.x + box.width && event->y < box.y + box.height) {
                surface->owner->dialog_->ChooseKind(control.layout->index);
                break;
            }
        }
        return TRUE;
    }

    void MakeTrackBox(GtkWidget* parent, const GdkRectangle& box) {
        trackBox_ = gtk_combo_box_text_new_with_entry();
        GtkWidget* entry = gtk_bin_get_child(GTK_BIN(trackBox_));
        gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);
        std::string css = kTrackBoxStyle;
        css += "combobox entry { font-size: " + std::to_string(DialogFontPixels()) +
               "px; font-family: \"" + kDialogFont.name + "\"";
        for (const char* fallback : kDialogFontFallbacks)
            css += std::string(", \"") + fallback + "\"";
        css += "; }";
        GtkCssProvider* style = gtk_css_provider_new();
        gtk_css_provider_load_from_data(style, css.c_str(), -1, nullptr);
        gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                                  GTK_STYLE_PROVIDER(style),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        g_object_unref(style);
        gtk_widget_set_size_request(trackBox_, box.width, box.height);
        gtk_fixed_put(GTK_FIXED(parent), trackBox_, box.x, box.y);
    }

    // GTK would visit the widgets by their places; the dialog's tab order differs.
    void SetFocusChains(const std::vector<GtkWidget*>& dialog,
                        const std::vector<GtkWidget*>& panel) {
        Surface& dialogSurface = surfaces_[SurfaceIndex(GradientSurface::Dialog)];
        Surface& panelSurface = surfaces_[SurfaceIndex(GradientSurface::Panel)];
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        GList* panelChain = nullptr;
        for (GtkWidget* widget : panel) panelChain = g_list_append(panelChain, widget);
        gtk_container_set_focus_chain(GTK_CONTAINER(panelSurface.holder), panelChain);
        g_list_free(panelChain);
        GList* dialogChain = g_list_append(nullptr, panelSurface.holder);
        for (GtkWidget* widget : dialog) dialogChain = g_list_append(dialogChain, widget);
        gtk_container_set_focus_chain(GTK_CONTAINER(dialogSurface.holder), dialogChain);
        g_list_free(dialogChain);
        G_GNUC_END_IGNORE_DEPRECATIONS
    }

    void FocusFirst() {
        if (trackBox_) gtk_widget_grab_focus(gtk_bin_get_child(GTK_BIN(trackBox_)));
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
    PangoFontDescription* font_ = nullptr;
    GdkPixbuf* marks_[2] = {nullptr, nullptr};  // Img_Ra(0) and Img_Ra(1)
    Surface surfaces_[2];
    GtkWidget* trackBox_ = nullptr;
    unsigned unloadSource_ = 0;
    lr::CommandWindow* fileButton_ = nullptr;
    std::vector<std::unique_ptr<lr::CommandWindow>> commands_;
};

}  // namespace

std::unique_ptr<DialogControls> MakeDialogControls(const ScreenServices& screen) {
    return std::make_unique<GtkDialogControls>(screen);
}
