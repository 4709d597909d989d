// Forms of the host's runtime: top-level windows whose caption is their window title, loaded
// hidden, shown modeless or modal, unloaded through their query-unload and unload handlers.
// Positions and sizes are in twips.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/runtime/screen.h"
#include "host/runtime/timer.h"
#include "host/runtime/window_types.h"

// Why a form is being unloaded, as its query-unload handler is told.
enum class UnloadMode : int16_t {
    ControlMenu = 0,     // the user closed the window (close box, Alt+F4, system menu)
    Code = 1,            // the program unloaded it
    WindowsSession = 2,  // the user's session is ending
    TaskManager = 3,     // another program asked the window to close
    OwnerClosing = 5,    // the window was destroyed together with its parent
};

enum class FormBorder { Borderless, FixedSingle, Sizable };

// Design-time look of a form's window.
struct FormLook {
    std::string caption;
    FormBorder border = FormBorder::Sizable;
    uint32_t backColour = 0x8000000F;  // 0x00BBGGRR, or the system's button-face colour
    double clientWidth = 4800;         // twips
    double clientHeight = 3600;        // twips
};

// Event handlers of a form; any of them may be left empty.
struct FormEvents {
    std::function<void()> load;
    std::function<void(bool& cancel, UnloadMode mode)> queryUnload;
    std::function<void(bool& cancel)> unload;
    std::function<void()> resize;
};

// What a platform's form window reports back to its form.
class FormWindowEvents {
  public:
    virtual ~FormWindowEvents() = default;
    // Someone asked the window to close; the form decides through its handlers.
    virtual void OnCloseRequest(UnloadMode mode) = 0;
    virtual void OnResized() = 0;
    // The window was destroyed by others (for example with its parent). The form's window
    // object must not destroy it again.
    virtual void OnDestroyedByOthers() = 0;
};

// One native top-level window of a form, created hidden. Geometry in pixels: the outer
// rectangle, in screen coordinates for a top-level window and in the parent's client
// coordinates for a child window. Destroying the object destroys the window without events.
class FormWindow {
  public:
    virtual ~FormWindow() = default;
    virtual WindowHandle Handle() const = 0;
    // Where the form's controls are placed.
    virtual NativeWidget* ControlParent() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void Move(const PixelRect& outer) = 0;
    virtual PixelRect Bounds() const = 0;
    virtual PixelSize ClientSize() const = 0;
};

class FormPlatform {
  public:
    virtual ~FormPlatform() = default;
    virtual std::unique_ptr<FormWindow> CreateFormWindow(const FormLook& look,
                                                         const PixelSize& clientSize,
                                                         FormWindowEvents& events) = 0;
    // Delivers the program's events (input, painting, timers) until keepRunning() is false.
    // With a modal window, the program's other windows take no input meanwhile.
    virtual void RunEventLoop(WindowHandle modalWindow,
                              const std::function<bool()>& keepRunning) = 0;
};

class Form : private FormWindowEvents {
  public:
    Form(FormPlatform& platform, const ScreenServices& screen, FormLook look, FormEvents events);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    bool Loaded() const { return window_ != nullptr; }
    bool Visible() const { return Loaded() && visible_; }
    // Creates the hidden window and runs the load handler; nothing when already loaded.
    void Load();
    // Loads when needed, then shows the window and returns.
    void Show();
    // Loads when needed, shows the window and returns once the form has been unloaded or
    // hidden.
    void ShowModal();
    void Hide();
    // Runs the query-unload and unload handlers; either may cancel. Returns true when the form
    // is unloaded afterwards (also when it was not loaded).
    bool Unload(UnloadMode mode = UnloadMode::Code);

    // 0 while not loaded.
    WindowHandle Handle() const;
    // Where the form's controls are placed; null while not loaded.
    NativeWidget* ControlParent() const;
    const std::string& Caption() const { return look_.caption; }
    void SetCaption(const std::string& caption);

    // Outer position and size in twips; no effect while not loaded.
    void Move(double left, double top, double width, double height);
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    // Inner (client) size in twips.
    double ScaleWidth() const;
    double ScaleHeight() const;

    // The timer ticks only while this form is loaded.
    void AttachTimer(Timer& timer);

  private:
    void OnCloseRequest(UnloadMode mode) override;
    void OnResized() override;
    void OnDestroyedByOthers() override;
    void CloseWindow();

    FormPlatform& platform_;
    const ScreenServices& screen_;
    FormLook look_;
    FormEvents events_;
    std::unique_ptr<FormWindow> window_;
    std::vector<Timer*> timers_;
    bool visible_ = false;
    bool shownOnce_ = false;
    bool unloading_ = false;
};
