#include "renderer/scene/gles_sink.h"

#include <GLES3/gl3.h>

#include <cstddef>

namespace {
// The colours come clamped and are interpolated across each triangle, as smooth shading does.
const char* const kVertexShader = R"(#version 300 es
layout(location = 0) in vec4 position;
layout(location = 1) in vec4 colour;
out vec4 shade;
void main() {
    gl_Position = position;
    shade = colour;
}
)";

const char* const kFragmentShader = R"(#version 300 es
precision highp float;
in vec4 shade;
out vec4 fragColour;
void main() {
    fragColour = shade;
}
)";

GLuint CompileShader(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}
}  // namespace

bool GlesSink::Init() {
    const GLuint vertexShader = CompileShader(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragmentShader = CompileShader(GL_FRAGMENT_SHADER, kFragmentShader);
    if (vertexShader == 0 || fragmentShader == 0) return false;
    program_ = glCreateProgram();
    glAttachShader(program_, vertexShader);
    glAttachShader(program_, fragmentShader);
    glLinkProgram(program_);
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    GLint linked = GL_FALSE;
    glGetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) return false;

    GLuint vertexArray = 0;
    GLuint buffer = 0;
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &buffer);
    vertexArray_ = vertexArray;
    buffer_ = buffer;
    glBindVertexArray(vertexArray_);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(BatchVertex),
                          reinterpret_cast<const void*>(offsetof(BatchVertex, position)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(BatchVertex),
                          reinterpret_cast<const void*>(offsetof(BatchVertex, colour)));
    glUseProgram(program_);
    return true;
}

void GlesSink::DrawBatch() {
    if (Vertices().empty()) return;
    // One buffer a frame, given afresh so the draw never waits for the previous frame's.
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(Vertices().size() * sizeof(BatchVertex)),
                 Vertices().data(), GL_STREAM_DRAW);
    for (const BatchRun& run : Runs()) {
        if (run.blend) {
            glEnable(GL_BLEND);
            glBlendFunc(run.blendSource, run.blendDestination);
        } else {
            glDisable(GL_BLEND);
        }
        glDrawArrays(GL_TRIANGLES, static_cast<GLint>(run.firstVertex),
                     static_cast<GLsizei>(run.vertexCount));
    }
    EmptyBatch();
}

void GlesSink::Clear(uint32_t mask) {
    DrawBatch();
    glClear(mask);
}
void GlesSink::ClearColor(float r, float g, float b, float a) {
    glClearColor(r, g, b, a);
}
void GlesSink::Viewport(int x, int y, int width, int height) {
    glViewport(x, y, width, height);
}
void GlesSink::Flush() {
    DrawBatch();
}
