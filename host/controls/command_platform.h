#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "host/controls/button_face.h"
#include "host/controls/font_desc.h"

// What a platform provides to one Command button. Each platform keeps its own state behind
// these two interfaces; the button's rules never see a system handle.

// Sizes of the button's drawing surface. Outer is the whole control, inner the area that can
// be drawn on; the twips factors convert the caption label's twips to pixels and back.
struct SurfaceMetrics {
    int outerWidthPx = 0;
    int outerHeightPx = 0;
    int innerWidthPx = 0;
    int innerHeightPx = 0;
    double twipsPerPixelX = 15.0;
    double twipsPerPixelY = 15.0;
};

// The caption label drawn over the face. Its box is in twips; its height never changes, and
// only the first line of a text that does not fit shows.
struct CaptionLabel {
    std::string text = "Command";
    uint32_t colour = 0;  // 0x00BBGGRR
    FontDesc font;
    bool enabled = true;  // false shows the text greyed
    double leftTwips = 0.0;
    double topTwips = 90.0;
    double widthTwips = 1635.0;
};

// Where the caption's text goes on the surface: the label's box in twips rounded to whole
// pixels, kCaptionHeightTwips high.
PixelRect CaptionBox(const CaptionLabel& label, const SurfaceMetrics& metrics);

// A persistent drawing surface: what is drawn stays until the next clear, and the system's
// repaints show it without asking the button to draw again.
class ButtonSurface {
  public:
    virtual ~ButtonSurface() = default;

    virtual SurfaceMetrics Metrics() const = 0;
    // Fills the whole surface with its background colour.
    virtual void Clear() = 0;
    // Fills the rectangle spanned by the two vertices, shading vertically from vertex 0's
    // colour at its row to vertex 1's colour at its row.
    virtual void FillGradient(const std::array<GradientVertex, 2>& vertices) = 0;
    // Copies a rectangle of the skin picture to a rectangle of the surface, stretching it when
    // the sizes differ. A missing picture copies nothing.
    virtual void CopySkin(Skin skin, const PixelRect& from, const PixelRect& to) = 0;
    // Shows on screen what has been drawn.
    virtual void Refresh() = 0;
    // Opaque shows the drawn face; transparent hides it and leaves only the caption.
    virtual void SetOpaque(bool opaque) = 0;
    // The caption's text, colour, font, box or enabled state changed: show it as it now is.
    virtual void ShowCaption(const CaptionLabel& label) = 0;
};

// A window as the hover poll compares them: the system's window with Win32, the GdkWindow with
// GTK. Only told apart, never used as a handle.
enum class WindowId : std::uintptr_t {};

// Finds out whether the pointer is still over the button, and runs the poll that asks.
class HoverProbe {
  public:
    virtual ~HoverProbe() = default;

    // From now on the button's TmrMouse_Timer runs every intervalMs milliseconds.
    virtual void StartPolling(int intervalMs) = 0;
    // The window under the pointer's screen position, WindowId{} when there is none.
    virtual WindowId WindowUnderCursor() const = 0;
    virtual WindowId OwnWindow() const = 0;
    // The window of the form that holds the button; nullopt when it cannot be read.
    virtual std::optional<WindowId> ParentWindow() const = 0;
};
