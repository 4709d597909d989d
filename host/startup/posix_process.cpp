#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host/startup/posix_services.h"

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

bool PosixFileProbe::CanOpenForReading(const std::string& path) const {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info {};
    const bool regular = fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    close(fd);
    return regular;
}

std::optional<std::string> PosixFileProbe::ShortPath(const std::string& path) const {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return path;
}

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
