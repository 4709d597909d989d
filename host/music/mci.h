#pragma once
// The MCI command layer: send one command string and turn the outcome into a text.

#include <cstdint>
#include <string>

#include "host/music/bgm_module.h"

// Answer of an empty command, which is never sent.
extern const char* const kMciEmptyCommandText;
// Answer when the system has no description for an error code.
extern const char* const kMciNoDescriptionText;

// Sends `command`; `answer` receives its return text on success, the error
// description otherwise. Returns the MCI error code, -1 for an empty command.
int32_t MciSend(Lumen_Ribbon_BGM& bgm, const std::string& command, std::string& answer);

// The answer of a status command, or "Error:" and the error code when it failed.
std::string MciQuery(Lumen_Ribbon_BGM& bgm, const std::string& command);

// Sends "play <device>" with the optional "from" and "to" positions, each left
// out when empty. Returns the MCI error code; the answer stays in MciAnswer.
int32_t MciPlay(Lumen_Ribbon_BGM& bgm, const std::string& device, const std::string& from,
                const std::string& to);
