#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host/runtime/posix_services.h"

extern char** environ;

namespace {

// The child stays our child until it is reaped, so its id cannot name another process meanwhile.
class PosixStartedProcess : public StartedProcess {
  public:
    explicit PosixStartedProcess(pid_t pid) : pid_(pid) {}

    bool StillRunning() const override {
        if (ended_) return false;
        int status = 0;
        const pid_t result = waitpid(pid_, &status, WNOHANG);
        if (result == 0) return true;
        ended_ = true;
        return false;
    }

  private:
    pid_t pid_;
    mutable bool ended_ = false;
};

}  // namespace

std::unique_ptr<StartedProcess> PosixProcessLauncher::Start(const std::string& path) {
    char* const arguments[] = {const_cast<char*>(path.c_str()), nullptr};
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The child starts with the default signal handling, whatever the host changed.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, path.c_str(), nullptr, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    if (failed) return nullptr;
    return std::make_unique<PosixStartedProcess>(pid);
}
