// KTR-7.dll's load-time entry, which the loader calls on process and thread attach and detach.
// The library needs no set-up and no clean-up: every reason is a success.
#include <windows.h>

extern "C" BOOL WINAPI DllEntryPoint(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
