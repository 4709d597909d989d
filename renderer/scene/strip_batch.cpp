#include "renderer/scene/strip_batch.h"

#include <algorithm>
#include <cmath>

namespace {
float Clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}
}  // namespace

Matrix4 IdentityMatrix() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix4 MultiplyMatrices(const Matrix4& a, const Matrix4& b) {
    Matrix4 m{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[col * 4 + k];
            m[col * 4 + row] = sum;
        }
    }
    return m;
}

Matrix4 RotationMatrix(float degrees, float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return IdentityMatrix();
    x /= length;
    y /= length;
    z /= length;
    const float radians = degrees * 3.14159265358979f / 180.0f;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    const float t = 1 - c;
    return {t * x * x + c,
            t * x * y + s * z,
            t * x * z - s * y,
            0,
            t * x * y - s * z,
            t * y * y + c,
            t * y * z + s * x,
            0,
            t * x * z + s * y,
            t * y * z - s * x,
            t * z * z + c,
            0,
            0,
            0,
            0,
            1};
}

Matrix4 PerspectiveMatrix(double fovY, double aspect, double zNear, double zFar) {
    const double radians = fovY / 2 * 3.14159265358979323846 / 180.0;
    const double depth = zFar - zNear;
    const double sine = std::sin(radians);
    // GLU leaves the matrix alone when it would divide by zero.
    if (depth == 0 || sine == 0 || aspect == 0) return IdentityMatrix();
    const double cotangent = std::cos(radians) / sine;
    Matrix4 m{};
    m[0] = static_cast<float>(cotangent / aspect);
    m[5] = static_cast<float>(cotangent);
    m[10] = static_cast<float>(-(zFar + zNear) / depth);
    m[11] = -1;
    m[14] = static_cast<float>(-2 * zNear * zFar / depth);
    return m;
}

void StripBatch::EmptyBatch() {
    vertices_.clear();
    runs_.clear();
}

void StripBatch::ClearDepth(double) {}
void StripBatch::DepthFunc(uint32_t) {}
void StripBatch::ShadeModel(uint32_t) {}  // smooth shading is what the shader interpolates
void StripBatch::Hint(uint32_t, uint32_t) {}

void StripBatch::Perspective(double fovY, double aspect, double zNear, double zFar) {
    Stack().back() = MultiplyMatrices(Stack().back(), PerspectiveMatrix(fovY, aspect, zNear, zFar));
}
void StripBatch::MatrixMode(uint32_t mode) {
    projectionMode_ = mode == gl::kProjection;
}
void StripBatch::LoadIdentity() {
    Stack().back() = IdentityMatrix();
}
void StripBatch::PushMatrix() {
    Stack().push_back(Stack().back());
}
void StripBatch::PopMatrix() {
    if (Stack().size() > 1) Stack().pop_back();
}
void StripBatch::Rotatef(float angle, float x, float y, float z) {
    Stack().back() = MultiplyMatrices(Stack().back(), RotationMatrix(angle, x, y, z));
}

// The scene pushes the colour buffer, enable and transform bits: blending and the matrix mode.
void StripBatch::PushAttrib(uint32_t) {
    savedAttribs_.emplace_back(blend_, projectionMode_);
}
void StripBatch::PopAttrib() {
    if (savedAttribs_.empty()) return;
    blend_ = savedAttribs_.back().first;
    projectionMode_ = savedAttribs_.back().second;
    savedAttribs_.pop_back();
}
void StripBatch::Enable(uint32_t cap) {
    if (cap == gl::kBlend) blend_.enabled = true;
}
void StripBatch::Disable(uint32_t cap) {
    if (cap == gl::kBlend) blend_.enabled = false;
}
void StripBatch::BlendFunc(uint32_t source, uint32_t destination) {
    blend_.source = source;
    blend_.destination = destination;
}

void StripBatch::Begin(uint32_t mode) {
    primitive_ = mode;
    strip_.clear();
}

// The scene draws quad strips only; other primitives are not collected.
void StripBatch::End() {
    if (primitive_ != gl::kQuadStrip) return;
    // A quad strip v0 v1 v2 v3 ... gives quads (v0 v1 v3 v2), (v2 v3 v5 v4), ...
    for (size_t i = 0; i + 3 < strip_.size(); i += 2) {
        AddTriangle(strip_[i], strip_[i + 1], strip_[i + 3]);
        AddTriangle(strip_[i], strip_[i + 3], strip_[i + 2]);
    }
    strip_.clear();
}

void StripBatch::Color3f(float r, float g, float b) {
    Color4f(r, g, b, 1.0f);
}
void StripBatch::Color4f(float r, float g, float b, float a) {
    colour_[0] = Clamp01(r);
    colour_[1] = Clamp01(g);
    colour_[2] = Clamp01(b);
    colour_[3] = Clamp01(a);
}

void StripBatch::Vertex3f(float x, float y, float z) {
    const Matrix4 m = MultiplyMatrices(projection_.back(), modelView_.back());
    BatchVertex v{};
    for (int row = 0; row < 4; ++row) {
        v.position[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    }
    std::copy(std::begin(colour_), std::end(colour_), std::begin(v.colour));
    strip_.push_back(v);
}

void StripBatch::AddTriangle(const BatchVertex& a, const BatchVertex& b, const BatchVertex& c) {
    const bool sameRun = !runs_.empty() && runs_.back().blend == blend_.enabled &&
                         runs_.back().blendSource == blend_.source &&
                         runs_.back().blendDestination == blend_.destination;
    if (!sameRun)
        runs_.push_back({vertices_.size(), 0, blend_.enabled, blend_.source, blend_.destination});
    vertices_.insert(vertices_.end(), {a, b, c});
    runs_.back().vertexCount += 3;
}
