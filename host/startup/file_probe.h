// Opening a file for sequential input, as the host's runtime does it.
#pragma once

#include <string>

class FileProbe {
  public:
    virtual ~FileProbe() = default;
    // Opens the file at path (UTF-8) for reading and closes it again. False when the open
    // fails: a missing file, a folder, or a file another program holds exclusively.
    virtual bool CanOpenForReading(const std::string& path) const = 0;
};
