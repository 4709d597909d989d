#pragma once
// The preview window Lumen_Ribbon_R apart from the window system: its only
// procedure is the unload handler's close request.

#include <cstdint>
#include <functional>

#include "host/startup/form.h"
#include "host/startup/startup.h"
#include "host/startup/window_types.h"

class CloseRequests {
  public:
    virtual ~CloseRequests() = default;
    // Posts WM_CLOSE with both parameters 0 and returns at once; the result is
    // the system's (non-zero when posted).
    virtual int32_t PostClose(WindowHandle target) = 0;
};

// The preview window's handlers. On unload it posts one close request to its
// own window (window() gives its handle), so that no other program's window is
// asked to close; the result goes to ApiResult.
FormEvents PreviewWindowEvents(StartupModule& module, CloseRequests& requests,
                               std::function<WindowHandle()> window);
