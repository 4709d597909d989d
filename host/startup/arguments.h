// The host's arguments on systems whose programs take them as a list: the Windows switches
// pass through, and the long options a user there expects stand for them.
#pragma once

#include <string>
#include <vector>

struct ArgumentRequest {
    enum class Kind { Dispatch, Help, Version, UsageError };
    Kind kind = Kind::Dispatch;
    // For Dispatch: the command line the start-up procedure reads. For UsageError: what is
    // wrong with the arguments.
    std::string commandLine;
};

// "--run" gives "/s", "--settings" "/c", "--preview ID" "/p ID"; anything else is kept as it is,
// the arguments joined by single blanks. No arguments give "", which runs as on Windows.
// "--preview" without an ID is a usage error: a preview with no window to show in would stay
// for ever, unseen. ("/p" alone passes through, as the Windows switch it is.)
ArgumentRequest ReadArguments(const std::vector<std::string>& arguments);

// The text --help prints; program is the name the program was started by.
std::string UsageText(const std::string& program);
