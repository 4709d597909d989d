#pragma once
// A scripted stand-in for the platform's sound system: an audio CD drive with a
// disc of ten tracks, one MPEGVideo alias, the wave output devices and the
// sound player, with every call recorded. Answers are written at the start of the
// caller's buffer like the real system does; failing commands write nothing.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host/music/sound_system.h"

constexpr int32_t kMciErrInvalidDeviceName = 263;
constexpr int32_t kMciErrFileNotFound = 275;
constexpr int32_t kMciErrDeviceNotReady = 276;
constexpr int32_t kMciErrOutOfRange = 282;
constexpr int32_t kMciErrBadTimeFormat = 293;

struct SentCommand {
    std::string command;
    uint32_t answerSize;
};

struct PlayedSound {
    std::optional<std::string> name;
    uint32_t flags;
};

struct MciReply {
    int32_t code = 0;
    std::string text;
    bool writes = true;  // false: the call leaves the buffer untouched
};

class FakeSound : public SoundSystem {
  public:
    // CD drive.
    bool cdDrive = true;
    int cdTracks = 10;
    bool cdOpen = false;
    bool cdTmsf = false;
    bool cdPlaying = false;
    int cdTrack = 1;

    // The file alias; only files in `playableFiles` open.
    std::set<std::string> playableFiles;
    bool mp3Open = false;
    std::string mp3Mode = "stopped";

    int32_t waveDevices = 1;
    std::map<int32_t, std::string> errorDescriptions = {
        {kMciErrInvalidDeviceName, "The specified device is not open."}};

    // Answers given instead of the simulated devices', by exact command.
    std::map<std::string, MciReply> overrides;

    std::vector<SentCommand> sent;
    std::vector<PlayedSound> sounds;
    int describeCalls = 0;

    // The playing CD track comes to its end.
    void EndOfCdTrack() {
        if (!cdPlaying) return;
        if (cdTrack < cdTracks) {
            ++cdTrack;
        } else {
            cdPlaying = false;
        }
    }

    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const SentCommand& s : sent) commands.push_back(s.command);
        return commands;
    }

    int32_t SendCommand(const std::string& command, char* answer, uint32_t answerSize) override {
        sent.push_back({command, answerSize});
        auto overridden = overrides.find(command);
        const MciReply reply = overridden != overrides.end() ? overridden->second : Run(command);
        if (reply.writes && answer != nullptr) Write(reply.text, answer, answerSize);
        return reply.code;
    }

    bool DescribeError(int32_t code, char* buffer, uint32_t bufferSize) override {
        ++describeCalls;
        auto found = errorDescriptions.find(code);
        if (found == errorDescriptions.end()) return false;
        Write(found->second, buffer, bufferSize);
        return true;
    }

    int32_t WaveOutputDeviceCount() override { return waveDevices; }

    bool PlaySoundName(const char* name, uint32_t flags) override {
        sounds.push_back({name ? std::optional<std::string>(name) : std::nullopt, flags});
        return true;
    }

  private:
    static void Write(const std::string& text, char* buffer, uint32_t size) {
        if (size == 0) return;
        const size_t length = std::min<size_t>(text.size(), size - 1);
        std::memcpy(buffer, text.data(), length);
        buffer[length] = '\0';
    }

    static MciReply Ok(const std::string& text = "") { return {0, text, true}; }
    static MciReply Fail(int32_t code) { return {code, "", false}; }

    MciReply Run(const std::string& command) {
        if (command.find("cdaudio") != std::string::npos) return RunCd(command);
        if (command.find("MP3Play") != std::string::npos) return RunAlias(command);
        return Fail(kMciErrInvalidDeviceName);
    }

    MciReply RunCd(const std::string& command) {
        if (command == "open cdaudio") {
            if (!cdDrive) return Fail(kMciErrInvalidDeviceName);
            cdOpen = true;
            return Ok();
        }
        if (!cdOpen) return Fail(kMciErrInvalidDeviceName);
        const std::string positionOf = "status cdaudio position track ";
        if (command == "set cdaudio time format tmsf") {
            cdTmsf = true;
        } else if (command == "status cdaudio current track") {
            return Ok(std::to_string(cdTrack));
        } else if (command == "status cdaudio number of tracks") {
            return Ok(std::to_string(cdTracks));
        } else if (command == "status cdaudio mode") {
            return Ok(cdPlaying ? "playing" : "stopped");
        } else if (command.compare(0, positionOf.size(), positionOf) == 0) {
            const int track = std::atoi(command.c_str() + positionOf.size());
            if (!cdTmsf) return Fail(kMciErrBadTimeFormat);
            if (track < 1 || track > cdTracks) return Fail(kMciErrOutOfRange);
            char position[32];
            std::snprintf(position, sizeof position, "%02d:00:00:00", track);
            return Ok(position);
        } else if (command == "play cdaudio") {
            cdPlaying = true;
        } else if (command.compare(0, 18, "play cdaudio from ") == 0) {
            int track = 0;
            if (!cdTmsf || std::sscanf(command.c_str() + 18, "%d:00:00:00", &track) != 1 ||
                track < 1 || track > cdTracks) {
                return Fail(kMciErrBadTimeFormat);
            }
            cdTrack = track;
            cdPlaying = true;
        } else if (command == "stop cdaudio") {
            cdPlaying = false;
        } else if (command == "close cdaudio") {
            cdOpen = cdPlaying = false;
        } else {
            return Fail(kMciErrBadTimeFormat);
        }
        return Ok();
    }

    MciReply RunAlias(const std::string& command) {
        const std::string openSuffix = "\" type MPEGVideo Alias MP3Play";
        if (command.compare(0, 6, "open \"") == 0 && command.size() > 6 + openSuffix.size() &&
            command.compare(command.size() - openSuffix.size(), openSuffix.size(), openSuffix) ==
                0) {
            const std::string file = command.substr(6, command.size() - 6 - openSuffix.size());
            if (playableFiles.count(file) == 0) return Fail(kMciErrFileNotFound);
            mp3Open = true;
            mp3Mode = "stopped";
            return Ok();
        }
        if (!mp3Open) return Fail(kMciErrInvalidDeviceName);
        if (command == "status MP3Play mode") return Ok(mp3Mode);
        if (command == "play MP3Play" || command == "play MP3Play from 0") {
            mp3Mode = "playing";
        } else if (command == "stop MP3Play") {
            mp3Mode = "stopped";
        } else if (command == "close MP3Play") {
            mp3Open = false;
        } else {
            return Fail(kMciErrBadTimeFormat);
        }
        return Ok();
    }
};
