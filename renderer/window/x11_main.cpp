#include <cstdio>
#include <cstdlib>
#include <string>

#include "renderer/window/renderer_options.h"
#include "renderer/window/x11_renderer_platform.h"

int main(int argc, char** argv) {
    const RendererOptions options =
        ParseRendererOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
    std::string program = argc > 0 ? argv[0] : "lumen-ribbon";
    program.erase(0, program.find_last_of('/') + 1);
    switch (options.command) {
        case RendererCommand::kHelp:
            std::fputs(RendererUsage(program).c_str(), stdout);
            return 0;
        case RendererCommand::kVersion:
            std::printf("%s %s\n", program.c_str(), LR_VERSION);
            return 0;
        case RendererCommand::kUsageError:
            std::fprintf(stderr, "%s: %s\n%s", program.c_str(), options.error.c_str(),
                         RendererUsage(program).c_str());
            return 1;
        case RendererCommand::kRun:
            break;
    }
    if (!InstallStopSignals()) return 1;

    static RendererRun run;
    run.pacer.delayMs = static_cast<double>(options.delayUs) / 1000.0;
    // A hack draws where it is told, at that window's size, and never switches modes.
    if (options.target != DrawTarget::kOwnWindow) run.window.fullScreen = 0;
    X11RendererPlatform platform(options);
    // A run that could not start fails, as a program here should, whatever the Windows
    // renderer reports for the same.
    const bool ran = RendererMain(platform, run) == 0 && !run.windowFailed;
    return ran ? 0 : 1;
}
