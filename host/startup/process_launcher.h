// Starting another program as a new process.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class ProcessLauncher {
  public:
    virtual ~ProcessLauncher() = default;
    // Starts the program at path (UTF-8) without arguments, with a normal window that takes the
    // focus, and returns at once. The process id, or std::nullopt when it could not be started.
    virtual std::optional<uint32_t> Start(const std::string& path) = 0;
};
