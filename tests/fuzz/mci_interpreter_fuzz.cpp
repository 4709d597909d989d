// The MCI command strings over a media player that holds the interpreter to the player's rules.
// The input's last byte sets up the player (drive, disc, how many tracks, whether the files
// play) and the answer buffers' size; the bytes before are commands, one a line. A line of the
// one byte 0x01 is no command: it takes the disc out of the drive, or puts it back.
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/music/mci_interpreter.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Bytes the answer buffer starts with, to see what a command wrote.
constexpr char kUnwritten = '\x7F';

struct RuledPlayer : MediaPlayer {
    bool drive = true;
    bool disc = true;
    int tracks = 0;
    bool filesPlay = true;
    bool cdOpen = false;
    bool fileOpen = false;
    MediaMode cdMode = MediaMode::Stopped;
    MediaMode fileMode = MediaMode::Stopped;
    std::optional<CdPosition> lastCdStart;
    std::optional<std::string> openedPath;

    void ExpectCdOpen() const { FuzzExpect(cdOpen, "the CD is used only while open"); }
    void ExpectFileOpen() const { FuzzExpect(fileOpen, "a file is used only while open"); }

    bool OpenCd() override {
        FuzzExpect(!cdOpen, "the CD is not opened twice");
        return cdOpen = drive;
    }
    void CloseCd() override {
        ExpectCdOpen();
        cdOpen = false;
    }
    std::optional<int> CdTrackCount() override {
        ExpectCdOpen();
        return disc ? std::optional<int>(tracks) : std::nullopt;
    }
    std::optional<int> CdCurrentTrack() override {
        ExpectCdOpen();
        return disc ? std::optional<int>(1) : std::nullopt;
    }
    MediaMode CdMode() override {
        ExpectCdOpen();
        return disc ? cdMode : MediaMode::NotReady;
    }
    bool PlayCd(std::optional<CdPosition> from) override {
        ExpectCdOpen();
        FuzzExpect(disc, "a CD plays only with a disc");
        if (from) {
            FuzzExpect(from->track >= 1 && from->track <= tracks,
                       "a CD plays from one of its tracks");
        }
        cdMode = MediaMode::Playing;
        lastCdStart = from;
        return true;
    }
    void StopCd() override {
        ExpectCdOpen();
        cdMode = MediaMode::Stopped;
    }

    bool OpenFile(const std::string& path) override {
        FuzzExpect(!fileOpen, "one file at a time");
        openedPath = path;
        return fileOpen = filesPlay;
    }
    void CloseFile() override {
        ExpectFileOpen();
        fileOpen = false;
    }
    MediaMode FileMode() override {
        ExpectFileOpen();
        return fileMode;
    }
    bool PlayFile(std::optional<uint32_t>) override {
        ExpectFileOpen();
        fileMode = MediaMode::Playing;
        return true;
    }
    void StopFile() override {
        ExpectFileOpen();
        fileMode = MediaMode::Stopped;
    }

    int32_t OutputDeviceCount() override { return 1; }
    bool PlaySound(const std::string&, bool) override { return true; }
    void StopSound() override {}
};

// The place "play cdaudio from T:M:S:F" names (each part but the track optional, frames 75 to
// a second), in milliseconds; nullopt for any other command. Only called for commands that
// succeeded, so every part is a number.
std::optional<uint64_t> NamedCdOffset(const std::string& command) {
    if (command.find('"') != std::string::npos) return std::nullopt;
    std::vector<std::string> words;
    for (const std::string& word : SplitInput(reinterpret_cast<const uint8_t*>(command.data()),
                                              command.size(), SIZE_MAX, ' ')) {
        if (!word.empty()) words.push_back(word);
    }
    if (words.size() != 4 || words[0] != "play" || words[1] != "cdaudio" || words[2] != "from") {
        return std::nullopt;
    }
    const std::vector<std::string> parts = SplitInput(
        reinterpret_cast<const uint8_t*>(words[3].data()), words[3].size(), SIZE_MAX, ':');
    uint64_t value[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < parts.size() && i < 4; ++i) value[i] = std::stoull("0" + parts[i]);
    return (value[1] * 60 + value[2]) * 1000 + value[3] * 1000 / 75;
}

// The file "open "<path>" ..." names: all between the first double quote and the last, quotes
// included; nullopt for a command that does not open a quoted path.
std::optional<std::string> QuotedPathOpened(const std::string& command) {
    const size_t first = command.find('"');
    const size_t last = command.rfind('"');
    if (command.compare(0, 6, "open \"") != 0 || last == first) return std::nullopt;
    return command.substr(first + 1, last - first - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t setup = data[size - 1];
    auto owned = std::make_unique<RuledPlayer>();
    RuledPlayer& player = *owned;
    player.drive = (setup & 1) == 0;
    player.disc = (setup & 2) == 0;
    player.filesPlay = (setup & 4) == 0;
    player.tracks = (setup >> 3) & 3 ? ((setup >> 3) & 3) * 5 : 1;
    // 0 to 15 bytes: from no buffer to one that holds every answer.
    const uint32_t answerSize = setup >> 4;
    MciInterpreter interpreter(std::move(owned));

    for (const std::string& command : SplitInput(data, size - 1, SIZE_MAX, '\n')) {
        if (command == "\x01") {
            player.disc = !player.disc;
            continue;
        }
        std::vector<char> answer(answerSize, kUnwritten);
        player.openedPath.reset();
        const int32_t code =
            interpreter.SendCommand(command, answerSize ? answer.data() : nullptr, answerSize);
        if (player.openedPath) {
            if (const auto named = QuotedPathOpened(command)) {
                FuzzExpect(*player.openedPath == *named, "a file opens by its whole quoted path");
            }
        }
        if (code != 0) {
            char text[128];
            FuzzExpect(interpreter.DescribeError(code, text, sizeof text),
                       "every error has a description");
            FuzzExpect(std::count(answer.begin(), answer.end(), kUnwritten) == answerSize,
                       "a failing command writes no answer");
        } else if (const auto named = NamedCdOffset(command)) {
            FuzzExpect(player.lastCdStart && player.lastCdStart->offsetMs == *named,
                       "a CD plays from the place named");
        }
        if (!player.disc && (command == "status cdaudio current track" ||
                             command == "status cdaudio number of tracks")) {
            FuzzExpect(code != 0, "without a disc the track queries fail");
        }
        if (code == 0 && answerSize > 0) {
            const auto end = std::find(answer.begin(), answer.end(), '\0');
            FuzzExpect(end != answer.end(), "an answer ends with its NUL inside the buffer");
            FuzzExpect(std::count(end + 1, answer.end(), kUnwritten) == answer.end() - end - 1,
                       "the buffer after the answer is left as it was");
        }
    }
    return 0;
}
