#pragma once
// A GlSink that records every call as text, so tests can check what was drawn
// and in which order.

#include <cstdio>
#include <string>
#include <vector>

#include "renderer/scene/gl_sink.h"

class GlRecorder final : public GlSink {
  public:
    std::vector<std::string> calls;

    void Clear(uint32_t mask) override { Add("Clear", {double(mask)}); }
    void ClearColor(float r, float g, float b, float a) override {
        Add("ClearColor", {r, g, b, a});
    }
    void ClearDepth(double depth) override { Add("ClearDepth", {depth}); }
    void DepthFunc(uint32_t func) override { Add("DepthFunc", {double(func)}); }
    void ShadeModel(uint32_t mode) override { Add("ShadeModel", {double(mode)}); }
    void Hint(uint32_t target, uint32_t mode) override {
        Add("Hint", {double(target), double(mode)});
    }
    void Viewport(int x, int y, int width, int height) override {
        Add("Viewport", {double(x), double(y), double(width), double(height)});
    }
    void Perspective(double fovY, double aspect, double zNear, double zFar) override {
        Add("Perspective", {fovY, aspect, zNear, zFar});
    }
    void MatrixMode(uint32_t mode) override { Add("MatrixMode", {double(mode)}); }
    void LoadIdentity() override { Add("LoadIdentity", {}); }
    void PushMatrix() override { Add("PushMatrix", {}); }
    void PopMatrix() override { Add("PopMatrix", {}); }
    void Rotatef(float angle, float x, float y, float z) override {
        Add("Rotatef", {angle, x, y, z});
    }
    void PushAttrib(uint32_t mask) override { Add("PushAttrib", {double(mask)}); }
    void PopAttrib() override { Add("PopAttrib", {}); }
    void Enable(uint32_t cap) override { Add("Enable", {double(cap)}); }
    void Disable(uint32_t cap) override { Add("Disable", {double(cap)}); }
    void BlendFunc(uint32_t source, uint32_t destination) override {
        Add("BlendFunc", {double(source), double(destination)});
    }
    void Begin(uint32_t mode) override { Add("Begin", {double(mode)}); }
    void End() override { Add("End", {}); }
    void Color3f(float r, float g, float b) override { Add("Color3f", {r, g, b}); }
    void Color4f(float r, float g, float b, float a) override { Add("Color4f", {r, g, b, a}); }
    void Vertex3f(float x, float y, float z) override { Add("Vertex3f", {x, y, z}); }
    void Flush() override { Add("Flush", {}); }

    static std::string Call(const char* name, std::initializer_list<double> args) {
        std::string text = name;
        for (double arg : args) {
            char number[32];
            std::snprintf(number, sizeof number, " %.6g", arg);
            text += number;
        }
        return text;
    }

  private:
    void Add(const char* name, std::initializer_list<double> args) {
        calls.push_back(Call(name, args));
    }
};
