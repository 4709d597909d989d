// The caption-zoom effect of the settings dialog: from the recorded mouse position to the
// window when it opens, and back to that point when it closes.
#pragma once

#include "host/runtime/cursor.h"
#include "host/runtime/native_windows.h"
#include "host/startup/startup.h"

// Records the mouse position as the zoom origin (CursorX, CursorY); (0, 0) when it cannot be
// read. A coordinate beyond 16 bits leaves its variable as it was.
void RecordZoomOrigin(StartupModule& module, const CursorService& cursor);

// The zero-size rectangle at the zoom origin.
PixelRect ZoomPointRect(const StartupModule& module);

void WindowZoomOpen(const StartupModule& module, NativeWindows& windows, WindowHandle window);
void WindowZoomClose(const StartupModule& module, NativeWindows& windows, WindowHandle window);
