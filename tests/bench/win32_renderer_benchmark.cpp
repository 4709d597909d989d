// Frames per second and processor time per frame of the real renderer on the
// real OpenGL, run for a fixed time and then closed like a user would.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "renderer/window/win32_renderer_platform.h"

namespace {

double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME& time) {
        return ((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

// Counts frames by their buffer swaps and closes the window when time is up.
class TimedPlatform final : public RendererPlatform {
  public:
    TimedPlatform(Win32RendererPlatform& inner, DWORD runMs) : inner_(inner), runMs_(runMs) {}

    uint32_t TickCount() override { return inner_.TickCount(); }
    bool RegisterRendererClass() override { return inner_.RegisterRendererClass(); }
    void UnregisterRendererClass() override { inner_.UnregisterRendererClass(); }
    bool CreateRendererWindow(RendererRun& run) override {
        const bool created = inner_.CreateRendererWindow(run);
        window_ = FindWindowA("OpenGL", run.window.title.c_str());
        return created;
    }
    void DestroyRendererWindow(RendererRun& run) override { inner_.DestroyRendererWindow(run); }
    bool TakeMessage(uint32_t& message) override { return inner_.TakeMessage(message); }
    void DispatchTakenMessage() override { inner_.DispatchTakenMessage(); }
    void WaitForMessage() override { inner_.WaitForMessage(); }
    void PostQuitToWindow() override { inner_.PostQuitToWindow(); }
    GlSink& Gl() override { return inner_.Gl(); }

    void SwapBuffers() override {
        inner_.SwapBuffers();
        const DWORD now = GetTickCount();
        if (frames_ == 0) {  // measure from the first frame on, not from start-up
            startTick_ = now;
            startCpuMs_ = ProcessCpuMs();
        }
        ++frames_;
        if (!closing_ && now - startTick_ >= runMs_) {
            closing_ = true;
            elapsedMs_ = now - startTick_;
            cpuMs_ = ProcessCpuMs() - startCpuMs_;
            measuredFrames_ = frames_ - 1;
            PostMessageA(window_, WM_CLOSE, 0, 0);
        }
    }

    void Report() const {
        if (measuredFrames_ == 0) {
            std::printf("renderer: no frames measured\n");
            return;
        }
        std::printf(
            "renderer: %ld frames in %lu ms, %.1f frames per second, %.2f ms CPU per frame\n",
            measuredFrames_, static_cast<unsigned long>(elapsedMs_),
            measuredFrames_ * 1000.0 / elapsedMs_, cpuMs_ / measuredFrames_);
    }

  private:
    Win32RendererPlatform& inner_;
    DWORD runMs_;
    HWND window_ = nullptr;
    long frames_ = 0;
    long measuredFrames_ = 0;
    DWORD startTick_ = 0;
    DWORD elapsedMs_ = 0;
    double startCpuMs_ = 0;
    double cpuMs_ = 0;
    bool closing_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    const DWORD runMs = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 5000;
    static RendererRun run;
    Win32RendererPlatform platform(GetModuleHandleA(nullptr));
    TimedPlatform timed(platform, runMs);
    const int result = RendererMain(timed, run);
    timed.Report();
    return result;
}
