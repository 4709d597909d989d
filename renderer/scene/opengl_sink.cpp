#include "renderer/scene/opengl_sink.h"

#ifdef _WIN32
#include <windows.h>  // the GL headers of Windows need its calling conventions
#endif
#include <GL/gl.h>
#include <GL/glu.h>

void OpenGlSink::Clear(uint32_t mask) {
    glClear(mask);
}
void OpenGlSink::ClearColor(float r, float g, float b, float a) {
    glClearColor(r, g, b, a);
}
void OpenGlSink::ClearDepth(double depth) {
    glClearDepth(depth);
}
void OpenGlSink::DepthFunc(uint32_t func) {
    glDepthFunc(func);
}
void OpenGlSink::ShadeModel(uint32_t mode) {
    glShadeModel(mode);
}
void OpenGlSink::Hint(uint32_t target, uint32_t mode) {
    glHint(target, mode);
}
void OpenGlSink::Viewport(int x, int y, int width, int height) {
    glViewport(x, y, width, height);
}
void OpenGlSink::Perspective(double fovY, double aspect, double zNear, double zFar) {
    gluPerspective(fovY, aspect, zNear, zFar);
}
void OpenGlSink::MatrixMode(uint32_t mode) {
    glMatrixMode(mode);
}
void OpenGlSink::LoadIdentity() {
    glLoadIdentity();
}
void OpenGlSink::PushMatrix() {
    glPushMatrix();
}
void OpenGlSink::PopMatrix() {
    glPopMatrix();
}
void OpenGlSink::Rotatef(float angle, float x, float y, float z) {
    glRotatef(angle, x, y, z);
}
void OpenGlSink::PushAttrib(uint32_t mask) {
    glPushAttrib(mask);
}
void OpenGlSink::PopAttrib() {
    glPopAttrib();
}
void OpenGlSink::Enable(uint32_t cap) {
    glEnable(cap);
}
void OpenGlSink::Disable(uint32_t cap) {
    glDisable(cap);
}
void OpenGlSink::BlendFunc(uint32_t source, uint32_t destination) {
    glBlendFunc(source, destination);
}
void OpenGlSink::Begin(uint32_t mode) {
    glBegin(mode);
}
void OpenGlSink::End() {
    glEnd();
}
void OpenGlSink::Color3f(float r, float g, float b) {
    glColor3f(r, g, b);
}
void OpenGlSink::Color4f(float r, float g, float b, float a) {
    glColor4f(r, g, b, a);
}
void OpenGlSink::Vertex3f(float x, float y, float z) {
    glVertex3f(x, y, z);
}
void OpenGlSink::Flush() {
    glFlush();
}
