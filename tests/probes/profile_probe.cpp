// Runs profile-file queries and writes through the platform's ProfileFile: the system's own
// functions on Windows, our reader and writer elsewhere, so that a test can compare the two.
//
//   profile_probe <commands file> <answers file>
//
// One command a line, every argument as hex bytes ("-" for none):
//   get <file> <section> <key>           answers "<answer bytes>"
//   put <file> <section> <key> <value>   answers "<result>"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#ifdef _WIN32
#include "host/runtime/win32_services.h"
using PlatformProfileFile = Win32ProfileFile;
#else
#include "host/runtime/posix_services.h"
using PlatformProfileFile = PosixProfileFile;
#endif

namespace {

std::string FromHex(const std::string& hex) {
    std::string bytes;
    if (hex == "-") return bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
    }
    return bytes;
}

std::string ToHex(const std::string& bytes) {
    if (bytes.empty()) return "-";
    std::string hex;
    char pair[3];
    for (unsigned char c : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", c);
        hex += pair;
    }
    return hex;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: profile_probe <commands file> <answers file>\n";
        return 2;
    }
    std::ifstream commands(argv[1]);
    std::ofstream answers(argv[2], std::ios::binary);
    PlatformProfileFile profile;
    std::string line;
    while (std::getline(commands, line)) {
        std::istringstream fields(line);
        std::string verb, file, section, key, value;
        if (!(fields >> verb >> file >> section >> key)) continue;
        if (verb == "get") {
            answers << ToHex(profile.ReadString(FromHex(section), FromHex(key), FromHex(file)))
                    << '\n';
        } else if (verb == "put" && fields >> value) {
            answers << profile.WriteString(FromHex(section), FromHex(key), FromHex(value),
                                           FromHex(file))
                    << '\n';
        }
    }
    return 0;
}
