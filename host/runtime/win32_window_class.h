// The window classes of the host's own windows.
#pragma once

#include <windows.h>

// The class's atom, registering it for this program with procedure, style and the arrow
// cursor the first time it is asked for; 0 when it cannot be registered.
ATOM RegisterWindowClass(const char* name, WNDPROC procedure, UINT style = 0);
