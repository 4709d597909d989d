#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

// Where a save goes: the file a symbolic link leads to, link after link (a relative one from the
// link's folder), so that the link stays a link and its target gets the new text. nullopt for a
// loop or a path that cannot be looked at.
std::optional<std::string> FinalTarget(std::string path) {
    constexpr int kMostLinks = 40;
    std::vector<char> target(PATH_MAX);
    for (int link = 0; link < kMostLinks; ++link) {
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0) {
            if (errno == EINVAL || errno == ENOENT) return path;
            return std::nullopt;
        }
        if (static_cast<size_t>(length) == target.size()) return std::nullopt;
        const std::string next(target.data(), static_cast<size_t>(length));
        path = next[0] == '/' ? next : FolderOf(path) + "/" + next;
    }
    return std::nullopt;
}

// A temporary file of ours lies beside its file as "<name>.saving-XXXXXX", locked while its
// save runs.
constexpr char kTemporaryMark[] = ".saving-";
constexpr size_t kTemporaryTail = 6;

bool IsTemporaryOf(const std::string& entry, const std::string& name) {
    const std::string start = name + kTemporaryMark;
    return entry.size() == start.size() + kTemporaryTail &&
           entry.compare(0, start.size(), start) == 0;
}

// Temporary files left by a save that was killed: ours by their name, and no longer locked.
void ClearStaleTemporaries(const std::string& folder, const std::string& name) {
    DIR* listing = opendir(folder.c_str());
    if (!listing) return;
    const int folderFd = dirfd(listing);
    while (const dirent* entry = readdir(listing)) {
        if (!IsTemporaryOf(entry->d_name, name)) continue;
        const int fd =
            openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0) {
            unlinkat(folderFd, entry->d_name, 0);
        }
        close(fd);
    }
    closedir(listing);
}

std::string RandomTail() {
    constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[kTemporaryTail] = {};
    if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return "";
    std::string tail;
    for (const unsigned char r : random) tail += kLetters[r % (sizeof kLetters - 1)];
    return tail;
}

// Gives the complete unnamed file a temporary name beside path, ready to be renamed over it.
std::optional<std::string> NameUnnamedFile(int fd, const std::string& path) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string tail = RandomTail();
        if (tail.empty()) return std::nullopt;
        const std::string name = path + kTemporaryMark + tail;
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return name;
        }
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

bool ReplaceFile(const std::string& path, const std::string& text) {
    const std::string folder = FolderOf(path);
    if (!MakeFolders(folder)) return false;
    mode_t mode = 0644;
    struct stat old {};
    if (stat(path.c_str(), &old) == 0) {
        // Like the system's profile functions, a file that may not be written is kept, although
        // the rename over it needs only the folder.
        if ((old.st_mode & 0222) == 0 || faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
            return false;
        }
        mode = old.st_mode & 07777;
    } else if (errno != ENOENT) {
        return false;
    }
    const size_t slash = path.rfind('/');
    ClearStaleTemporaries(folder, slash == std::string::npos ? path : path.substr(slash + 1));

    // Unnamed until it is complete, where the file system allows; else named, and locked so that
    // the next save can tell it from one left by a save that was killed.
    std::string temporary;
    int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        temporary = path + kTemporaryMark + std::string(kTemporaryTail, 'X');
        fd = mkostemp(&temporary[0], O_CLOEXEC);
        if (fd < 0) return false;
    }
    bool ok =
        flock(fd, LOCK_EX) == 0 && WriteAll(fd, text) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    if (ok && temporary.empty()) {
        const std::optional<std::string> named = NameUnnamedFile(fd, path);
        ok = named.has_value();
        temporary = named.value_or("");
    }
    ok = ok && rename(temporary.c_str(), path.c_str()) == 0;
    // Closed only now: the lock marks the named file as in use until it has its place.
    ok = close(fd) == 0 && ok;
    if (!ok) {
        if (!temporary.empty()) unlink(temporary.c_str());
        return false;
    }
    // The rename itself is only durable once the folder is flushed.
    return SyncFolder(folder);
}

// The names the host asks for are code page 932 bytes (its keys are Shift_JIS on every system);
// a UTF-16 file holds them as the Japanese system writes them there.
std::optional<std::string> NameInUnicode(const std::string& name) {
    const iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in = name;
    std::string out(name.size() * 3, '\0');
    char* from = in.data();
    size_t fromLeft = in.size();
    char* to = out.data();
    size_t toLeft = out.size();
    const size_t done = iconv(converter, &from, &fromLeft, &to, &toLeft);
    iconv_close(converter);
    if (done == static_cast<size_t>(-1) || fromLeft != 0) return std::nullopt;
    out.resize(out.size() - toLeft);
    return out;
}

// The section and key as the file's text holds them; nullopt when it cannot hold them.
std::optional<std::pair<std::string, std::string>> NamesFor(const std::string& text,
                                                            const std::string& section,
                                                            const std::string& key) {
    if (!IsUtf16Profile(text)) return std::make_pair(section, key);
    const auto unicodeSection = NameInUnicode(section);
    const auto unicodeKey = NameInUnicode(key);
    if (!unicodeSection || !unicodeKey) return std::nullopt;
    return std::make_pair(*unicodeSection, *unicodeKey);
}

}  // namespace

std::string PosixProfileFile::ReadString(const std::string& section, const std::string& key,
                                         const std::string& file) {
    const std::optional<std::string> text = ReadWholeFile(file);
    if (!text) return std::string();
    const auto names = NamesFor(*text, section, key);
    return ProfileAnswer(names ? ProfileValue(*text, names->first, names->second) : std::nullopt);
}

int32_t PosixProfileFile::WriteString(const std::string& section, const std::string& key,
                                      const std::string& value, const std::string& file) {
    const std::optional<std::string> text = ReadWholeFile(file);
    // A file that exists but cannot be read is never replaced by one holding only this value.
    if (!text) return 0;
    const auto names = NamesFor(*text, section, key);
    if (!names) return 0;
    const std::optional<std::string> edited =
        ProfileWithValue(*text, names->first, names->second, value);
    const std::optional<std::string> target = FinalTarget(file);
    if (!edited || !target) return 0;
    return ReplaceFile(*target, *edited) ? 1 : 0;
}
