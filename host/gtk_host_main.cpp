// Entry point of lumen-ribbon-host: its options, then the host over the GTK, X11, GStreamer and
// POSIX services.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/forms/gtk_forms_ui.h"
#include "host/host_app.h"
#include "host/run/x11_run_services.h"
#include "host/runtime/gtk_services.h"
#include "host/runtime/posix_services.h"
#include "host/startup/arguments.h"
#include "host/startup/startup.h"

namespace {

// A preview made a child of a root window is never seen, and nothing ever closes it.
bool PreviewInARootWindow(const std::string& commandLine) {
    if (ModeSwitch(commandLine) != "P") return false;
    const WindowHandle pane = PreviewParentHandle(commandLine);
    Display* display = gdk_x11_get_default_xdisplay();
    for (int screen = 0; screen < ScreenCount(display); ++screen) {
        if (pane == RootWindow(display, screen)) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const ArgumentRequest request =
        ReadArguments(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (request.kind == ArgumentRequest::Kind::Help) {
        std::fputs(UsageText("lumen-ribbon-host").c_str(), stdout);
        return 0;
    }
    if (request.kind == ArgumentRequest::Kind::Version) {
        std::printf("lumen-ribbon-host %s\n", LR_VERSION);
        return 0;
    }
    if (request.kind == ArgumentRequest::Kind::UsageError) {
        std::fprintf(stderr, "lumen-ribbon-host: %s\n%s", request.commandLine.c_str(),
                     UsageText("lumen-ribbon-host").c_str());
        return 2;
    }
    // Windows are looked up by X window names, so the host runs on X (or XWayland).
    gdk_set_allowed_backends("x11");
    // The host draws nothing with OpenGL, yet GDK loads the OpenGL driver to choose its visuals
    // when no GTK program on the display has done so before: with llvmpipe, most of a first
    // start. Programs the host starts get the environment as it was.
    const bool glChosenByUser = g_getenv("GDK_GL") != nullptr;
    if (!glChosenByUser) g_setenv("GDK_GL", "disable", TRUE);
    const bool opened = gtk_init_check(nullptr, nullptr);
    if (!glChosenByUser) g_unsetenv("GDK_GL");
    if (!opened) {
        std::fprintf(stderr, "lumen-ribbon-host: cannot open the X display\n");
        return 1;
    }
    if (PreviewInARootWindow(request.commandLine)) {
        std::fprintf(stderr, "lumen-ribbon-host: the preview needs a window, not the root\n");
        return 1;
    }

    PosixAnsiCodePage codePage;
    PosixFileProbe files;
    GtkProgramServices program(request.commandLine, files);
    GtkScreen screen;
    X11WindowLookup lookup;
    PosixInstanceLock instanceLock(std::getenv("XDG_RUNTIME_DIR"),
                                   gdk_display_get_name(gdk_display_get_default()));
    X11NativeWindows windows;
    X11Cursor cursor;
    PosixProfileFile profile;
    GlibTimerService timers;
    GtkFormPlatform forms;
    PosixProcessLauncher launcher;
    X11DisplayModes displayModes;
    DesktopFileChooser fileChooser;
    DesktopShellOpener shell;
    X11CloseRequests closeRequests;
    RunHost({codePage, program, screen, lookup, instanceLock, windows, cursor, profile, files,
             timers, forms, launcher, displayModes, fileChooser, shell, closeRequests});
    program.EndProgram();
}
