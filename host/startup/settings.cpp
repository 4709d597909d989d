#include "host/startup/settings.h"

#include <algorithm>

#include "host/runtime/conversions.h"

namespace {

// A value is read into a 256-byte buffer, which keeps 255 bytes and the closing NUL.
constexpr std::size_t kLongestValue = 255;

// The language's assignment of Int(text) to a 16-bit variable: a text that is not a number, or
// a number outside 16 bits, fails and leaves the variable as it was.
void AssignWholeNumber(int16_t& variable, const std::string& text) {
    if (text.empty()) {
        variable = 0;
        return;
    }
    const auto number = NumberFromText(text);
    if (!number) return;
    if (const auto whole = RoundToInt16(IntPart(*number))) variable = *whole;
}

// The settings file's path as the profile functions take it; a folder whose name the code page
// cannot hold is reached through its short form.
std::string AnsiFileName(const SettingsFileAccess& access, const std::string& file) {
    return access.codePage.FromUnicode(
        StorablePath(access.codePage, access.files, file).value_or(file));
}

}  // namespace

std::optional<std::string> StorablePath(const AnsiCodePage& codePage, const FileProbe& files,
                                        const std::string& path) {
    if (codePage.CanStore(path)) return path;
    if (auto shortPath = files.ShortPath(path)) {
        if (codePage.CanStore(*shortPath)) return shortPath;
    }
    const std::size_t separator = path.find_last_of('\\');
    if (separator == std::string::npos) return std::nullopt;
    const std::string name = path.substr(separator);
    const auto folder = files.ShortPath(path.substr(0, separator));
    if (!folder || !codePage.CanStore(*folder + name)) return std::nullopt;
    return *folder + name;
}

std::string SettingsFileName(const ProgramServices& program) {
    return program.SettingsFile();
}

std::string IniRead(const SettingsFileAccess& access, const std::string& section,
                    const std::string& key, const std::string& file) {
    std::string answer = access.profile.ReadString(section, key, AnsiFileName(access, file));
    // Read up to the first NUL, as from the buffer.
    answer.resize(std::min({answer.find('\0'), answer.size(), kLongestValue}));
    return access.codePage.ToUnicode(answer);
}

bool IniKeepsWhole(const AnsiCodePage& codePage, const std::string& value) {
    return codePage.FromUnicode(value).size() <= kLongestValue;
}

int32_t IniWrite(const SettingsFileAccess& access, const std::string& section,
                 const std::string& key, const std::string& value, const std::string& file) {
    const std::string ansiValue = access.codePage.FromUnicode(value);
    const std::string ansiFile = AnsiFileName(access, file);
    return access.profile.WriteString(section, key, ansiValue, ansiFile);
}

void LoadSettings(Settings& settings, const SettingsFileAccess& access) {
    AssignWholeNumber(settings.BgmKind, IniRead(access, kSettingsSection, kKeyBgmKind,
                                                SettingsFileName(access.program)));
    AssignWholeNumber(settings.BgmRepeat, IniRead(access, kSettingsSection, kKeyBgmRepeat,
                                                  SettingsFileName(access.program)));
    const std::string file =
        IniRead(access, kSettingsSection, kKeyBgmFile, SettingsFileName(access.program));
    settings.BgmFile = file;
    if (file.empty() || !FileExists(access.files, file)) {
        settings.BgmFile.clear();
        if (settings.BgmKind == 2) settings.BgmKind = 0;
    }
}

bool FileExists(const FileProbe& files, std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return files.CanOpenForReading(path);
}
