// The program from its start to the key loop, and its exit statuses.
#ifndef KTR7TEST_STARTUP_H
#define KTR7TEST_STARTUP_H

#include <cstdint>
#include <optional>
#include <string>

#include "program.h"

namespace ktr7test {

enum ExitStatus : int {
    kExitNormal = 0,         // Esc or end of input in the key loop
    kExitOpenFailed = 1,     // Ostrel_Open failed
    kExitUsage = -1,         // the command line was not accepted (255 in a POSIX shell)
    kExitWrongVersion = -2,  // a library's version was not accepted (254)
};

// The output level selected by the switches, or nothing when an argument is not accepted.
std::optional<Level> ParseSwitches(int argc, const char *const *argv);

// The program's name from argv[0]: after the last "\" or "/", up to the first ".".
std::string ProgramName(const char *argv0);

void PrintUsage(Console &console, const std::string &name);

// A library's version word is accepted when its major version (high byte) is 1.
struct LibraryVersion {
    const char *checking;  // debug line before the check
    const char *accepted;  // debug line with the version found
    const char *rejected;  // line with the version found, at every level
    uint16_t (*version)();
};
bool CheckVersion(Program &program, const LibraryVersion &library);
extern const LibraryVersion kAdapterLibrary;
extern const LibraryVersion kDeviceLibrary;

// Runs the whole program on console: start-up, key loop, end. Returns the exit status.
int RunProgram(int argc, const char *const *argv, Console &console);

}  // namespace ktr7test

#endif  // KTR7TEST_STARTUP_H
