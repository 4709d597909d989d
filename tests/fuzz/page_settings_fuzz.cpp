// The web page's query, as a wallpaper or saver tool may pass it. Whatever the page reads from it
// must come out the same when written back plainly, and pairs it does not know change nothing.
#include <string>

#include "renderer/window/page_settings.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

bool Same(const PageSettings& a, const PageSettings& b) {
    return a.fixedSeed == b.fixedSeed && a.seed == b.seed && a.fixedTime == b.fixedTime &&
           a.timeMs == b.timeMs && a.frames == b.frames && a.showFps == b.showFps;
}

std::string Written(const PageSettings& settings) {
    std::string query = "?frames=" + std::to_string(settings.frames);
    if (settings.showFps) query += "&fps=1";
    if (settings.fixedSeed) query += "&seed=" + std::to_string(settings.seed);
    if (settings.fixedTime) query += "&time=" + std::to_string(settings.timeMs);
    return query;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string query(reinterpret_cast<const char*>(data), size);
    const PageSettings settings = ParsePageSettings(query);
    FuzzExpect(settings.fixedSeed || settings.seed == 0, "a seed is kept only when given");
    FuzzExpect(settings.fixedTime || settings.timeMs == 0, "a time is kept only when given");
    FuzzExpect(Same(ParsePageSettings(Written(settings)), settings),
               "what was read reads the same when written plainly");
    FuzzExpect(
        Same(ParsePageSettings("?tool=1&" + (query.rfind('?', 0) == 0 ? query.substr(1) : query)),
             settings),
        "a pair the page does not know changes nothing");
    return 0;
}
