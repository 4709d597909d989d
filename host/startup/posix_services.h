// The POSIX implementations of the host's file services. The declarations stay free of system
// headers.
#pragma once

#include <cstdint>
#include <string>

#include "host/startup/profile_file.h"
#include "host/startup/text_code_page.h"

// File names and file contents are the file system's bytes, which the host's texts already are.
class PosixAnsiCodePage : public AnsiCodePage {
  public:
    std::string FromUnicode(const std::string& utf8) const override { return utf8; }
    std::string ToUnicode(const std::string& ansi) const override { return ansi; }
};

// Profile files read and written by the rules of profile_text.h. A write replaces the whole file
// at once (a new file in the same folder, flushed, then renamed over the old one), making the
// folder first when it is missing; it returns 0 when anything fails, and the old file is then
// left as it was.
class PosixProfileFile : public ProfileFile {
  public:
    uint32_t GetString(const char* section, const char* key, const char* defaultValue, char* buffer,
                       uint32_t size, const char* file) override;
    int32_t WriteString(const char* section, const char* key, const char* value,
                        const char* file) override;
};
