// The system's file-open dialog.

// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include <string>

#include "host/forms/win32_forms_ui.h"
#include "host/runtime/win32_services.h"

namespace {

// The file buffer's size in characters, its closing NUL included.
constexpr DWORD kFileBufferSize = 255;

// Each type's name and its patterns joined by ";", each ended by a NUL; a second NUL ends the
// list.
std::wstring TypeFilter(const std::vector<FileType>& types) {
    std::wstring filter;
    for (const FileType& type : types) {
        std::string patterns;
        for (const std::string& pattern : type.patterns) {
            patterns += (patterns.empty() ? "" : ";") + pattern;
        }
        filter += WideFromUtf8(type.name) + L'\0' + WideFromUtf8(patterns) + L'\0';
    }
    return filter + L'\0';
}

}  // namespace

// The wide-character dialog, so that any name the file system allows comes back intact.
std::optional<std::string> Win32FileChooser::ChooseFile(WindowHandle owner,
                                                        const FileOpenRequest& request) {
    const std::wstring filter = TypeFilter(request.types);
    const std::wstring title = WideFromUtf8(request.title);
    const std::wstring folder = WideFromUtf8(request.initialFolder);
    std::wstring file(kFileBufferSize, L'\0');
    std::wstring fileTitle(kFileBufferSize, L'\0');
    OPENFILENAMEW dialog{};
    // The record of the version the dialog was designed with (no places bar), as long as it is
    // for the build's word size: 76 bytes in a 32-bit program, 136 in a 64-bit one.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    dialog.hwndOwner = reinterpret_cast<HWND>(owner);
    dialog.hInstance = GetModuleHandleA(nullptr);
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = &file[0];
    dialog.nMaxFile = kFileBufferSize;
    dialog.lpstrFileTitle = &fileTitle[0];
    dialog.nMaxFileTitle = kFileBufferSize;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.c_str();
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    file.resize(file.find(L'\0'));
    return Utf8FromWide(file);
}
