// Files as the host looks at them: whether one can be read; names have no short form.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/runtime/posix_services.h"

// Only a regular file is opened at all: the open of a FIFO or a device can wait for ever, or do
// something of its own. The name may stand for another file by the time of the open, so the
// open does not wait either, and what it opened is looked at again.
int OpenRegularFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

bool PosixFileProbe::CanOpenForReading(const std::string& path) const {
    const int fd = OpenRegularFile(path);
    if (fd < 0) return false;
    close(fd);
    return true;
}

std::optional<std::string> PosixFileProbe::ShortPath(const std::string& path) const {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return path;
}
