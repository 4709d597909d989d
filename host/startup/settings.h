// The host's settings file: the background-music choice, kept in a profile (INI) file where the
// platform places it (beside the host on Windows).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/runtime/file_probe.h"
#include "host/runtime/profile_file.h"
#include "host/runtime/program.h"
#include "host/runtime/text_code_page.h"

// The settings variables, shared by the whole host for the whole run.
struct Settings {
    int16_t BgmKind = 0;    // 0 no music, 1 music CD, 2 MP3/WAV file; other values play nothing
    int16_t BgmRepeat = 0;  // CD track to loop; 0 plays the whole disc
    std::string BgmFile;    // full path of the music file (UTF-8)
};

// Section and key names exactly as stored. The keys are the Shift_JIS bytes of "BGM区分",
// "BGMﾘﾋﾟｰﾄ" and "BGMﾌｧｲﾙ" whatever the system's code page, so that files written on any
// system are the same file.
inline constexpr char kSettingsSection[] = "Section";
inline constexpr char kKeyBgmKind[] = "BGM\x8B\xE6\x95\xAA";
inline constexpr char kKeyBgmRepeat[] = "BGM\xD8\xCB\xDF\xB0\xC4";
inline constexpr char kKeyBgmFile[] = "BGM\xCC\xA7\xB2\xD9";

// Everything the settings file needs from its platform.
struct SettingsFileAccess {
    ProfileFile& profile;
    const FileProbe& files;
    const AnsiCodePage& codePage;
    const ProgramServices& program;
};

// The settings file's full path where the platform places it, asked for anew at every access.
// On Windows it is the host folder followed directly by "\Lumen_Ribbon.ini".
std::string SettingsFileName(const ProgramServices& program);

// The value stored under key, or "" when the file, the section or the key is missing; at most
// 255 bytes of ANSI text. Section and key are ANSI bytes handed over unchanged; the file path
// and the result are UTF-8.
std::string IniRead(const SettingsFileAccess& access, const std::string& section,
                    const std::string& key, const std::string& file);

// Writes one value (UTF-8, stored in the ANSI code page), creating the file, section or key as
// needed. Returns the system call's result: 0 when the value could not be written.
int32_t IniWrite(const SettingsFileAccess& access, const std::string& section,
                 const std::string& key, const std::string& value, const std::string& file);

// Whether IniRead gives the value back whole: its ANSI text is no longer than a read keeps.
bool IniKeepsWhole(const AnsiCodePage& codePage, const std::string& value);

// Reads the three settings. A missing value reads as 0 or ""; a number that is not one or does
// not fit 16 bits leaves its variable alone; a music file that cannot be opened reads as "",
// and kind 2 without a file becomes 0.
void LoadSettings(Settings& settings, const SettingsFileAccess& access);

// The form of path that the code page can hold, for the system's ANSI calls: the path itself when
// it can, else its short form, or for a file not yet made its folder's short form followed by its
// name; std::nullopt when none of these can be held.
std::optional<std::string> StorablePath(const AnsiCodePage& codePage, const FileProbe& files,
                                        const std::string& path);

// Whether the file can be opened for reading; one trailing backslash is ignored. A folder, a
// missing file and a file held exclusively by another program all give false.
bool FileExists(const FileProbe& files, std::string path);
