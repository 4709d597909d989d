// The system's ANSI profile (INI) file functions. Every text is a NUL-terminated string of ANSI
// code-page bytes, handed over unchanged.
#pragma once

#include <cstdint>

class ProfileFile {
  public:
    virtual ~ProfileFile() = default;
    // Copies the value of key in section (or defaultValue when the file, the section or the key
    // is missing) into buffer, cut to size - 1 bytes and ended by a NUL. Returns the number of
    // bytes copied, without the NUL.
    virtual uint32_t GetString(const char* section, const char* key, const char* defaultValue,
                               char* buffer, uint32_t size, const char* file) = 0;
    // Writes one value, creating the file, the section or the key as needed. Returns non-zero
    // on success.
    virtual int32_t WriteString(const char* section, const char* key, const char* value,
                                const char* file) = 0;
};
