// JPEG resources through OLE's picture loader, copied into plain bitmaps of our own.
#include "host/forms/win32_pictures.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>

HBITMAP LoadJpegResource(int resourceId) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(resourceId), RT_RCDATA);
    if (!resource) return nullptr;
    const DWORD size = SizeofResource(module, resource);
    const void* data = LockResource(LoadResource(module, resource));
    if (!data || size == 0) return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);

    // The decoder is a COM object; keep the apartment only as long as the load.
    const HRESULT com = CoInitialize(nullptr);
    HBITMAP copy = nullptr;
    IStream* stream = nullptr;
    if (SUCCEEDED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        IPicture* picture = nullptr;
        if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                     reinterpret_cast<void**>(&picture)))) {
            OLE_HANDLE handle = 0;
            if (SUCCEEDED(picture->get_Handle(&handle))) {
                // OLE_HANDLE is 32 bits wide; 64-bit Windows widens a handle with its sign.
                const auto bitmap =
                    reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(static_cast<LONG>(handle)));
                copy = static_cast<HBITMAP>(
                    CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
            }
            picture->Release();
        }
        stream->Release();
    } else {
        GlobalFree(memory);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return copy;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}
