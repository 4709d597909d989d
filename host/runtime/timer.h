// Timers of the host's runtime: an interval, an enabled flag, and ticks that arrive one at a
// time on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

using TimerId = uint32_t;

// What a platform provides: periodic callbacks on the user-interface thread.
class TimerService {
  public:
    virtual ~TimerService() = default;
    // Calls onTick every intervalMs (more than 0) until Stop.
    virtual TimerId Start(uint32_t intervalMs, std::function<void()> onTick) = 0;
    virtual void Stop(TimerId id) = 0;
};

// A form timer. It ticks while it is enabled, its interval is more than 0 and its form is
// loaded (see Form::AttachTimer); a disabled timer never ticks, even when a tick was already
// on its way, and a tick that arrives while the previous one still runs is dropped.
class Timer {
  public:
    Timer(TimerService& service, uint32_t intervalMs, bool enabled, std::function<void()> onTick);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void SetInterval(uint32_t intervalMs);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Whether the timer's form is loaded; a timer without a form is always active.
    void SetActive(bool active);

  private:
    void Rearm();
    void Tick();

    TimerService& service_;
    std::function<void()> onTick_;
    uint32_t interval_;
    bool enabled_;
    bool active_ = true;
    bool ticking_ = false;
    std::optional<TimerId> running_;
    // Lets a tick notice that its handler destroyed the timer.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
