#pragma once
// The embedded pictures, decoded by the system.
#include <windows.h>

// A JPEG from the program's RCDATA resources as a bitmap the caller owns, or null.
HBITMAP LoadJpegResource(int resourceId);
SIZE BitmapSize(HBITMAP bitmap);
