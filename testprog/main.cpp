// KTR-7-Test: the operator's console program for the KTR-7 device.
#include "startup.h"

#ifdef _WIN32
#include "console/windows_console.h"
using PlatformConsole = ktr7test::WindowsConsole;
#else
#include "console/posix_console.h"
using PlatformConsole = ktr7test::PosixConsole;
#endif

int main(int argc, char **argv) {
    PlatformConsole console;
    return ktr7test::RunProgram(argc, argv, console);
}
