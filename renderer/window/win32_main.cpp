#include <windows.h>

#include "renderer/window/win32_renderer_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    static RendererRun run;
    Win32RendererPlatform platform(instance);
    return RendererMain(platform, run);
}
