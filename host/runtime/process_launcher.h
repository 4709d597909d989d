// Starting another program as a new process.
#pragma once

#include <memory>
#include <string>

// A process this program started, held from its creation, so that the answer never concerns
// another process that happens to get the same id later.
class StartedProcess {
  public:
    virtual ~StartedProcess() = default;
    // true until the process has ended.
    virtual bool StillRunning() const = 0;
};

class ProcessLauncher {
  public:
    virtual ~ProcessLauncher() = default;
    // Starts the program at path (UTF-8) without arguments, with a normal window that takes the
    // focus, and returns at once; nullptr when it could not be started.
    virtual std::unique_ptr<StartedProcess> Start(const std::string& path) = 0;
};
