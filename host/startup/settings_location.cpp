#include "host/startup/settings_location.h"

namespace {

bool IsAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

std::string WithoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string Under(const std::string& folder, const std::string& path) {
    return folder == "/" ? folder + path : folder + "/" + path;
}

}  // namespace

std::string XdgSettingsFileName(const char* xdgConfigHome, const char* home) {
    std::string configHome;
    if (IsAbsolute(xdgConfigHome)) {
        configHome = WithoutTrailingSlashes(xdgConfigHome);
    } else if (IsAbsolute(home)) {
        configHome = Under(WithoutTrailingSlashes(home), ".config");
    } else {
        return std::string();
    }
    return Under(configHome, "lumen-ribbon/Lumen_Ribbon.ini");
}
