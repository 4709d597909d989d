// Opening a file for sequential input, as the host's runtime does it.
#pragma once

#include <optional>
#include <string>

class FileProbe {
  public:
    virtual ~FileProbe() = default;
    // Opens the file at path (UTF-8) for reading and closes it again. False when the open
    // fails: a missing file, a folder, or a file another program holds exclusively.
    virtual bool CanOpenForReading(const std::string& path) const = 0;
    // The short form the file system keeps for an existing file or folder (UTF-8); the path
    // itself where names have no other form, std::nullopt when there is none to be had.
    virtual std::optional<std::string> ShortPath(const std::string& path) const = 0;
};
