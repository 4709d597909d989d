// Files as the host looks at them: whether one can be read; names have no short form.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/runtime/posix_services.h"

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
