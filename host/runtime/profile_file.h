// The system's profile (INI) file functions. Every text is a string of ANSI code-page bytes,
// handed over unchanged.
#pragma once

#include <cstdint>
#include <string>

class ProfileFile {
  public:
    virtual ~ProfileFile() = default;
    // The whole value of key in section; "" when the file, the section or the key is missing.
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& file) = 0;
    // Writes one value, creating the file, the section or the key as needed. Returns non-zero
    // on success.
    virtual int32_t WriteString(const std::string& section, const std::string& key,
                                const std::string& value, const std::string& file) = 0;
};
