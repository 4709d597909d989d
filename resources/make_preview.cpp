// make_preview [--seed N] [--time MS] [--subpixel-bits N] [--whole] <output.ppm>: renders one
// frame of the saver's bands in software at 1024 x 768 and writes it scaled down to 152 x 112 as a
// binary PPM, or whole with --whole. The seeds and the time default to the preview picture's, and
// vertex positions are exact unless --subpixel-bits asks for a GL implementation's precision; the
// tests ask for others to compare with the frames of other back ends.
//
// The frame comes from the renderer's own scene code drawing into a small rasteriser that does
// what the fixed-function pipeline does for it: vertex colours clamped to [0, 1], smooth shading
// across each quad strip, one/one blending into a framebuffer that saturates at 1. Only the
// matrix arithmetic is shared with the web back end, which the tests compare with this frame.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "renderer/scene/line_scene.h"
#include "renderer/scene/strip_batch.h"

namespace {

constexpr int kFrameWidth = 1024;
constexpr int kFrameHeight = 768;
constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;

// The frame shown: one second in, the red and green groups are both lit and the
// warm group is at its warm end (red 0.84, green 0.7, blue 0.54).
constexpr uint32_t kFrameMs = 1000;
// Fixed seeds instead of the tick count, one per group, so the picture is reproducible.
constexpr uint32_t kFirstSeed = 20240;

struct Colour {
    float r = 0, g = 0, b = 0;
};

struct Vertex {
    float x = 0, y = 0;  // window coordinates, y up
    Colour colour;
};

float Clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

class SoftwareGl final : public GlSink {
  public:
    // subpixelSteps: window positions are rounded to that many steps a pixel, as a GL
    // implementation with that GL_SUBPIXEL_BITS does; 0 keeps them exact.
    SoftwareGl(int width, int height, uint32_t subpixelSteps)
        : width_(width),
          height_(height),
          subpixelSteps_(static_cast<float>(subpixelSteps)),
          pixels_(static_cast<size_t>(width * height)) {}

    const std::vector<Colour>& Pixels() const { return pixels_; }

    void Clear(uint32_t mask) override {
        if (mask & gl::kColorBufferBit) std::fill(pixels_.begin(), pixels_.end(), clearColour_);
    }
    void ClearColor(float r, float g, float b, float) override {
        clearColour_ = {Clamp01(r), Clamp01(g), Clamp01(b)};
    }
    void ClearDepth(double) override {}
    void DepthFunc(uint32_t) override {}
    void ShadeModel(uint32_t) override {}
    void Hint(uint32_t, uint32_t) override {}
    void Viewport(int, int, int, int) override {}
    void Perspective(double, double, double, double) override {
        // The bands are drawn with an identity projection; nothing here needs one.
        std::fputs("make_preview: perspective projection is not supported\n", stderr);
        std::exit(1);
    }
    void MatrixMode(uint32_t mode) override { projectionMode_ = mode == gl::kProjection; }
    void LoadIdentity() override { Stack().back() = IdentityMatrix(); }
    void PushMatrix() override { Stack().push_back(Stack().back()); }
    void PopMatrix() override {
        if (Stack().size() > 1) Stack().pop_back();
    }
    void Rotatef(float angle, float x, float y, float z) override {
        Stack().back() = MultiplyMatrices(Stack().back(), RotationMatrix(angle, x, y, z));
    }
    void PushAttrib(uint32_t) override { savedState_.push_back({blend_, projectionMode_}); }
    void PopAttrib() override {
        if (savedState_.empty()) return;
        blend_ = savedState_.back().first;
        projectionMode_ = savedState_.back().second;
        savedState_.pop_back();
    }
    void Enable(uint32_t cap) override {
        if (cap == gl::kBlend) blend_ = true;
    }
    void Disable(uint32_t cap) override {
        if (cap == gl::kBlend) blend_ = false;
    }
    void BlendFunc(uint32_t source, uint32_t destination) override {
        if (source != gl::kOne || destination != gl::kOne) {
            std::fputs("make_preview: only one/one blending is supported\n", stderr);
            std::exit(1);
        }
    }
    void Begin(uint32_t) override { strip_.clear(); }
    void End() override {
        // A quad strip v0 v1 v2 v3 ... gives quads (v0 v1 v3 v2), (v2 v3 v5 v4), ...
        for (size_t i = 0; i + 3 < strip_.size(); i += 2) {
            FillTriangle(strip_[i], strip_[i + 1], strip_[i + 3]);
            FillTriangle(strip_[i], strip_[i + 3], strip_[i + 2]);
        }
    }
    void Color3f(float r, float g, float b) override {
        colour_ = {Clamp01(r), Clamp01(g), Clamp01(b)};
    }
    void Color4f(float r, float g, float b, float) override { Color3f(r, g, b); }
    void Vertex3f(float x, float y, float z) override {
        const Matrix4 m = MultiplyMatrices(projection_.back(), modelView_.back());
        const float cx = m[0] * x + m[4] * y + m[8] * z + m[12];
        const float cy = m[1] * x + m[5] * y + m[9] * z + m[13];
        const float cw = m[3] * x + m[7] * y + m[11] * z + m[15];
        Vertex v;
        v.x = Snap((cx / cw + 1) * 0.5f * static_cast<float>(width_));
        v.y = Snap((cy / cw + 1) * 0.5f * static_cast<float>(height_));
        v.colour = colour_;
        strip_.push_back(v);
    }
    void Flush() override {}

  private:
    std::vector<Matrix4>& Stack() { return projectionMode_ ? projection_ : modelView_; }

    // Edges on the top or the left own the pixel centres that lie exactly on them,
    // so triangles sharing an edge never add light twice.
    static bool OwnsCentre(float edge, float dx, float dy) {
        if (edge != 0) return edge > 0;
        return dy < 0 || (dy == 0 && dx > 0);
    }

    void FillTriangle(Vertex a, Vertex b, Vertex c) {
        float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        if (area == 0) return;
        if (area < 0) {  // both windings are drawn: nothing is culled
            std::swap(b, c);
            area = -area;
        }
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
        const int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
        const int y1 =
            std::min(height_ - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
        for (int py = y0; py <= y1; ++py) {
            const float y = static_cast<float>(py) + 0.5f;
            for (int px = x0; px <= x1; ++px) {
                const float x = static_cast<float>(px) + 0.5f;
                const float wa = (c.x - b.x) * (y - b.y) - (c.y - b.y) * (x - b.x);
                const float wb = (a.x - c.x) * (y - c.y) - (a.y - c.y) * (x - c.x);
                const float wc = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
                if (!OwnsCentre(wa, c.x - b.x, c.y - b.y) ||
                    !OwnsCentre(wb, a.x - c.x, a.y - c.y) ||
                    !OwnsCentre(wc, b.x - a.x, b.y - a.y)) {
                    continue;
                }
                const Colour shade{(wa * a.colour.r + wb * b.colour.r + wc * c.colour.r) / area,
                                   (wa * a.colour.g + wb * b.colour.g + wc * c.colour.g) / area,
                                   (wa * a.colour.b + wb * b.colour.b + wc * c.colour.b) / area};
                // Row 0 of the framebuffer is the bottom of the picture, as in OpenGL.
                Colour& target = pixels_[static_cast<size_t>(py * width_ + px)];
                if (blend_) {
                    target = {Clamp01(target.r + shade.r), Clamp01(target.g + shade.g),
                              Clamp01(target.b + shade.b)};
                } else {
                    target = {Clamp01(shade.r), Clamp01(shade.g), Clamp01(shade.b)};
                }
            }
        }
    }

    float Snap(float position) const {
        if (subpixelSteps_ == 0) return position;
        return std::round(position * subpixelSteps_) / subpixelSteps_;
    }

    int width_;
    int height_;
    float subpixelSteps_;
    std::vector<Colour> pixels_;
    Colour clearColour_;
    Colour colour_;
    bool blend_ = false;
    bool projectionMode_ = false;
    std::vector<Matrix4> modelView_{IdentityMatrix()};
    std::vector<Matrix4> projection_{IdentityMatrix()};
    std::vector<std::pair<bool, bool>> savedState_;  // blend enabled, projection mode
    std::vector<Vertex> strip_;
};

class FixedTicks final : public TickSource {
  public:
    explicit FixedTicks(uint32_t first) : next_(first) {}
    uint32_t TickCount() override { return next_++; }

  private:
    uint32_t next_;
};

class NoQuit final : public QuitRequest {
  public:
    void RequestQuit() override {}
};

// Area-weighted average of the source pixels under one target pixel, per axis.
std::vector<Colour> ScaleDown(const std::vector<Colour>& source, int sw, int sh, int tw, int th) {
    std::vector<Colour> target(static_cast<size_t>(tw * th));
    const double fx = static_cast<double>(sw) / tw;
    const double fy = static_cast<double>(sh) / th;
    for (int ty = 0; ty < th; ++ty) {
        const double top = ty * fy;
        const double bottom = top + fy;
        for (int tx = 0; tx < tw; ++tx) {
            const double left = tx * fx;
            const double right = left + fx;
            double r = 0, g = 0, b = 0;
            for (int sy = static_cast<int>(top);
                 sy < std::min(sh, static_cast<int>(std::ceil(bottom))); ++sy) {
                const double wy = std::min<double>(sy + 1, bottom) - std::max<double>(sy, top);
                for (int sx = static_cast<int>(left);
                     sx < std::min(sw, static_cast<int>(std::ceil(right))); ++sx) {
                    const double w =
                        wy * (std::min<double>(sx + 1, right) - std::max<double>(sx, left));
                    const Colour& c = source[static_cast<size_t>(sy * sw + sx)];
                    r += w * c.r;
                    g += w * c.g;
                    b += w * c.b;
                }
            }
            const double area = fx * fy;
            target[static_cast<size_t>(ty * tw + tx)] = {static_cast<float>(r / area),
                                                         static_cast<float>(g / area),
                                                         static_cast<float>(b / area)};
        }
    }
    return target;
}

unsigned char ToByte(float v) {
    return static_cast<unsigned char>(std::lround(Clamp01(v) * 255.0f));
}

bool WritePpm(const char* path, const std::vector<Colour>& pixels, int width, int height) {
    FILE* out = std::fopen(path, "wb");
    if (out == nullptr) return false;
    std::fprintf(out, "P6\n%d %d\n255\n", width, height);
    // PPM rows run top to bottom; the framebuffer's run bottom to top.
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Colour& c = pixels[static_cast<size_t>(y * width + x)];
            const unsigned char rgb[3] = {ToByte(c.r), ToByte(c.g), ToByte(c.b)};
            std::fwrite(rgb, 1, 3, out);
        }
    }
    return std::fclose(out) == 0;
}

bool ParseNumber(const char* text, uint32_t& value) {
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text, &end, 10);
    if (*text < '0' || *text > '9' || *end != '\0' || parsed > 0xFFFFFFFFul) return false;
    value = static_cast<uint32_t>(parsed);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    uint32_t firstSeed = kFirstSeed;
    uint32_t frameMs = kFrameMs;
    uint32_t subpixelBits = 0;
    bool whole = false;
    const char* output = nullptr;
    bool good = true;
    for (int i = 1; i < argc && good; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seed" || arg == "--time") {
            good = i + 1 < argc && ParseNumber(argv[++i], arg == "--seed" ? firstSeed : frameMs);
        } else if (arg == "--subpixel-bits") {
            good = i + 1 < argc && ParseNumber(argv[++i], subpixelBits) && subpixelBits <= 16;
        } else if (arg == "--whole") {
            whole = true;
        } else {
            good = output == nullptr && arg.rfind("--", 0) != 0;
            output = argv[i];
        }
    }
    if (!good || output == nullptr) {
        std::fputs(
            "usage: make_preview [--seed N] [--time MS] [--subpixel-bits N] [--whole] "
            "<output.ppm>\n",
            stderr);
        return 2;
    }
    SoftwareGl gl(kFrameWidth, kFrameHeight, subpixelBits == 0 ? 0 : 1u << subpixelBits);
    Scene scene;
    std::array<int32_t, kKeyCount> keys{};
    NoQuit quit;
    FixedTicks ticks(firstSeed);
    InitScene(scene, gl, keys.data(), quit, ticks);
    UpdateScene(scene, frameMs);
    DrawScene(scene, gl);
    const bool written = whole ? WritePpm(output, gl.Pixels(), kFrameWidth, kFrameHeight)
                               : WritePpm(output,
                                          ScaleDown(gl.Pixels(), kFrameWidth, kFrameHeight,
                                                    kPreviewWidth, kPreviewHeight),
                                          kPreviewWidth, kPreviewHeight);
    if (!written) {
        std::perror(output);
        return 1;
    }
    return 0;
}
