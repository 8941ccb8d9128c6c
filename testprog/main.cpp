// KTR-7-Test: the operator's console program for the KTR-7 device.
#include "console/posix_console.h"
#include "startup.h"

int main(int argc, char **argv) {
    ktr7test::PosixConsole console;
    return ktr7test::RunProgram(argc, argv, console);
}
