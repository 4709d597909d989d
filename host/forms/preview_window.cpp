#include "host/forms/preview_window.h"

#include <utility>

FormEvents PreviewWindowEvents(StartupModule& module, CloseRequests& requests,
                               std::function<WindowHandle()> window) {
    FormEvents events;
    events.unload = [&module, &requests, window = std::move(window)](bool&) {
        module.ApiResult = requests.PostClose(window());
    };
    return events;
}
