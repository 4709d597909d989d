// Timers as GLib timeout sources on the main loop.
#include <glib.h>

#include <functional>
#include <utility>

#include "host/runtime/gtk_services.h"

GlibTimerService::~GlibTimerService() {
    for (const auto& [id, source] : sources_) g_source_remove(source);
}

TimerId GlibTimerService::Start(uint32_t intervalMs, std::function<void()> onTick) {
    auto* tick = new std::function<void()>(std::move(onTick));
    const unsigned source = g_timeout_add_full(
        G_PRIORITY_DEFAULT, intervalMs,
        [](gpointer data) -> gboolean {
            (*static_cast<std::function<void()>*>(data))();
            return G_SOURCE_CONTINUE;
        },
        tick, [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
    const TimerId id = nextId_++;
    sources_[id] = source;
    return id;
}

void GlibTimerService::Stop(TimerId id) {
    const auto found = sources_.find(id);
    if (found == sources_.end()) return;
    g_source_remove(found->second);
    sources_.erase(found);
}
