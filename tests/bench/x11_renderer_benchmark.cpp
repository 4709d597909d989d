// Frames per second and processor time per frame of the native renderer on the
// real GLX, full screen, run for a fixed time without the frame cap.

#include <cstdlib>
#include <ctime>

#include "renderer/window/x11_renderer_platform.h"
#include "tests/bench/timed_platform.h"

namespace {
double ProcessCpuMs() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1000.0 + static_cast<double>(used.tv_nsec) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
    const uint32_t runMs = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 5000;
    InstallStopSignals();
    static RendererRun run;
    X11RendererPlatform platform{RendererOptions{}};
    TimedPlatform timed(platform, runMs, ProcessCpuMs);
    const int result = RendererMain(timed, run);
    timed.Report("renderer (native X11)");
    return result;
}
