// The screen as the forms measure it: the primary monitor in twips, the pointer on every window.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "host/runtime/gtk_services.h"

namespace {

// The primary monitor, else the first one, else (with no monitor known) the whole X screen.
GdkRectangle PrimaryMonitorArea() {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
    GdkRectangle area{};
    if (monitor != nullptr) {
        gdk_monitor_get_geometry(monitor, &area);
    } else {
        Display* xDisplay = gdk_x11_display_get_xdisplay(display);
        area.width = DisplayWidth(xDisplay, DefaultScreen(xDisplay));
        area.height = DisplayHeight(xDisplay, DefaultScreen(xDisplay));
    }
    return area;
}

}  // namespace

double GtkScreen::Left() const {
    return PrimaryMonitorArea().x * TwipsPerPixelX();
}

double GtkScreen::Top() const {
    return PrimaryMonitorArea().y * TwipsPerPixelY();
}

double GtkScreen::Width() const {
    return PrimaryMonitorArea().width * TwipsPerPixelX();
}

double GtkScreen::Height() const {
    return PrimaryMonitorArea().height * TwipsPerPixelY();
}

void GtkScreen::SetMousePointer(MousePointer pointer) {
    GdkDisplay* display = gdk_display_get_default();
    GdkCursor* cursor =
        pointer == MousePointer::Hourglass ? gdk_cursor_new_from_name(display, "wait") : nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item; item = item->next) {
        if (GdkWindow* window = gtk_widget_get_window(GTK_WIDGET(item->data))) {
            gdk_window_set_cursor(window, cursor);
        }
    }
    g_list_free(windows);
    if (cursor) g_object_unref(cursor);
    gdk_display_flush(display);
}
