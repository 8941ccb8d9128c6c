#include "startup.h"

#include <cctype>
#include <cstring>

#include "KTR-7.h"
#include "Ostrel.h"
#include "key_loop.h"
#include "key_table.h"

namespace ktr7test {
namespace {

uint16_t AdapterVersion() {
    return Ostrel_Version();
}
uint16_t DeviceLibraryVersion() {
    return KTR_7_Version();
}

}  // namespace

const LibraryVersion kAdapterLibrary = {
    "Checking Ostrel.dll Version...\n",
    "Ostrel.dll Version: %d.%02d\n",
    "Wrong Ostrel.dll Version, expected 1.00, found %d.%02d\n",
    AdapterVersion,
};

const LibraryVersion kDeviceLibrary = {
    "Checking KTR-7.dll Version...\n",
    "KTR-7.dll Version: %d.%02d\n",
    "Wrong KTR-7.dll Version, expected 1.00, found %d.%02d\n",
    DeviceLibraryVersion,
};

namespace {

constexpr unsigned kAcceptedMajorVersion = 1;

bool OpenPort(Program &program) {
    if (program.debug()) Print(program.console, "Opening the communication port...\n");
    if (Ostrel_Open() != 0) {
        ReportError(program, "Ostrel_Open");
        return false;
    }
    if (!program.quiet()) Print(program.console, "Communication port opened\n");
    return true;
}

}  // namespace

std::optional<Level> ParseSwitches(int argc, const char *const *argv) {
    bool quiet = false;
    bool debug = false;
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if ((argument[0] != '-' && argument[0] != '/') || argument[1] == '\0' ||
            argument[2] != '\0') {
            return std::nullopt;
        }
        switch (std::toupper(static_cast<unsigned char>(argument[1]))) {
            case 'Q':
                quiet = true;
                break;
            case 'D':
                debug = true;
                break;
            default:
                return std::nullopt;
        }
    }
    // Debug mode wins over quiet mode.
    return debug ? Level::kDebug : quiet ? Level::kQuiet : Level::kNormal;
}

std::string ProgramName(const char *argv0) {
    const char *name = argv0;
    for (const char *p = argv0; *p; ++p) {
        if (*p == '\\' || *p == '/') name = p + 1;
    }
    return std::string(name, std::strcspn(name, "."));
}

void PrintUsage(Console &console, const std::string &name) {
    Print(console, "%s ver. 1.10, compilation date: %s\n", name.c_str(), __DATE__);
    Print(console,
          " KTR-7 device tools, made by the KTR-7 tools team: https://ktr7-tools.example.org\n");
    Print(console, "\nUsage: ");
    Print(console,
          "%s [Switches]\n  Switch: { -option, /option }\n"
          "    options: Q, q: quiet mode          D, d: debug mode\n",
          name.c_str());
}

bool CheckVersion(Program &program, const LibraryVersion &library) {
    if (program.debug()) Print(program.console, "%s", library.checking);
    const uint16_t word = library.version();
    const int major = word >> 8;
    const int minor = word & 0xFF;
    if (static_cast<unsigned>(major) != kAcceptedMajorVersion) {
        Print(program.console, library.rejected, major, minor);
        return false;
    }
    if (program.debug()) Print(program.console, library.accepted, major, minor);
    return true;
}

int RunProgram(int argc, const char *const *argv, Console &console) {
    const std::optional<Level> level = ParseSwitches(argc, argv);
    if (!level) {
        PrintUsage(console, ProgramName(argc > 0 ? argv[0] : ""));
        return kExitUsage;
    }
    Program program{console, *level};
    if (!CheckVersion(program, kAdapterLibrary) || !CheckVersion(program, kDeviceLibrary)) {
        return kExitWrongVersion;
    }
    if (!OpenPort(program)) return kExitOpenFailed;
    FlushBuffers(program);
    RunKeyLoop(program, ProgramKeys());
    EndProgram(program);
    return kExitNormal;
}

}  // namespace ktr7test
