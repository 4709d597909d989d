// The sound system on Windows: winmm's MCI command strings, wave output devices
// and PlaySoundA. Texts cross this boundary in the ANSI code page.

#include <windows.h>
// mmsystem.h needs the types of windows.h.
#include <mmsystem.h>

#include <string>
#include <vector>

#include "host/music/sound_system.h"

namespace {

std::wstring WideFromCodePage(const std::string& text, UINT codePage) {
    if (text.empty()) return std::wstring();
    const int length =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string CodePageFromWide(const std::wstring& wide, UINT codePage) {
    if (wide.empty()) return std::string();
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length,
                        nullptr, nullptr);
    return text;
}

std::string AnsiFromUtf8(const std::string& text) {
    return CodePageFromWide(WideFromCodePage(text, CP_UTF8), CP_ACP);
}

std::string Utf8FromAnsi(const std::string& text) {
    return CodePageFromWide(WideFromCodePage(text, CP_ACP), CP_UTF8);
}

std::string TextBeforeNul(const char* buffer, size_t size) {
    size_t length = 0;
    while (length < size && buffer[length] != '\0') ++length;
    return std::string(buffer, length);
}

// Copies `text` NUL-terminated into `buffer`, cut at a character boundary when
// it does not fit; the bytes after the terminator stay as they were.
void PutText(const std::string& text, char* buffer, size_t size, UINT codePage) {
    if (size == 0) return;
    size_t length = text.size();
    if (length > size - 1) {
        length = size - 1;
        if (codePage == CP_UTF8) {
            while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
                --length;
            }
        } else {
            // Find the last character start at or before the cut in a double-byte code page.
            size_t start = 0;
            while (start < length) {
                const size_t next =
                    start + (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[start])) ? 2 : 1);
                if (next > length) break;
                start = next;
            }
            length = start;
        }
    }
    text.copy(buffer, length);
    buffer[length] = '\0';
}

// The caller's buffer holds UTF-8 and the system writes ANSI: the system gets an
// ANSI copy of what the buffer holds, so that a call which writes nothing leaves
// the caller's text as it was.
class AnsiBuffer {
  public:
    AnsiBuffer(char* utf8Buffer, uint32_t size) : utf8Buffer_(utf8Buffer), ansi_(size, '\0') {
        if (size > 0) {
            PutText(AnsiFromUtf8(TextBeforeNul(utf8Buffer, size)), ansi_.data(), size, CP_ACP);
        }
    }
    char* data() { return ansi_.empty() ? nullptr : ansi_.data(); }
    UINT size() const { return static_cast<UINT>(ansi_.size()); }
    void CopyBack() {
        if (ansi_.empty()) return;
        PutText(Utf8FromAnsi(TextBeforeNul(ansi_.data(), ansi_.size())), utf8Buffer_, ansi_.size(),
                CP_UTF8);
    }

  private:
    char* utf8Buffer_;
    std::vector<char> ansi_;
};

class Win32SoundSystem : public SoundSystem {
  public:
    int32_t SendCommand(const std::string& command, char* answer, uint32_t answerSize) override {
        AnsiBuffer buffer(answer, answer ? answerSize : 0);
        const MCIERROR code =
            mciSendStringA(AnsiFromUtf8(command).c_str(), buffer.data(), buffer.size(), nullptr);
        buffer.CopyBack();
        return static_cast<int32_t>(code);
    }

    bool DescribeError(int32_t code, char* buffer, uint32_t bufferSize) override {
        AnsiBuffer ansi(buffer, bufferSize);
        const BOOL found =
            mciGetErrorStringA(static_cast<MCIERROR>(code), ansi.data(), ansi.size());
        ansi.CopyBack();
        return found != FALSE;
    }

    int32_t WaveOutputDeviceCount() override { return static_cast<int32_t>(waveOutGetNumDevs()); }

    bool PlaySoundName(const char* name, uint32_t flags) override {
        if (name == nullptr) return PlaySoundA(nullptr, nullptr, flags) != FALSE;
        return PlaySoundA(AnsiFromUtf8(name).c_str(), nullptr, flags) != FALSE;
    }
};

}  // namespace

std::unique_ptr<SoundSystem> CreateSoundSystem() {
    return std::make_unique<Win32SoundSystem>();
}
