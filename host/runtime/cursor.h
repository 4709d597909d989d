// The mouse cursor: its display count and its position.
#pragma once

#include <cstdint>
#include <optional>

#include "host/runtime/window_types.h"

class CursorService {
  public:
    virtual ~CursorService() = default;
    // Raises (show non-zero) or lowers (show 0) the cursor's display count; returns the new
    // count. The cursor shows while the count is 0 or more.
    virtual int32_t ShowCursor(int32_t show) = 0;
    // Screen position of the mouse pointer, std::nullopt when it cannot be read.
    virtual std::optional<PixelPoint> Position() const = 0;
};
