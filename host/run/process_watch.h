#pragma once
// Watching a process that the host has started.

#include <cstdint>
#include <memory>

class ProcessWatch {
  public:
    virtual ~ProcessWatch() = default;
    // true while the process with this id has not ended.
    virtual bool IsRunning(uint32_t processId) const = 0;
};

// The platform's own process watch; defined by the platform file that the build picks.
std::unique_ptr<ProcessWatch> CreateProcessWatch();
