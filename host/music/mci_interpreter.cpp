#include "host/music/mci_interpreter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The command's words. A double-quoted word may hold blanks and quotes: it runs to the
// command's last double quote, since the one quoted word a command holds is a file name, and a
// Linux file name may hold '"'. nullopt for an unclosed quote.
std::optional<std::vector<std::string>> SplitWords(const std::string& command) {
    std::vector<std::string> words;
    size_t at = 0;
    while (true) {
        while (at < command.size() && IsBlank(command[at])) ++at;
        if (at == command.size()) return words;
        if (command[at] == '"') {
            const size_t close = command.rfind('"');
            if (close == at) return std::nullopt;
            words.push_back(command.substr(at + 1, close - at - 1));
            at = close + 1;
        } else {
            const size_t start = at;
            while (at < command.size() && !IsBlank(command[at])) ++at;
            words.push_back(command.substr(start, at - start));
        }
    }
}

// The words from `first` on, lower-case, joined by single blanks.
std::string Phrase(const std::vector<std::string>& words, size_t first) {
    std::string phrase;
    for (size_t i = first; i < words.size(); ++i) {
        if (!phrase.empty()) phrase += ' ';
        phrase += Lower(words[i]);
    }
    return phrase;
}

std::optional<uint32_t> WholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    uint32_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + static_cast<uint32_t>(c - '0');
    }
    return number;
}

const char* ModeText(MediaMode mode) {
    switch (mode) {
        case MediaMode::Playing:
            return "playing";
        case MediaMode::Stopped:
            return "stopped";
        case MediaMode::NotReady:
            break;
    }
    return "not ready";
}

// The "from" and "to" positions of a play command, or the keyword that is not one of them.
struct PlayRange {
    std::optional<std::string> from;
    std::optional<std::string> to;
    int32_t error = 0;
};

PlayRange ReadPlayRange(const std::vector<std::string>& words) {
    PlayRange range;
    for (size_t i = 2; i < words.size(); i += 2) {
        const std::string keyword = Lower(words[i]);
        if (i + 1 == words.size()) {
            range.error = kMciErrMissingParameter;
        } else if (keyword == "from") {
            range.from = words[i + 1];
        } else if (keyword == "to") {
            range.to = words[i + 1];
        } else {
            range.error = kMciErrUnrecognizedKeyword;
        }
        if (range.error != 0) break;
    }
    return range;
}

const std::map<int32_t, const char*>& ErrorTexts() {
    static const std::map<int32_t, const char*> texts = {
        {kMciErrUnrecognizedKeyword, "The command holds a parameter the device does not know."},
        {kMciErrUnrecognizedCommand, "The device does not know this command."},
        {kMciErrHardware, "The media device failed to play."},
        {kMciErrInvalidDevice, "The device is not open or is not known."},
        {kMciErrDeviceAlreadyOpen, "The device is already open."},
        {kMciErrParameterOverflow, "The answer does not fit the buffer given."},
        {kMciErrBadInteger, "A number was expected."},
        {kMciErrMissingParameter, "The command lacks a parameter."},
        {kMciErrUnsupportedFunction, "The device cannot do this."},
        {kMciErrFileNotFound, "The file cannot be found or played."},
        {kMciErrDeviceNotReady, "The device is not ready."},
        {kMciErrOutOfRange, "The value is out of range for the command."},
        {kMciErrDuplicateAlias, "The alias is already in use."},
        {kMciErrBadTimeFormat, "The position or time format is not valid."},
        {kMciErrNoClosingQuote, "A closing double quote is missing."},
    };
    return texts;
}

// Writes text NUL-terminated at the start of buffer; false when it does not fit.
bool PutAnswer(const std::string& text, char* buffer, uint32_t size) {
    if (buffer == nullptr || size == 0) return true;
    if (text.size() > size - 1) return false;
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return true;
}

}  // namespace

MciInterpreter::MciInterpreter(std::unique_ptr<MediaPlayer> player) : player_(std::move(player)) {}

int32_t MciInterpreter::SendCommand(const std::string& command, char* answer, uint32_t answerSize) {
    const auto words = SplitWords(command);
    const Reply reply = words ? Run(*words) : Reply{kMciErrNoClosingQuote, ""};
    if (reply.code != 0) return reply.code;
    return PutAnswer(reply.text, answer, answerSize) ? 0 : kMciErrParameterOverflow;
}

bool MciInterpreter::DescribeError(int32_t code, char* buffer, uint32_t bufferSize) {
    const auto found = ErrorTexts().find(code);
    if (found == ErrorTexts().end() || buffer == nullptr || bufferSize == 0) return false;
    const std::string text = found->second;
    const size_t length = std::min<size_t>(text.size(), bufferSize - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return true;
}

int32_t MciInterpreter::WaveOutputDeviceCount() {
    return player_->OutputDeviceCount();
}

bool MciInterpreter::PlaySoundName(const char* name, uint32_t flags) {
    if (name == nullptr) {
        player_->StopSound();
        return true;
    }
    // Sound always plays in the background here; nothing waits for its end.
    return player_->PlaySound(name, (flags & kSoundLoop) != 0);
}

MciInterpreter::Reply MciInterpreter::Run(const Words& words) {
    if (words.empty()) return {kMciErrUnrecognizedCommand, ""};
    const std::string verb = Lower(words[0]);
    if (words.size() < 2) return {kMciErrMissingParameter, ""};
    if (verb == "open") return Open(words);
    const std::string device = Lower(words[1]);
    if (device == "cdaudio" && cdOpen_) return RunCd(verb, words);
    if (fileAlias_ && device == *fileAlias_) return RunFile(verb, words);
    return {kMciErrInvalidDevice, ""};
}

MciInterpreter::Reply MciInterpreter::Open(const Words& words) {
    std::string alias = Lower(words[1]);
    for (size_t i = 2; i < words.size(); ++i) {
        const std::string keyword = Lower(words[i]);
        if (keyword == "shareable") continue;
        if (i + 1 == words.size()) return {kMciErrMissingParameter, ""};
        if (keyword == "alias") {
            alias = Lower(words[i + 1]);
        } else if (keyword != "type") {
            return {kMciErrUnrecognizedKeyword, ""};
        }
        ++i;
    }

    if (Lower(words[1]) == "cdaudio") {
        if (cdOpen_) return {kMciErrDeviceAlreadyOpen, ""};
        // Without a drive there is no device of that name, as on a system without one.
        if (!player_->OpenCd()) return {kMciErrInvalidDevice, ""};
        cdOpen_ = true;
        cdFormat_ = TimeFormat::Msf;
        cdSeek_.reset();
        return {};
    }
    if (alias == "cdaudio" || (fileAlias_ && *fileAlias_ == alias)) {
        return {kMciErrDuplicateAlias, ""};
    }
    // One music file at a time is all the player holds.
    if (fileAlias_) return {kMciErrDeviceAlreadyOpen, ""};
    if (!player_->OpenFile(words[1])) return {kMciErrFileNotFound, ""};
    fileAlias_ = alias;
    fileSeek_.reset();
    return {};
}

// The time format named by "set <device> time format <name>"; nullopt with the error for others.
std::optional<MciInterpreter::TimeFormat> MciInterpreter::TimeFormatOf(const Words& words, bool cd,
                                                                       int32_t& error) {
    if (words.size() != 5 || Phrase(words, 2).rfind("time format ", 0) != 0) {
        error = kMciErrUnsupportedFunction;
        return std::nullopt;
    }
    const std::string name = Lower(words[4]);
    if (name == "milliseconds" || name == "ms") return TimeFormat::Milliseconds;
    if (cd && name == "msf") return TimeFormat::Msf;
    if (cd && name == "tmsf") return TimeFormat::Tmsf;
    error = kMciErrBadTimeFormat;
    return std::nullopt;
}

std::optional<CdPosition> MciInterpreter::CdPositionFrom(const std::string& text, int32_t& error) {
    // Track, then minutes, seconds and frames (75 to a second), each part optional but the track.
    if (cdFormat_ != TimeFormat::Tmsf) {
        error = kMciErrUnsupportedFunction;
        return std::nullopt;
    }
    uint32_t parts[4] = {0, 0, 0, 0};
    size_t count = 0;
    size_t at = 0;
    while (count < 4) {
        const size_t colon = text.find(':', at);
        const auto part = WholeNumber(text.substr(at, colon - at));
        if (!part) break;
        parts[count++] = *part;
        if (colon == std::string::npos) {
            at = text.size();
            break;
        }
        at = colon + 1;
    }
    if (count == 0 || at != text.size()) {
        error = kMciErrBadTimeFormat;
        return std::nullopt;
    }
    const auto tracks = player_->CdTrackCount();
    if (!tracks) {
        error = kMciErrDeviceNotReady;
        return std::nullopt;
    }
    if (parts[0] < 1 || parts[0] > static_cast<uint32_t>(*tracks)) {
        error = kMciErrOutOfRange;
        return std::nullopt;
    }
    // Counted in 64 bits: a place further than the position's milliseconds can hold is beyond
    // any disc, not a wrapped-around place near its start.
    const uint64_t offsetMs =
        (uint64_t{parts[1]} * 60 + parts[2]) * 1000 + uint64_t{parts[3]} * 1000 / 75;
    if (offsetMs > UINT32_MAX) {
        error = kMciErrOutOfRange;
        return std::nullopt;
    }
    return CdPosition{static_cast<int>(parts[0]), static_cast<uint32_t>(offsetMs)};
}

MciInterpreter::Reply MciInterpreter::CdStatus(const Words& words) {
    const std::string item = Phrase(words, 2);
    if (item == "mode") return {0, ModeText(player_->CdMode())};
    if (item == "current track" || item == "number of tracks") {
        const auto number =
            item == "current track" ? player_->CdCurrentTrack() : player_->CdTrackCount();
        if (!number) return {kMciErrDeviceNotReady, ""};
        return {0, std::to_string(*number)};
    }
    if (words.size() == 5 && item.rfind("position track ", 0) == 0) {
        if (!WholeNumber(words[4])) return {kMciErrBadInteger, ""};
        int32_t error = 0;
        const auto position = CdPositionFrom(words[4], error);
        if (!position) return {error, ""};
        char text[16];
        std::snprintf(text, sizeof text, "%02d:00:00:00", position->track);
        return {0, text};
    }
    return {kMciErrUnrecognizedKeyword, ""};
}

MciInterpreter::Reply MciInterpreter::RunCd(const std::string& verb, const Words& words) {
    if (verb == "close") {
        player_->CloseCd();
        cdOpen_ = false;
        return {};
    }
    if (verb == "stop") {
        player_->StopCd();
        return {};
    }
    if (verb == "set") {
        int32_t error = 0;
        const auto format = TimeFormatOf(words, true, error);
        if (!format) return {error, ""};
        cdFormat_ = *format;
        return {};
    }
    if (verb == "status") return CdStatus(words);
    if (verb == "seek") {
        if (words.size() != 4 || Lower(words[2]) != "to") return {kMciErrMissingParameter, ""};
        int32_t error = 0;
        const auto position = Lower(words[3]) == "start" ? std::optional<CdPosition>(CdPosition{})
                                                         : CdPositionFrom(words[3], error);
        if (!position) return {error, ""};
        player_->StopCd();
        cdSeek_ = position;
        return {};
    }
    if (verb == "play") {
        const PlayRange range = ReadPlayRange(words);
        if (range.error != 0) return {range.error, ""};
        // The player plays on to the end of the disc; it cannot stop at a given place.
        if (range.to) return {kMciErrUnsupportedFunction, ""};
        std::optional<CdPosition> from = std::exchange(cdSeek_, std::nullopt);
        if (range.from) {
            int32_t error = 0;
            from = CdPositionFrom(*range.from, error);
            if (!from) return {error, ""};
        }
        if (!player_->CdTrackCount()) return {kMciErrDeviceNotReady, ""};
        return {player_->PlayCd(from) ? 0 : kMciErrHardware, ""};
    }
    return {kMciErrUnrecognizedCommand, ""};
}

MciInterpreter::Reply MciInterpreter::RunFile(const std::string& verb, const Words& words) {
    if (verb == "close") {
        player_->CloseFile();
        fileAlias_.reset();
        return {};
    }
    if (verb == "stop") {
        player_->StopFile();
        return {};
    }
    if (verb == "set") {
        // A file's positions are in milliseconds, the one format it takes.
        int32_t error = 0;
        return {TimeFormatOf(words, false, error) ? 0 : error, ""};
    }
    if (verb == "status") {
        if (Phrase(words, 2) == "mode") return {0, ModeText(player_->FileMode())};
        return {kMciErrUnrecognizedKeyword, ""};
    }
    if (verb == "seek") {
        if (words.size() != 4 || Lower(words[2]) != "to") return {kMciErrMissingParameter, ""};
        const auto position = Lower(words[3]) == "start" ? 0u : WholeNumber(words[3]);
        if (!position) return {kMciErrBadInteger, ""};
        player_->StopFile();
        fileSeek_ = position;
        return {};
    }
    if (verb == "play") {
        const PlayRange range = ReadPlayRange(words);
        if (range.error != 0) return {range.error, ""};
        if (range.to) return {kMciErrUnsupportedFunction, ""};
        std::optional<uint32_t> from = std::exchange(fileSeek_, std::nullopt);
        if (range.from) {
            from = WholeNumber(*range.from);
            if (!from) return {kMciErrBadInteger, ""};
        }
        return {player_->PlayFile(from) ? 0 : kMciErrHardware, ""};
    }
    return {kMciErrUnrecognizedCommand, ""};
}
