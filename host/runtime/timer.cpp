#include "host/runtime/timer.h"

#include <utility>

Timer::Timer(TimerService& service, uint32_t intervalMs, bool enabled, std::function<void()> onTick)
    : service_(service), onTick_(std::move(onTick)), interval_(intervalMs), enabled_(enabled) {
    Rearm();
}

Timer::~Timer() {
    *alive_ = false;
    if (running_) service_.Stop(*running_);
}

void Timer::SetInterval(uint32_t intervalMs) {
    if (intervalMs == interval_) return;
    interval_ = intervalMs;
    Rearm();
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Rearm();
}

void Timer::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    Rearm();
}

// A change of interval or state starts the count afresh.
void Timer::Rearm() {
    if (running_) {
        service_.Stop(*running_);
        running_.reset();
    }
    if (enabled_ && active_ && interval_ > 0) {
        running_ = service_.Start(interval_, [this, alive = alive_] {
            if (*alive) Tick();
        });
    }
}

void Timer::Tick() {
    if (ticking_ || !enabled_ || !active_ || !running_) return;
    ticking_ = true;
    const std::shared_ptr<bool> alive = alive_;
    onTick_();
    if (*alive) ticking_ = false;
}
