#include "host/runtime/program.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::string ArgumentsOfCommandLine(const std::string& fullCommandLine) {
    std::size_t i = 0;
    while (i < fullCommandLine.size() && IsBlank(fullCommandLine[i])) ++i;
    // The program name ends at the first blank outside double quotes.
    bool quoted = false;
    for (; i < fullCommandLine.size() && (quoted || !IsBlank(fullCommandLine[i])); ++i) {
        if (fullCommandLine[i] == '"') quoted = !quoted;
    }
    while (i < fullCommandLine.size() && IsBlank(fullCommandLine[i])) ++i;
    return fullCommandLine.substr(i);
}

std::string FolderOfProgramPath(const std::string& programPath) {
    const std::size_t lastSeparator = programPath.find_last_of("\\/");
    if (lastSeparator == std::string::npos) return std::string();
    std::string folder = programPath.substr(0, lastSeparator);
    // "C:" alone would name the drive's current folder, not its root.
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder;
}

std::string WindowsSettingsFile(const std::string& hostFolder) {
    return hostFolder + "\\Lumen_Ribbon.ini";
}

std::string WindowsRendererPath(const std::string& hostFolder) {
    return hostFolder + "\\Lumen_Ribbon.dll";
}
