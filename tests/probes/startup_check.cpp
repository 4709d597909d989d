// Checks of the Win32 runtime services against the real system functions. Run under Wine (or
// Windows) with the arguments "/s  check"; prints one line per check and exits with the number
// of failed checks.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "host/runtime/win32_services.h"
#include "host/startup/settings.h"
#include "host/startup/zoom.h"

namespace {

int failures = 0;

void Check(bool passed, const std::string& what) {
    std::printf("%s - %s\n", passed ? "ok" : "FAIL", what.c_str());
    if (!passed) ++failures;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The value of a "key=value" line of the file's bytes. Some systems drop the blank in front of a
// written value, so leading blanks are not compared.
std::string StoredValue(const std::string& bytes, const std::string& key) {
    const std::size_t line = bytes.find("\n" + key + "=");
    if (line == std::string::npos) return "<missing>";
    std::size_t begin = line + key.size() + 2;
    while (begin < bytes.size() && bytes[begin] == ' ') ++begin;
    return bytes.substr(begin, bytes.find_first_of("\r\n", begin) - begin);
}

struct FolderProgram : ProgramServices {
    std::string folder;
    std::string CommandLine() const override { return ""; }
    std::string SettingsFile() const override { return WindowsSettingsFile(folder); }
    std::string RendererPath() const override { return WindowsRendererPath(folder); }
    std::string RendererMissingMessage() const override { return kWindowsRendererMissingMessage; }
    void ShowMessage(const std::string&, const std::string&) override {}
    void EndProgram() override {}
};

void CheckProgramServices() {
    Win32ProgramServices program;
    Check(program.CommandLine() == "/s check", "command line is the arguments after the name");
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    Check(program.HostFolder() == FolderOfProgramPath(path) && !program.HostFolder().empty() &&
              program.HostFolder().back() != '\\',
          "host folder is the program's folder without a trailing backslash");
}

void CheckCodePage() {
    Win32AnsiCodePage codePage;
    const std::string text = "C:\\Music\\song 1.mp3";
    Check(codePage.FromUnicode(text) == text && codePage.ToUnicode(text) == text,
          "ASCII passes the code page unchanged");
    if (GetACP() == 932) {
        Check(codePage.FromUnicode("BGM区分") == kKeyBgmKind &&
                  codePage.FromUnicode("BGMﾘﾋﾟｰﾄ") == kKeyBgmRepeat &&
                  codePage.FromUnicode("BGMﾌｧｲﾙ") == kKeyBgmFile,
              "code page 932 gives the Shift_JIS key bytes");
        Check(codePage.ToUnicode(kKeyBgmKind) == "BGM区分", "Shift_JIS reads back as Unicode");
        Check(codePage.CanStore("C:\\曲\\ﾘﾋﾟｰﾄ.mp3") && !codePage.CanStore("C:\\♫.mp3") &&
                  !codePage.CanStore("Müsic"),
              "code page 932 holds Japanese but no music note and no best-fit ü");
    }
}

void CheckSettingsFile(const std::string& folder) {
    Win32ProfileFile profile;
    Win32FileProbe files;
    Win32AnsiCodePage codePage;
    FolderProgram program;
    program.folder = folder;
    const SettingsFileAccess access{profile, files, codePage, program};
    const std::string ini = SettingsFileName(program);
    const std::string music = folder + "\\song.wav";
    WriteBytes(music, "RIFF");

    IniWrite(access, kSettingsSection, kKeyBgmKind, " 2", ini);
    IniWrite(access, kSettingsSection, kKeyBgmRepeat, " 0", ini);
    IniWrite(access, kSettingsSection, kKeyBgmFile, music, ini);
    const std::string bytes = ReadBytes(ini);
    Check(bytes.find("[Section]") != std::string::npos, "file holds the section");
    Check(StoredValue(bytes, kKeyBgmKind) == "2" && StoredValue(bytes, kKeyBgmRepeat) == "0" &&
              StoredValue(bytes, kKeyBgmFile) == music,
          "keys are stored as their Shift_JIS bytes with the values as written");
    Check(bytes.find(kKeyBgmKind) < bytes.find(kKeyBgmRepeat) &&
              bytes.find(kKeyBgmRepeat) < bytes.find(kKeyBgmFile),
          "keys are stored in the order written");

    Settings settings;
    LoadSettings(settings, access);
    Check(settings.BgmKind == 2 && settings.BgmRepeat == 0 && settings.BgmFile == music,
          "written settings load back");

    DeleteFileA(music.c_str());
    Settings afterDelete;
    LoadSettings(afterDelete, access);
    Check(afterDelete.BgmKind == 0 && afterDelete.BgmFile.empty(),
          "kind 2 with a deleted file loads as no music");

    IniWrite(access, kSettingsSection, kKeyBgmFile, std::string(300, 'x'), ini);
    Check(IniRead(access, kSettingsSection, kKeyBgmFile, ini) == std::string(255, 'x'),
          "a 300-byte value reads back cut to 255 bytes");
    Check(IniRead(access, kSettingsSection, "missing", ini).empty() &&
              IniRead(access, kSettingsSection, kKeyBgmKind, folder + "\\none.ini").empty(),
          "a missing key or file reads as empty");

    FolderProgram root;
    root.folder = folder + "\\";  // a folder text ending in a separator, as at a drive root
    const SettingsFileAccess rootAccess{profile, files, codePage, root};
    IniWrite(rootAccess, kSettingsSection, kKeyBgmKind, " 1", SettingsFileName(root));
    Settings fromRoot;
    LoadSettings(fromRoot, rootAccess);
    Check(fromRoot.BgmKind == 1 && StoredValue(ReadBytes(ini), kKeyBgmKind) == "1",
          "a path with two backslashes in a row reaches the same file");
}

void CheckFileExists(const std::string& folder) {
    Win32FileProbe files;
    const std::string file = folder + "\\present.txt";
    WriteBytes(file, "x");
    Check(FileExists(files, file), "an existing file exists");
    Check(FileExists(files, file + "\\"), "a trailing backslash is ignored");
    Check(!FileExists(files, folder), "a folder is not a file");
    Check(!FileExists(files, folder + "\\"), "a folder with a trailing backslash is not a file");
    Check(!FileExists(files, folder + "\\absent.txt"), "a missing file does not exist");
    Check(!FileExists(files, ""), "an empty path does not exist");

    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    Check(held != INVALID_HANDLE_VALUE && !FileExists(files, file),
          "a file held exclusively cannot be opened");
    CloseHandle(held);
    HANDLE writing = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    Check(writing != INVALID_HANDLE_VALUE && FileExists(files, file),
          "a file another program writes while sharing reads can be opened");
    CloseHandle(writing);

    const auto shortPath = files.ShortPath(file);
    Check(shortPath && FileExists(files, *shortPath), "a file's short path names the file");
    Check(!files.ShortPath(folder + "\\absent.txt"), "a missing file has no short path");
}

DWORD WINAPI SendCloseSoon(LPVOID window) {
    Sleep(50);
    SendMessageA(static_cast<HWND>(window), WM_CLOSE, 0, 0);
    return 0;
}

FormLook LookOf(const char* caption, FormBorder border) {
    FormLook look;
    look.caption = caption;
    look.border = border;
    look.clientWidth = 3000;
    look.clientHeight = 1500;
    return look;
}

void CheckForms() {
    Win32Screen screen;
    Win32FormPlatform platform(screen);
    Win32TimerService timers;
    Win32WindowLookup lookup;
    Win32NativeWindows windows;
    const double twips = screen.TwipsPerPixelX();
    Check(twips > 0 && screen.Width() == GetSystemMetrics(SM_CXSCREEN) * twips,
          "screen width is in twips");

    std::vector<UnloadMode> modes;
    FormEvents events;
    events.queryUnload = [&](bool&, UnloadMode mode) { modes.push_back(mode); };
    Form form(platform, screen, LookOf("Lumen_Ribbon_Check_Form", FormBorder::FixedSingle), events);
    form.Load();
    const HWND hidden = FindWindowA(nullptr, "Lumen_Ribbon_Check_Form");
    Check(form.Loaded() && lookup.FindByTitle("Lumen_Ribbon_Check_Form") == form.Handle() &&
              hidden != nullptr && !IsWindowVisible(hidden),
          "a loaded form is found by its caption while hidden");
    RECT client{};
    GetClientRect(hidden, &client);
    Check(client.right == TwipsToPixels(3000, twips), "the client area has the design size");
    form.Move(15 * twips, 30 * twips, 400 * twips, 200 * twips);
    RECT outer{};
    GetWindowRect(hidden, &outer);
    Check(outer.left == 15 && outer.top == 30 && outer.right == 415 && outer.bottom == 230 &&
              form.Width() == 400 * twips,
          "Move places the window in twips");
    form.Show();
    Check(IsWindowVisible(hidden) != FALSE, "Show makes the window visible");

    int ticks = 0;
    Timer timer(timers, 30, true, [&] {
        if (++ticks == 3) PostMessageA(hidden, WM_CLOSE, 0, 0);
    });
    form.AttachTimer(timer);
    form.ShowModal();
    Check(ticks == 3 && !form.Loaded() && modes.size() == 1 && modes[0] == UnloadMode::ControlMenu,
          "a modal show runs timers and returns once closing unloads the form");
    Check(FindWindowA(nullptr, "Lumen_Ribbon_Check_Form") == nullptr,
          "an unloaded form's window is gone");

    // A close sent by another thread is handled inside GetMessage; the loop must still end.
    Form sentTo(platform, screen, LookOf("Lumen_Ribbon_Check_Sent", FormBorder::FixedSingle), {});
    sentTo.Load();
    int fallbackTicks = 0;
    Timer fallback(timers, 2000, true, [&] { ++fallbackTicks; });
    HANDLE closer = CreateThread(nullptr, 0, SendCloseSoon,
                                 reinterpret_cast<LPVOID>(sentTo.Handle()), 0, nullptr);
    sentTo.ShowModal();
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    Check(!sentTo.Loaded() && fallbackTicks == 0,
          "a modal show ends when another thread's sent close unloads the form");
    fallback.SetEnabled(false);

    Form parent(platform, screen, LookOf("Lumen_Ribbon_Check_Parent", FormBorder::Borderless), {});
    std::vector<UnloadMode> childModes;
    FormEvents childEvents;
    childEvents.queryUnload = [&](bool& cancel, UnloadMode mode) {
        childModes.push_back(mode);
        cancel = true;
    };
    Form child(platform, screen, LookOf("Lumen_Ribbon_Check_Child", FormBorder::Borderless),
               childEvents);
    parent.Show();
    parent.Move(0, 0, 300 * twips, 200 * twips);
    child.Load();
    windows.EmbedInto(child.Handle(), parent.Handle());
    child.Move(0, 0, 300 * twips, 200 * twips);
    child.Show();
    Check(child.Left() == 0 && child.Width() == 300 * twips &&
              GetAncestor(reinterpret_cast<HWND>(child.Handle()), GA_PARENT) ==
                  reinterpret_cast<HWND>(parent.Handle()),
          "a re-parented form is placed inside its new parent");
    DestroyWindow(reinterpret_cast<HWND>(parent.Handle()));
    Check(!child.Loaded() && childModes.size() == 1 && childModes[0] == UnloadMode::OwnerClosing,
          "a form destroyed with its parent unloads although its handler cancels");
    parent.Unload();

    StartupModule module;
    Win32Cursor cursor;
    RecordZoomOrigin(module, cursor);
    const auto position = cursor.Position();
    Check(position && module.CursorX == position->x && module.CursorY == position->y,
          "the zoom origin is the mouse position");
}

void CheckCursorAndProcesses() {
    Win32Cursor cursor;
    const int32_t before = cursor.ShowCursor(1);
    Check(cursor.ShowCursor(0) == before - 1, "hiding the cursor lowers its count by one");

    Win32ProcessLauncher launcher;
    Check(launcher.Start("C:\\no such folder\\none.exe") == nullptr,
          "a missing program cannot be started");
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    const auto started = launcher.Start(std::string(system) + "\\hostname.exe");
    Check(started != nullptr, "an existing program starts");
    for (int wait = 0; started && started->StillRunning() && wait < 300; ++wait) Sleep(100);
    Check(started && !started->StillRunning(), "a started program that exits is seen to end");
}

}  // namespace

int main() {
    char folderTemplate[MAX_PATH];
    GetTempPathA(MAX_PATH, folderTemplate);
    const std::string folder =
        std::string(folderTemplate) + "lr_startup_check_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);

    CheckProgramServices();
    CheckCodePage();
    CheckSettingsFile(folder);
    CheckFileExists(folder);
    CheckForms();
    CheckCursorAndProcesses();

    for (const char* name : {"\\Lumen_Ribbon.ini", "\\present.txt", "\\song.wav"}) {
        DeleteFileA((folder + name).c_str());
    }
    RemoveDirectoryA(folder.c_str());
    std::printf("%d failed\n", failures);
    return failures;
}
