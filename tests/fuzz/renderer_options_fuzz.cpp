// The renderer's command line: the input is XSCREENSAVER_WINDOW's value (empty: unset), then
// the arguments, all separated by NUL. Whatever the renderer accepts must come out the same when
// written back in its plainest form.
#include <cstdio>
#include <string>
#include <vector>

#include "renderer/window/renderer_options.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

RendererOptions Parse(const std::vector<std::string>& arguments, const char* daemonWindow) {
    std::vector<const char*> argv{"lumen-ribbon"};
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    return ParseRendererOptions(static_cast<int>(argv.size()), argv.data(), daemonWindow);
}

// The options as a user would write them, with the window id in hexadecimal.
std::vector<std::string> Written(const RendererOptions& options) {
    std::vector<std::string> arguments;
    if (options.target == DrawTarget::kRootWindow) arguments.push_back("--root");
    if (options.target == DrawTarget::kGivenWindow) {
        char id[32];
        std::snprintf(id, sizeof id, "--window-id=0x%llx",
                      static_cast<unsigned long long>(options.windowId));
        arguments.push_back(id);
    }
    if (options.delayUs != 0) {
        arguments.push_back("-delay");
        arguments.push_back(std::to_string(options.delayUs));
    }
    if (options.showFps) arguments.push_back("-fps");
    return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> pieces = SplitInput(data, size);
    const std::string daemonWindow = pieces[0];
    pieces.erase(pieces.begin());

    const RendererOptions options =
        Parse(pieces, daemonWindow.empty() ? nullptr : daemonWindow.c_str());
    FuzzExpect((options.command == RendererCommand::kUsageError) == !options.error.empty(),
               "a usage error, and only one, says what was wrong");
    if (options.command != RendererCommand::kRun) return 0;
    FuzzExpect(options.delayUs <= kMaxDelayUs, "the sleep per frame is capped");
    FuzzExpect(options.target != DrawTarget::kGivenWindow ||
                   (options.windowId != 0 && options.windowId <= kMaxWindowId),
               "a given window is a non-zero 32-bit id");

    const RendererOptions again = Parse(Written(options), nullptr);
    FuzzExpect(again.command == RendererCommand::kRun && again.target == options.target &&
                   again.windowId == options.windowId && again.delayUs == options.delayUs &&
                   again.showFps == options.showFps,
               "accepted options read the same when written plainly");
    return 0;
}
