// The desktop's file-open dialog.

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <string>

#include "host/forms/gtk_forms_ui.h"
#include "host/runtime/gtk_services.h"

namespace {

// "*.MP3" matches "song.mp3" too, as the system's file dialog does.
std::string CaseFreePattern(const std::string& pattern) {
    std::string free;
    for (char c : pattern) {
        const char lower = static_cast<char>(g_ascii_tolower(c));
        const char upper = static_cast<char>(g_ascii_toupper(c));
        if (lower != upper) {
            free += std::string("[") + lower + upper + "]";
        } else {
            free += c;
        }
    }
    return free;
}

// The GTK window behind one of the program's own X windows; null for any other window.
GtkWindow* OwnGtkWindow(WindowHandle window) {
    GdkWindow* gdkWindow =
        gdk_x11_window_lookup_for_display(gdk_display_get_default(), static_cast<Window>(window));
    gpointer widget = nullptr;
    if (gdkWindow) gdk_window_get_user_data(gdkWindow, &widget);
    return widget && GTK_IS_WINDOW(widget) ? GTK_WINDOW(widget) : nullptr;
}

}  // namespace

std::optional<std::string> DesktopFileChooser::ChooseFile(WindowHandle owner,
                                                          const FileOpenRequest& request) {
    GtkWidget* chooser = gtk_file_chooser_dialog_new(
        request.title.c_str(), OwnGtkWindow(owner), GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
        GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    for (const FileType& type : request.types) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, type.name.c_str());
        for (const std::string& pattern : type.patterns) {
            gtk_file_filter_add_pattern(filter, CaseFreePattern(pattern).c_str());
        }
        gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), filter);
    }
    if (!request.initialFolder.empty()) {
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser),
                                            request.initialFolder.c_str());
    }
    std::optional<std::string> chosen;
    if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
        if (gchar* file = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser))) {
            chosen = std::string(file);
            g_free(file);
        }
    }
    gtk_widget_destroy(chooser);
    return chosen;
}
