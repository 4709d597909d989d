// Frames per second and processor time per frame of the real renderer on the
// real OpenGL, run for a fixed time without the frame cap.

#include <windows.h>

#include <cstdlib>

#include "renderer/window/win32_renderer_platform.h"
#include "tests/bench/timed_platform.h"

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
}  // namespace

int main(int argc, char** argv) {
    const uint32_t runMs = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 5000;
    static RendererRun run;
    Win32RendererPlatform platform(GetModuleHandleA(nullptr));
    TimedPlatform timed(platform, runMs, ProcessCpuMs);
    const int result = RendererMain(timed, run);
    timed.Report("renderer (Win32 under Wine)");
    return result;
}
