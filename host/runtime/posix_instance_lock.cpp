// The instance lock as an flock on a file in the user's runtime folder, one file per X display,
// as the window names are looked for on one display. The kernel lets go of it when the program
// ends in any way, and the renderer, started later, does not inherit it.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "host/runtime/posix_services.h"

PosixInstanceLock::PosixInstanceLock(const char* runtimeFolder, const std::string& display) {
    if (runtimeFolder == nullptr || *runtimeFolder != '/') return;
    std::string name = display;
    for (char& c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == ':' || c == '-';
        if (!plain) c = '_';
    }
    path_ = std::string(runtimeFolder) + "/lumen-ribbon-host." + name + ".lock";
}

PosixInstanceLock::~PosixInstanceLock() {
    if (fd_ >= 0) close(fd_);
}

bool PosixInstanceLock::Acquire() {
    if (fd_ >= 0 || path_.empty()) return true;
    const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        close(fd);
        return !held;
    }
    fd_ = fd;
    return true;
}
