// Runs the program's commands against a scripted console and the recording fake adapter, and
// builds the lines every command's failure path prints.
#ifndef KTR7_TESTS_COMMAND_FIXTURE_H
#define KTR7_TESTS_COMMAND_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "key_loop.h"
#include "key_table.h"
#include "program.h"
#include "support/fake_adapter.h"
#include "support/scripted_console.h"

namespace testsupport {

using ktr7test::ProgramKeys;

// The error line of a failed call, with the fake adapter's texts.
inline std::string ErrorLine(const std::string &function) {
    return "Error at " + function + ": fake error, I/O Error Message: fake I/O error\n";
}

// What a successful flush prints at each level.
inline std::string FlushLines(ktr7test::Level level) {
    switch (level) {
        case ktr7test::Level::kDebug:
            return "Flushing communication buffers of the Ostrel adapter...\n"
                   "Communication buffers of the Ostrel adapter were flushed\n";
        case ktr7test::Level::kNormal:
            return "Buffers flushed\n";
        case ktr7test::Level::kQuiet:
            break;
    }
    return "";
}

// The common failure path after function failed: its error line, then the flush.
inline std::string FailureLines(const std::string &function, ktr7test::Level level) {
    return ErrorLine(function) + FlushLines(level);
}

inline const char *LevelName(ktr7test::Level level) {
    return level == ktr7test::Level::kDebug   ? "debug"
           : level == ktr7test::Level::kQuiet ? "quiet"
                                              : "normal";
}

struct CommandRun {
    std::string out;       // the console's transcript
    std::string made;      // the adapter calls made
    std::string expected;  // the adapter calls scripted
};

// Runs command for key at level with typed as the input, the adapter answering from script.
inline CommandRun RunCommand(ktr7test::Command command, int key, ktr7test::Level level,
                             std::vector<fake::Call> script, const std::string &typed = "") {
    fake::Adapter::Instance().Script(std::move(script));
    ScriptedConsole console;
    console.Type(typed);
    ktr7test::Program program{console, level};
    command(program, key);
    return {console.out, fake::Adapter::Instance().Made(), fake::Adapter::Instance().Expected()};
}

// Runs the key loop with the program's own key table on typed, then the end of the program.
inline CommandRun RunKeys(ktr7test::Level level, std::vector<fake::Call> script,
                          const std::string &typed) {
    fake::Adapter::Instance().Script(std::move(script));
    ScriptedConsole console;
    console.Type(typed);
    ktr7test::Program program{console, level};
    ktr7test::RunKeyLoop(program, ProgramKeys());
    return {console.out, fake::Adapter::Instance().Made(), fake::Adapter::Instance().Expected()};
}

}  // namespace testsupport

#endif  // KTR7_TESTS_COMMAND_FIXTURE_H
