// Where the host keeps its settings file on systems that follow the XDG base directories.
#pragma once

#include <string>

// "$XDG_CONFIG_HOME/lumen-ribbon/Lumen_Ribbon.ini", or "$HOME/.config/lumen-ribbon/..." when
// XDG_CONFIG_HOME is unset (null), empty or not an absolute path. "" when HOME gives no absolute
// path either. The arguments are the environment's values.
std::string XdgSettingsFileName(const char* xdgConfigHome, const char* home);
