#include "host/startup/arguments.h"

#include <cstdlib>

namespace {

// X tools print window ids in hexadecimal ("0x2e00007"); the dispatch reads decimal numbers.
std::string DecimalWindowId(const std::string& id) {
    if (id.size() < 3 || id[0] != '0' || (id[1] != 'x' && id[1] != 'X')) return id;
    char* end = nullptr;
    const unsigned long long number = std::strtoull(id.c_str() + 2, &end, 16);
    return *end == '\0' ? std::to_string(number) : id;
}

}  // namespace

ArgumentRequest ReadArguments(const std::vector<std::string>& arguments) {
    ArgumentRequest request;
    std::vector<std::string> words;
    bool missingId = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") return {ArgumentRequest::Kind::Help, ""};
        if (argument == "--version") return {ArgumentRequest::Kind::Version, ""};
        if (argument == "--run") {
            words.push_back("/s");
        } else if (argument == "--settings") {
            words.push_back("/c");
        } else if (argument == "--preview" || argument.rfind("--preview=", 0) == 0) {
            const std::string id = argument == "--preview"
                                       ? (i + 1 < arguments.size() ? arguments[++i] : "")
                                       : argument.substr(sizeof "--preview=" - 1);
            if (id.find_first_not_of(" \t") == std::string::npos) missingId = true;
            words.push_back("/p");
            words.push_back(DecimalWindowId(id));
        } else {
            words.push_back(argument);
        }
    }
    if (missingId) return {ArgumentRequest::Kind::UsageError, "--preview needs a window id"};
    for (const std::string& word : words) {
        if (!request.commandLine.empty()) request.commandLine += ' ';
        request.commandLine += word;
    }
    return request;
}

std::string UsageText(const std::string& program) {
    return "Usage: " + program +
           " [--run | --settings | --preview WINDOW-ID | /s | /c | /p WINDOW-ID]\n"
           "\n"
           "  --run, /s              run the screen saver (the default)\n"
           "  --settings, /c         open the settings dialog\n"
           "  --preview ID, /p ID    show the preview picture inside the X window ID\n"
           "  --help                 show this help\n"
           "  --version              show the version\n";
}
