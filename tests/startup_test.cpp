// KTR-7-Test's start-up and end through the real binary on the simulated adapter: switches and
// the usage text, both version checks, opening the port, the initial flush, exit statuses, and
// which adapter calls each outcome makes (from the adapter's trace).
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "key_loop.h"
#include "program.h"
#include "startup.h"
#include "support/process.h"
#include "support/scripted_console.h"

namespace {

using testsupport::ProcessResult;
using testsupport::RunProcess;

const char kProgram[] = KTR7_TEST_PROGRAM;

const std::string kOpened = "Communication port opened\n";
const std::string kHelp = ktr7test::kHelpText;
const std::string kFinished = "Program finished";
const std::string kFlushed = "Buffers flushed\n";
const std::string kDebugStart =
    "Checking Ostrel.dll Version...\n"
    "Ostrel.dll Version: 1.02\n"
    "Checking KTR-7.dll Version...\n"
    "KTR-7.dll Version: 1.20\n"
    "Opening the communication port...\n"
    "Communication port opened\n"
    "Flushing communication buffers of the Ostrel adapter...\n"
    "Communication buffers of the Ostrel adapter were flushed\n";

std::string Usage(const std::string &name) {
    return name + " ver. 1.10, compilation date: DATE\n" +
           " KTR-7 device tools, made by the KTR-7 tools team: https://ktr7-tools.example.org\n" +
           "\nUsage: " + name +
           " [Switches]\n  Switch: { -option, /option }\n"
           "    options: Q, q: quiet mode          D, d: debug mode\n";
}

// The compilation date is the compiler's, in its "Mmm dd yyyy" form.
std::string WithoutDate(const std::string &out) {
    return std::regex_replace(out,
                              std::regex("compilation date: [A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4}\n"),
                              "compilation date: DATE\n");
}

class StartUp : public testing::Test {
  protected:
    ProcessResult Run(std::vector<std::string> args, std::map<std::string, std::string> env = {}) {
        env["OSTREL_TRACE"] = trace_path_;
        std::remove(trace_path_.c_str());
        args.insert(args.begin(), kProgram);
        return RunProcess(kProgram, args, env);
    }

    // The adapter calls made, by function name, one per line; empty when none was made.
    std::string Calls() const {
        std::ifstream file(trace_path_);
        std::string calls, line;
        while (std::getline(file, line))
            calls += line.substr(0, line.find('(')) + "\n";
        return calls;
    }

    // One file per test: CTest may run the cases side by side.
    const std::string trace_path_ = testing::TempDir() + "startup_trace_" +
                                    testing::UnitTest::GetInstance()->current_test_info()->name() +
                                    ".txt";
};

TEST_F(StartUp, NormalModeConfirmsPortAndFlush) {
    const ProcessResult r = Run({});
    EXPECT_EQ(r.out, kOpened + kFlushed + kHelp + kFinished);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Calls(), "Ostrel_Version\nOstrel_Open\nOstrel_Flush_LPT\n");
}

TEST_F(StartUp, OutputBySwitches) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"-q"}, ""},
        {{"/Q"}, ""},
        {{"-Q"}, ""},
        {{"/q", "-q"}, ""},
        {{"-d"}, kDebugStart + kHelp + kFinished},
        {{"/D"}, kDebugStart + kHelp + kFinished},
        {{"-D"}, kDebugStart + kHelp + kFinished},
        {{"/d"}, kDebugStart + kHelp + kFinished},
        {{"-d", "-q"}, kDebugStart + kHelp + kFinished},
        {{"-q", "-d"}, kDebugStart + kHelp + kFinished},
    };
    for (const auto &[args, out] : cases) {
        const ProcessResult r = Run(args);
        EXPECT_EQ(r.out, out) << args[0];
        EXPECT_EQ(r.status, 0);
    }
}

TEST_F(StartUp, RefusedArgumentsPrintOnlyTheUsageAndCallNothing) {
    for (const std::vector<std::string> &args : std::vector<std::vector<std::string>>{{"-qd"},
                                                                                      {"-quiet"},
                                                                                      {"/debug"},
                                                                                      {"/x"},
                                                                                      {"-"},
                                                                                      {"/"},
                                                                                      {"1"},
                                                                                      {"-d", "1"},
                                                                                      {"q"},
                                                                                      {""}}) {
        const ProcessResult r = Run(args);
        EXPECT_EQ(WithoutDate(r.out), Usage("KTR-7-Test")) << args.back();
        EXPECT_EQ(r.status, 255) << args.back();
        EXPECT_EQ(Calls(), "") << args.back();
    }
}

TEST_F(StartUp, ProgramNameIsTheFileNameUpToItsFirstDot) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"C:\\Tools\\KTR-7-Test.exe", "KTR-7-Test"},
        {"/opt/ktr7/bin/KTR-7-Test", "KTR-7-Test"},
        {"./a.b.exe", "a"},
        {"D:\\x/y\\tool", "tool"},
        {"plain", "plain"},
    };
    for (const auto &[argv0, name] : cases) {
        const ProcessResult r = RunProcess(kProgram, {argv0, "-x"});
        EXPECT_EQ(WithoutDate(r.out), Usage(name)) << argv0;
        EXPECT_EQ(ktr7test::ProgramName(argv0.c_str()), name);
    }
}

TEST_F(StartUp, AcceptsAdapterVersionsOfMajorVersionOne) {
    for (const char *version : {"0x0100", "0x01FF"}) {
        const ProcessResult r = Run({"-q"}, {{"OSTREL_VERSION", version}});
        EXPECT_EQ(r.out, "") << version;
        EXPECT_EQ(r.status, 0) << version;
    }
    const ProcessResult r = Run({"-d"}, {{"OSTREL_VERSION", "0x01FF"}});
    EXPECT_NE(r.out.find("Ostrel.dll Version: 1.255\n"), std::string::npos);
}

TEST_F(StartUp, RejectsOtherAdapterVersionsAtEveryLevelBeforeOpening) {
    const std::vector<std::pair<const char *, std::string>> cases = {
        {"0x0200", "Wrong Ostrel.dll Version, expected 1.00, found 2.00\n"},
        {"0x00FF", "Wrong Ostrel.dll Version, expected 1.00, found 0.255\n"},
    };
    for (const auto &[version, line] : cases) {
        EXPECT_EQ(Run({"-q"}, {{"OSTREL_VERSION", version}}).out, line);
        const ProcessResult debug = Run({"-d"}, {{"OSTREL_VERSION", version}});
        EXPECT_EQ(debug.out, "Checking Ostrel.dll Version...\n" + line);
        EXPECT_EQ(debug.status, 254);
        EXPECT_EQ(Calls(), "Ostrel_Version\n");
    }
}

TEST_F(StartUp, OpenFailureReportsOnceAndEndsWithStatusOneWithoutFlush) {
    const std::map<std::string, std::string> env = {
        {"OSTREL_FAULT", "open=3"},
        {"OSTREL_FAULT_MESSAGE", "Port busy"},
        {"OSTREL_FAULT_IO_MESSAGE", "LPT1 in use"},
    };
    const std::string error = "Error at Ostrel_Open: Port busy, I/O Error Message: LPT1 in use\n";
    EXPECT_EQ(Run({}, env).out, error);
    EXPECT_EQ(Run({"-q"}, env).out, error);
    const ProcessResult debug = Run({"-d"}, env);
    EXPECT_EQ(debug.out.substr(debug.out.find("Opening")),
              "Opening the communication port...\n" + error);
    EXPECT_EQ(debug.status, 1);
    EXPECT_EQ(Calls(),
              "Ostrel_Version\nOstrel_Open\nOstrel_IO_ErrorMessage\nOstrel_ErrorMessage\n");
}

TEST_F(StartUp, FlushFailureIsReportedAndTheStartUpGoesOn) {
    const std::map<std::string, std::string> env = {{"OSTREL_FAULT", "flush"},
                                                    {"OSTREL_FAULT_IO_MESSAGE", "no answer"}};
    const std::string error =
        "Error at Ostrel_Flush_LPT: Injected fault, I/O Error Message: no answer\n";
    EXPECT_EQ(Run({}, env).out, kOpened + error + kHelp + kFinished);
    EXPECT_EQ(Run({"-q"}, env).out, error);
    const ProcessResult debug = Run({"-d"}, env);
    EXPECT_EQ(
        debug.out.substr(debug.out.find("Flushing")),
        "Flushing communication buffers of the Ostrel adapter...\n" + error + kHelp + kFinished);
    EXPECT_EQ(debug.status, 0);
}

TEST_F(StartUp, PipedEscEndsAtOnceWithKeysBehindIt) {
    const ProcessResult r = RunProcess(kProgram, {kProgram, "-q"}, {}, "\x1bqq");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 0);
    const ProcessResult normal = RunProcess(kProgram, {kProgram}, {}, "?\x1b?");
    EXPECT_EQ(normal.out, kOpened + kFlushed + kHelp + kHelp + kFinished);
}

TEST_F(StartUp, ABadAdapterConfigurationFailsOpenWithItsText) {
    const ProcessResult r = Run({"-q"}, {{"OSTREL_SIM_SLOT", "300"}});
    EXPECT_EQ(r.out,
              "Error at Ostrel_Open: Invalid adapter configuration, I/O Error Message: "
              "OSTREL_SIM_SLOT='300' is not a QMB slot (0 to 255) or none\n");
    EXPECT_EQ(r.status, 1);
}

// The device library's version check, in-process: the real library always reports 1.20.

uint16_t Version0200() {
    return 0x0200;
}
uint16_t Version00FF() {
    return 0x00FF;
}
uint16_t Version0100() {
    return 0x0100;
}

TEST(VersionCheck, DeviceLibraryVersionIsJudgedLikeTheAdapters) {
    const struct {
        uint16_t (*version)();
        ktr7test::Level level;
        bool accepted;
        const char *out;
    } cases[] = {
        {Version0200, ktr7test::Level::kQuiet, false,
         "Wrong KTR-7.dll Version, expected 1.00, found 2.00\n"},
        {Version00FF, ktr7test::Level::kDebug, false,
         "Checking KTR-7.dll Version...\nWrong KTR-7.dll Version, expected 1.00, found 0.255\n"},
        {Version0100, ktr7test::Level::kDebug, true,
         "Checking KTR-7.dll Version...\nKTR-7.dll Version: 1.00\n"},
        {Version0100, ktr7test::Level::kNormal, true, ""},
    };
    for (const auto &c : cases) {
        testsupport::ScriptedConsole console;
        ktr7test::Program program{console, c.level};
        ktr7test::LibraryVersion library = ktr7test::kDeviceLibrary;
        library.version = c.version;
        EXPECT_EQ(ktr7test::CheckVersion(program, library), c.accepted);
        EXPECT_EQ(console.out, c.out);
    }
}

}  // namespace
