#pragma once
// The preview window Lumen_Ribbon_R apart from the window system: its only
// procedure is the unload handler's close request. Its picture Img_Prev is
// forms_ui.h's PreviewPicture.

#include <cstdint>
#include <functional>

#include "host/runtime/form.h"
#include "host/runtime/window_types.h"
#include "host/startup/startup.h"

class CloseRequests {
  public:
    virtual ~CloseRequests() = default;
    // Asks the window to close and returns at once: WM_CLOSE with both
    // parameters 0 on Windows, the window manager's WM_DELETE_WINDOW on X. The
    // result is the system's, non-zero when the request went out.
    virtual int32_t PostClose(WindowHandle target) = 0;
};

// The preview window's handlers. On unload it posts one close request to its
// own window (window() gives its handle), so that no other program's window is
// asked to close; the result goes to ApiResult.
FormEvents PreviewWindowEvents(StartupModule& module, CloseRequests& requests,
                               std::function<WindowHandle()> window);
