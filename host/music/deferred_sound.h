#pragma once
// A sound system made on its first use. Making the platform's one loads its libraries and
// plugins, which a run should not wait for before it starts the renderer, and which the
// preview never needs.

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "host/music/sound_system.h"

class DeferredSoundSystem final : public SoundSystem {
  public:
    using Maker = std::function<std::unique_ptr<SoundSystem>()>;
    explicit DeferredSoundSystem(Maker make) : make_(std::move(make)) {}

    int32_t SendCommand(const std::string& command, char* answer, uint32_t answerSize) override {
        return Made().SendCommand(command, answer, answerSize);
    }
    bool DescribeError(int32_t code, char* buffer, uint32_t bufferSize) override {
        return Made().DescribeError(code, buffer, bufferSize);
    }
    int32_t WaveOutputDeviceCount() override { return Made().WaveOutputDeviceCount(); }
    bool PlaySoundName(const char* name, uint32_t flags) override {
        return Made().PlaySoundName(name, flags);
    }

  private:
    SoundSystem& Made() {
        if (!made_) made_ = make_();
        return *made_;
    }

    Maker make_;
    std::unique_ptr<SoundSystem> made_;
};
