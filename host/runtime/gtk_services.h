// The GTK 3 and X11 implementations of the host's runtime services. The declarations stay free
// of system headers; each gtk_*.cpp and x11_*.cpp file keeps its own state.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "host/runtime/cursor.h"
#include "host/runtime/file_probe.h"
#include "host/runtime/form.h"
#include "host/runtime/native_windows.h"
#include "host/runtime/program.h"
#include "host/runtime/screen.h"
#include "host/runtime/timer.h"
#include "host/runtime/window_lookup.h"

// Where the program's companions are: the settings file by the XDG rules, the renderer beside
// the host or else in the hack folder the packages install it to.
class GtkProgramServices : public ProgramServices {
  public:
    GtkProgramServices(std::string commandLine, const FileProbe& files);
    std::string CommandLine() const override { return commandLine_; }
    std::string SettingsFile() const override;
    std::string RendererPath() const override;
    std::string RendererMissingMessage() const override;
    void ShowMessage(const std::string& text, const std::string& title) override;
    void EndProgram() override;

  private:
    std::string commandLine_;
    const FileProbe& files_;
    std::string hostFolder_;
};

class X11TopLevels;

// Searches the top-level client windows and the root's children, which are followed through
// the server's notifications rather than read again on every search.
class X11WindowLookup : public WindowLookup {
  public:
    X11WindowLookup();
    ~X11WindowLookup() override;
    WindowHandle FindByTitle(const std::string& title) const override;

  private:
    mutable std::unique_ptr<X11TopLevels> topLevels_;
};

// Embedding reparents the X window. The zoom is an outline drawn over everything on the root
// window, moving from one rectangle to the other.
class X11NativeWindows : public NativeWindows {
  public:
    bool GetWindowRect(WindowHandle window, PixelRect& rect) const override;
    WindowHandle EmbedInto(WindowHandle window, WindowHandle parent) override;
    bool AnimateZoom(WindowHandle window, const PixelRect& from, const PixelRect& to) override;
};

// The display count is the host's own: none of its windows shows during a run, and the
// renderer hides the pointer over its own.
class X11Cursor : public CursorService {
  public:
    int32_t ShowCursor(int32_t show) override { return count_ += show ? 1 : -1; }
    std::optional<PixelPoint> Position() const override;

  private:
    int32_t count_ = 0;
};

// Timers on the GLib main loop.
class GlibTimerService : public TimerService {
  public:
    ~GlibTimerService() override;
    TimerId Start(uint32_t intervalMs, std::function<void()> onTick) override;
    void Stop(TimerId id) override;

  private:
    std::map<TimerId, unsigned> sources_;
    TimerId nextId_ = 1;
};

// The primary monitor at 15 twips to a pixel, the dialog's design resolution.
class GtkScreen : public ScreenServices {
  public:
    double TwipsPerPixelX() const override { return TwipsPerPixelAt(96); }
    double TwipsPerPixelY() const override { return TwipsPerPixelAt(96); }
    double Left() const override;
    double Top() const override;
    double Width() const override;
    double Height() const override;
    void SetMousePointer(MousePointer pointer) override;
};

// Forms as GTK windows holding a GtkFixed for their controls; the GLib main loop.
class GtkFormPlatform : public FormPlatform {
  public:
    std::unique_ptr<FormWindow> CreateFormWindow(const FormLook& look, const PixelSize& clientSize,
                                                 FormWindowEvents& events) override;
    void RunEventLoop(WindowHandle modalWindow, const std::function<bool()>& keepRunning) override;
};
