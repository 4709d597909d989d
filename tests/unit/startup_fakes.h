// Fakes of the host's runtime services for the start-up tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "host/runtime/cursor.h"
#include "host/runtime/file_probe.h"
#include "host/runtime/form.h"
#include "host/runtime/instance_lock.h"
#include "host/runtime/native_windows.h"
#include "host/runtime/profile_file.h"
#include "host/runtime/program.h"
#include "host/runtime/screen.h"
#include "host/runtime/text_code_page.h"
#include "host/runtime/timer.h"
#include "host/runtime/window_lookup.h"

namespace startup_fakes {

struct FakeProgram : ProgramServices {
    std::string commandLine;
    std::string folder = "C:\\Saver";
    std::vector<std::pair<std::string, std::string>> messages;  // text, title
    int endCount = 0;
    std::vector<std::string>* journal = nullptr;

    std::string CommandLine() const override { return commandLine; }
    std::string SettingsFile() const override { return WindowsSettingsFile(folder); }
    std::string RendererPath() const override { return WindowsRendererPath(folder); }
    std::string RendererMissingMessage() const override { return kWindowsRendererMissingMessage; }
    void ShowMessage(const std::string& text, const std::string& title) override {
        messages.emplace_back(text, title);
        if (journal) journal->push_back("message");
    }
    void EndProgram() override {
        ++endCount;
        if (journal) journal->push_back("end");
    }
};

struct FakeScreen : ScreenServices {
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
    MousePointer pointer = MousePointer::Default;
    double TwipsPerPixelX() const override { return twipsPerPixelX; }
    double TwipsPerPixelY() const override { return twipsPerPixelY; }
    double Left() const override { return 0; }
    double Top() const override { return 0; }
    double Width() const override { return 1024 * twipsPerPixelX; }
    double Height() const override { return 768 * twipsPerPixelY; }
    void SetMousePointer(MousePointer newPointer) override { pointer = newPointer; }
};

struct FakeLookup : WindowLookup {
    std::map<std::string, WindowHandle> windows;
    mutable std::vector<std::string> asked;
    WindowHandle FindByTitle(const std::string& title) const override {
        asked.push_back(title);
        const auto found = windows.find(title);
        return found == windows.end() ? 0 : found->second;
    }
};

// Free unless another host holds it.
struct FakeInstanceLock : InstanceLock {
    bool heldElsewhere = false;
    int tries = 0;
    bool Acquire() override {
        ++tries;
        return !heldElsewhere;
    }
};

struct FakeNativeWindows : NativeWindows {
    struct Animation {
        WindowHandle window;
        PixelRect from;
        PixelRect to;
    };
    std::map<WindowHandle, PixelRect> rects;
    std::vector<std::pair<WindowHandle, WindowHandle>> embeddings;  // window, parent
    std::vector<Animation> animations;

    bool GetWindowRect(WindowHandle window, PixelRect& rect) const override {
        const auto found = rects.find(window);
        rect = found == rects.end() ? PixelRect{} : found->second;
        return found != rects.end();
    }
    WindowHandle EmbedInto(WindowHandle window, WindowHandle parent) override {
        embeddings.emplace_back(window, parent);
        return 0;
    }
    bool AnimateZoom(WindowHandle window, const PixelRect& from, const PixelRect& to) override {
        animations.push_back({window, from, to});
        return true;
    }
};

struct FakeCursor : CursorService {
    int32_t count = 0;
    std::vector<int32_t> calls;
    std::optional<PixelPoint> position;
    int32_t ShowCursor(int32_t show) override {
        calls.push_back(show);
        count += show != 0 ? 1 : -1;
        return count;
    }
    std::optional<PixelPoint> Position() const override { return position; }
};

// Profile file in memory, keyed by the exact bytes of file, section and key; cuts answers the
// way the system does.
struct FakeProfile : ProfileFile {
    std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
    std::vector<std::tuple<std::string, std::string, std::string, std::string>> writes;
    int reads = 0;

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& file) override {
        ++reads;
        const auto found = values.find({file, section, key});
        return found == values.end() ? std::string() : found->second;
    }
    int32_t WriteString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) override {
        writes.emplace_back(file, section, key, value);
        values[{file, section, key}] = value;
        return 1;
    }
};

struct FakeFiles : FileProbe {
    std::set<std::string> openable;
    mutable std::vector<std::string> asked;
    std::map<std::string, std::string> shortPaths;
    bool CanOpenForReading(const std::string& path) const override {
        asked.push_back(path);
        return openable.count(path) != 0;
    }
    std::optional<std::string> ShortPath(const std::string& path) const override {
        const auto found = shortPaths.find(path);
        if (found == shortPaths.end()) return std::nullopt;
        return found->second;
    }
};

// A code page that holds the Latin-1 letters as single bytes, so that conversions show.
struct Latin1CodePage : AnsiCodePage {
    std::string FromUnicode(const std::string& utf8) const override {
        std::string out;
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (c == 0xC3 && i + 1 < utf8.size()) {
                out += static_cast<char>(static_cast<unsigned char>(utf8[++i]) + 0x40);
            } else if (c >= 0x80) {
                out += '?';
            } else {
                out += static_cast<char>(c);
            }
        }
        return out;
    }
    bool CanStore(const std::string& utf8) const override {
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (c == 0xC3 && i + 1 < utf8.size()) {
                ++i;
            } else if (c >= 0x80) {
                return false;
            }
        }
        return true;
    }
    std::string ToUnicode(const std::string& ansi) const override {
        std::string out;
        for (char ch : ansi) {
            const auto c = static_cast<unsigned char>(ch);
            if (c >= 0xC0) {
                out += static_cast<char>(0xC3);
                out += static_cast<char>(c - 0x40);
            } else {
                out += ch;
            }
        }
        return out;
    }
};

struct FakeTimerService : TimerService {
    struct Entry {
        uint32_t interval;
        std::function<void()> onTick;
    };
    std::map<TimerId, Entry> running;
    TimerId next = 1;
    int starts = 0;

    TimerId Start(uint32_t intervalMs, std::function<void()> onTick) override {
        ++starts;
        running[next] = {intervalMs, std::move(onTick)};
        return next++;
    }
    void Stop(TimerId id) override { running.erase(id); }
    // Delivers one tick to every running timer, as the message loop would.
    void TickAll() {
        std::vector<std::function<void()>> ticks;
        for (auto& [id, entry] : running) ticks.push_back(entry.onTick);
        for (auto& tick : ticks) tick();
    }
};

struct FakeFormWindow;

struct FakeFormPlatform : FormPlatform {
    std::vector<FakeFormWindow*> live;
    std::vector<std::string> created;  // captions, in order
    std::vector<std::string>* journal = nullptr;
    // Events delivered by RunEventLoop, one per turn, while the loop keeps running.
    std::deque<std::function<void()>> pendingEvents;
    std::vector<WindowHandle> modalWindows;
    WindowHandle nextHandle = 0x100;

    std::unique_ptr<FormWindow> CreateFormWindow(const FormLook& look, const PixelSize& clientSize,
                                                 FormWindowEvents& events) override;
    void RunEventLoop(WindowHandle modalWindow, const std::function<bool()>& keepRunning) override {
        modalWindows.push_back(modalWindow);
        if (journal) journal->push_back("modal loop");
        while (keepRunning()) {
            ASSERT_FALSE(pendingEvents.empty()) << "event loop would wait forever";
            auto event = std::move(pendingEvents.front());
            pendingEvents.pop_front();
            event();
        }
    }
    FakeFormWindow* Find(const std::string& caption) const;
};

struct FakeFormWindow : FormWindow {
    FakeFormPlatform& platform;
    FormWindowEvents& events;
    WindowHandle handle;
    std::string caption;
    bool visible = false;
    PixelRect bounds;
    PixelSize client;
    std::vector<PixelRect> moves;

    FakeFormWindow(FakeFormPlatform& owner, FormWindowEvents& formEvents, WindowHandle h,
                   std::string text, PixelSize clientSize)
        : platform(owner),
          events(formEvents),
          handle(h),
          caption(std::move(text)),
          bounds{0, 0, clientSize.width, clientSize.height},
          client(clientSize) {
        platform.live.push_back(this);
    }
    ~FakeFormWindow() override {
        platform.live.erase(std::find(platform.live.begin(), platform.live.end(), this));
        if (platform.journal) platform.journal->push_back("destroy " + caption);
    }
    WindowHandle Handle() const override { return handle; }
    NativeWidget* ControlParent() const override {
        return reinterpret_cast<NativeWidget*>(const_cast<FakeFormWindow*>(this));
    }
    void SetVisible(bool show) override { visible = show; }
    void SetCaption(const std::string& text) override { caption = text; }
    void Move(const PixelRect& outer) override {
        moves.push_back(outer);
        bounds = outer;
        client = {outer.right - outer.left, outer.bottom - outer.top};
        events.OnResized();
    }
    PixelRect Bounds() const override { return bounds; }
    PixelSize ClientSize() const override { return client; }
};

inline std::unique_ptr<FormWindow> FakeFormPlatform::CreateFormWindow(const FormLook& look,
                                                                      const PixelSize& clientSize,
                                                                      FormWindowEvents& events) {
    created.push_back(look.caption);
    if (journal) journal->push_back("create " + look.caption);
    return std::make_unique<FakeFormWindow>(*this, events, nextHandle++, look.caption, clientSize);
}

inline FakeFormWindow* FakeFormPlatform::Find(const std::string& caption) const {
    for (FakeFormWindow* window : live) {
        if (window->caption == caption) return window;
    }
    return nullptr;
}

}  // namespace startup_fakes
