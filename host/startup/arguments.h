// The host's arguments on systems whose programs take them as a list: the Windows switches
// pass through, and the long options a user there expects stand for them.
#pragma once

#include <string>
#include <vector>

struct ArgumentRequest {
    enum class Kind { Dispatch, Help, Version };
    Kind kind = Kind::Dispatch;
    // For Dispatch: the command line the start-up procedure reads.
    std::string commandLine;
};

// "--run" gives "/s", "--settings" "/c", "--preview ID" "/p ID"; anything else is kept as it is,
// the arguments joined by single blanks. No arguments give "", which runs as on Windows.
ArgumentRequest ReadArguments(const std::vector<std::string>& arguments);

// The text --help prints; program is the name the program was started by.
std::string UsageText(const std::string& program);
