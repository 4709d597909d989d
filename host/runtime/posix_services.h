// The POSIX implementations of the host's file services. The declarations stay free of system
// headers.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "host/runtime/file_probe.h"
#include "host/runtime/instance_lock.h"
#include "host/runtime/process_launcher.h"
#include "host/runtime/profile_file.h"
#include "host/runtime/text_code_page.h"

// File names and file contents are the file system's bytes, which the host's texts already are.
class PosixAnsiCodePage : public AnsiCodePage {
  public:
    std::string FromUnicode(const std::string& utf8) const override { return utf8; }
    std::string ToUnicode(const std::string& ansi) const override { return ansi; }
    bool CanStore(const std::string&) const override { return true; }
};

// A file descriptor for reading the regular file at path, opened without waiting; -1 for
// anything else (missing, unreadable, a folder, a FIFO, a device).
int OpenRegularFile(const std::string& path);

// A regular file that can be opened for reading counts; names have no short form.
class PosixFileProbe : public FileProbe {
  public:
    bool CanOpenForReading(const std::string& path) const override;
    std::optional<std::string> ShortPath(const std::string& path) const override;
};

// A lock file under the runtime folder ($XDG_RUNTIME_DIR) for the given X display; without a
// runtime folder there is no lock.
class PosixInstanceLock : public InstanceLock {
  public:
    PosixInstanceLock(const char* runtimeFolder, const std::string& display);
    ~PosixInstanceLock() override;
    PosixInstanceLock(const PosixInstanceLock&) = delete;
    PosixInstanceLock& operator=(const PosixInstanceLock&) = delete;
    bool Acquire() override;

  private:
    std::string path_;
    int fd_ = -1;
};

// Programs started with posix_spawn; the started process is reaped by the object that holds it.
class PosixProcessLauncher : public ProcessLauncher {
  public:
    std::unique_ptr<StartedProcess> Start(const std::string& path) override;
};

// Profile files read and written by the rules of profile_text.h. A write replaces the whole file
// at once (a new file in the same folder, flushed, then renamed over the old one), making the
// folder first when it is missing; it returns 0 when anything fails, and the old file is then
// left as it was. A symbolic link stays: its target is replaced, in the target's folder. A file
// without write permission is not replaced. The new file has no name until it is complete where
// the file system allows, and one left by a save that was killed is cleared by the next save.
// In a UTF-16 file the section and key are looked for as code page 932 text.
class PosixProfileFile : public ProfileFile {
  public:
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& file) override;
    int32_t WriteString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) override;
};
