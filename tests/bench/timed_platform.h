#pragma once
// Wraps a real renderer platform: counts frames by their buffer swaps, lifts the
// frame cap so the figures show what the platform can draw, and ends the run
// after a fixed time the way Escape does.

#include <cstdio>

#include "renderer/window/renderer_main.h"

// cpuMs: the process's processor time so far, in milliseconds.
template <typename CpuClock>
class TimedPlatform final : public RendererPlatform {
  public:
    TimedPlatform(RendererPlatform& inner, uint32_t runMs, CpuClock cpuMs)
        : inner_(inner), runMs_(runMs), cpuMs_(cpuMs) {}

    uint32_t TickCount() override { return inner_.TickCount(); }
    bool OpenWindowSystem() override { return inner_.OpenWindowSystem(); }
    void CloseWindowSystem() override { inner_.CloseWindowSystem(); }
    bool CreateRendererWindow(RendererRun& run) override {
        run_ = &run;
        const bool created = inner_.CreateRendererWindow(run);
        run.pacer.periodMs = 0.0;
        run.pacer.swapPaced = false;
        return created;
    }
    void DestroyRendererWindow(RendererRun& run) override { inner_.DestroyRendererWindow(run); }
    EventStep HandleNextEvent(RendererRun& run) override { return inner_.HandleNextEvent(run); }
    void WaitForEvent(int64_t timeoutUs) override { inner_.WaitForEvent(timeoutUs); }
    void PostQuitToWindow() override { inner_.PostQuitToWindow(); }
    GlSink& Gl() override { return inner_.Gl(); }

    void SwapBuffers() override {
        inner_.SwapBuffers();
        const uint32_t now = inner_.TickCount();
        if (frames_ == 0) {  // measure from the first frame on, not from start-up
            startTick_ = now;
            startCpuMs_ = cpuMs_();
        }
        ++frames_;
        if (!closing_ && now - startTick_ >= runMs_) {
            closing_ = true;
            elapsedMs_ = now - startTick_;
            usedCpuMs_ = cpuMs_() - startCpuMs_;
            measuredFrames_ = frames_ - 1;
            RequestQuit(*run_, inner_);
        }
    }

    void Report(const char* name) const {
        if (measuredFrames_ == 0) {
            std::printf("%s: no frames measured\n", name);
            return;
        }
        std::printf("%s: %ld frames in %lu ms, %.1f frames per second, %.2f ms CPU per frame\n",
                    name, measuredFrames_, static_cast<unsigned long>(elapsedMs_),
                    measuredFrames_ * 1000.0 / elapsedMs_, usedCpuMs_ / measuredFrames_);
    }

  private:
    RendererPlatform& inner_;
    uint32_t runMs_;
    CpuClock cpuMs_;
    RendererRun* run_ = nullptr;
    long frames_ = 0;
    long measuredFrames_ = 0;
    uint32_t startTick_ = 0;
    uint32_t elapsedMs_ = 0;
    double startCpuMs_ = 0;
    double usedCpuMs_ = 0;
    bool closing_ = false;
};
