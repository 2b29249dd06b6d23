// Loading and unloading the library does nothing of its own and always succeeds.
#if defined(_WIN32)
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD /*reason*/, LPVOID /*reserved*/) {
    return TRUE;
}
#endif
