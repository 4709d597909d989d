// The screen as the forms measure it: the X screen's size in twips, the pointer on every window.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "host/runtime/gtk_services.h"

double GtkScreen::Width() const {
    Display* display = gdk_x11_get_default_xdisplay();
    return DisplayWidth(display, DefaultScreen(display)) * TwipsPerPixelX();
}

double GtkScreen::Height() const {
    Display* display = gdk_x11_get_default_xdisplay();
    return DisplayHeight(display, DefaultScreen(display)) * TwipsPerPixelY();
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
