#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "host/runtime/gtk_services.h"
#include "host/startup/settings_location.h"

namespace {

constexpr char kRendererName[] = "lumen-ribbon";

std::string OwnFolder() {
    std::vector<char> path(4096);
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return ".";
    const std::string program(path.data(), static_cast<size_t>(length));
    const size_t slash = program.find_last_of('/');
    return slash == 0 ? "/" : program.substr(0, slash);
}

}  // namespace

GtkProgramServices::GtkProgramServices(std::string commandLine, const FileProbe& files)
    : commandLine_(std::move(commandLine)), files_(files), hostFolder_(OwnFolder()) {}

std::string GtkProgramServices::SettingsFile() const {
    return XdgSettingsFileName(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::string GtkProgramServices::RendererPath() const {
    const std::string beside = hostFolder_ + "/" + kRendererName;
    if (files_.CanOpenForReading(beside)) return beside;
    return std::string(LR_HACK_DIR) + "/" + kRendererName;
}

std::string GtkProgramServices::RendererMissingMessage() const {
    return std::string(kRendererName) + " が lumen-ribbon-host と同じﾌｫﾙﾀﾞにも " + LR_HACK_DIR +
           " にも見つかりません！";
}

void GtkProgramServices::ShowMessage(const std::string& text, const std::string& title) {
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                            GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), title.c_str());
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

// Like the system's process end: no destructor runs, the server closes the windows.
void GtkProgramServices::EndProgram() {
    if (GdkDisplay* display = gdk_display_get_default()) gdk_display_flush(display);
    _exit(0);
}
