#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "host/runtime/posix_services.h"
#include "host/runtime/profile_text.h"

namespace {

// The file's bytes; "" for a missing file, nullopt when it exists but cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path) {
    // Not blocking on a pipe or device put in the file's place; only a regular file is read.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
    std::string text;
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    char chunk[4096];
    while (ok) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        text.append(chunk, static_cast<size_t>(got));
    }
    close(fd);
    if (!ok) return std::nullopt;
    return text;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the folder and any missing parents, private to the user as configuration folders are.
bool MakeFolders(const std::string& folder) {
    struct stat info {};
    if (stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
    if (errno != ENOENT) return false;
    const std::string parent = FolderOf(folder);
    if (parent != folder && !MakeFolders(parent)) return false;
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

bool ReplaceFile(const std::string& path, const std::string& text) {
    const std::string folder = FolderOf(path);
    if (!MakeFolders(folder)) return false;
    struct stat old {};
    const mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;

    std::string temporary = path + ".XXXXXX";
    const int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, text) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself is only durable once the folder is flushed.
    return SyncFolder(folder);
}

}  // namespace

std::string PosixProfileFile::ReadString(const std::string& section, const std::string& key,
                                         const std::string& file) {
    const std::optional<std::string> text = ReadWholeFile(file);
    return ProfileAnswer(text ? ProfileValue(*text, section, key) : std::nullopt);
}

int32_t PosixProfileFile::WriteString(const std::string& section, const std::string& key,
                                      const std::string& value, const std::string& file) {
    const std::optional<std::string> text = ReadWholeFile(file);
    // A file that exists but cannot be read is never replaced by one holding only this value.
    if (!text) return 0;
    const std::optional<std::string> edited = ProfileWithValue(*text, section, key, value);
    if (!edited) return 0;
    return ReplaceFile(file, *edited) ? 1 : 0;
}
