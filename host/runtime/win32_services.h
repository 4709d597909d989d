// The Win32 implementations of the host's runtime services. The declarations stay free of
// system headers; each win32_*.cpp file keeps its own state.
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
#include "host/runtime/instance_lock.h"
#include "host/runtime/native_windows.h"
#include "host/runtime/process_launcher.h"
#include "host/runtime/profile_file.h"
#include "host/runtime/program.h"
#include "host/runtime/screen.h"
#include "host/runtime/text_code_page.h"
#include "host/runtime/timer.h"
#include "host/runtime/window_lookup.h"

// UTF-8 and the system's ANSI code page (CP_ACP) in both directions.
std::string AnsiFromUtf8(const std::string& utf8);
std::string Utf8FromAnsi(const std::string& ansi);
// Whether CP_ACP holds every character of the text exactly, without best-fit stand-ins.
bool AnsiCanStore(const std::string& utf8);
// UTF-8 and the system's wide-character functions.
std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);
// The short (8.3) form of an existing path, or an empty text when the system has none.
std::wstring ShortPathOf(const std::wstring& path);

class Win32AnsiCodePage : public AnsiCodePage {
  public:
    std::string FromUnicode(const std::string& utf8) const override { return AnsiFromUtf8(utf8); }
    std::string ToUnicode(const std::string& ansi) const override { return Utf8FromAnsi(ansi); }
    bool CanStore(const std::string& utf8) const override { return AnsiCanStore(utf8); }
};

class Win32ProgramServices : public ProgramServices {
  public:
    std::string CommandLine() const override;
    // The folder of the host program, without a trailing separator except at a drive root.
    std::string HostFolder() const;
    std::string SettingsFile() const override { return WindowsSettingsFile(HostFolder()); }
    std::string RendererPath() const override { return WindowsRendererPath(HostFolder()); }
    std::string RendererMissingMessage() const override { return kWindowsRendererMissingMessage; }
    void ShowMessage(const std::string& text, const std::string& title) override;
    void EndProgram() override;
};

class Win32ProcessLauncher : public ProcessLauncher {
  public:
    std::unique_ptr<StartedProcess> Start(const std::string& path) override;
};

class Win32ProfileFile : public ProfileFile {
  public:
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& file) override;
    int32_t WriteString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) override;
};

class Win32InstanceLock : public InstanceLock {
  public:
    Win32InstanceLock() = default;
    ~Win32InstanceLock() override;
    Win32InstanceLock(const Win32InstanceLock&) = delete;
    Win32InstanceLock& operator=(const Win32InstanceLock&) = delete;
    bool Acquire() override;

  private:
    void* mutex_ = nullptr;  // HANDLE
    bool owned_ = false;
};

class Win32FileProbe : public FileProbe {
  public:
    bool CanOpenForReading(const std::string& path) const override;
    std::optional<std::string> ShortPath(const std::string& path) const override;
};

class Win32WindowLookup : public WindowLookup {
  public:
    WindowHandle FindByTitle(const std::string& title) const override;
};

class Win32NativeWindows : public NativeWindows {
  public:
    bool GetWindowRect(WindowHandle window, PixelRect& rect) const override;
    // Sets the child style, then the parent.
    WindowHandle EmbedInto(WindowHandle window, WindowHandle parent) override;
    // The caption animation.
    bool AnimateZoom(WindowHandle window, const PixelRect& from, const PixelRect& to) override;
};

class Win32Cursor : public CursorService {
  public:
    int32_t ShowCursor(int32_t show) override;
    std::optional<PixelPoint> Position() const override;
};

// Timers delivered as WM_TIMER messages to a message-only window of the user-interface thread.
class Win32TimerService : public TimerService {
  public:
    Win32TimerService();
    ~Win32TimerService() override;
    Win32TimerService(const Win32TimerService&) = delete;
    Win32TimerService& operator=(const Win32TimerService&) = delete;

    TimerId Start(uint32_t intervalMs, std::function<void()> onTick) override;
    void Stop(TimerId id) override;
    // Runs the tick of timer id, if it still runs.
    void Deliver(TimerId id);

  private:
    WindowHandle window_ = 0;
    TimerId nextId_ = 1;
    std::map<TimerId, std::function<void()>> ticks_;
};

// The screen and the program-wide mouse pointer; the form windows show the pointer it holds.
class Win32Screen : public ScreenServices {
  public:
    double TwipsPerPixelX() const override;
    double TwipsPerPixelY() const override;
    double Left() const override { return 0; }
    double Top() const override { return 0; }
    double Width() const override;
    double Height() const override;
    void SetMousePointer(MousePointer pointer) override;
    MousePointer Pointer() const { return pointer_; }

  private:
    MousePointer pointer_ = MousePointer::Default;
};

// Form windows of one window class, and the program's message loop.
class Win32FormPlatform : public FormPlatform {
  public:
    explicit Win32FormPlatform(const Win32Screen& screen);
    std::unique_ptr<FormWindow> CreateFormWindow(const FormLook& look, const PixelSize& clientSize,
                                                 FormWindowEvents& events) override;
    void RunEventLoop(WindowHandle modalWindow, const std::function<bool()>& keepRunning) override;

  private:
    const Win32Screen& screen_;
    uint16_t classAtom_ = 0;
};
