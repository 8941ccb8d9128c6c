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
                             std::vector<fake::Call> script, const std::string &typed = "",
                             const std::string &degree_sign = "\xF8") {
    fake::Adapter::Instance().Script(std::move(script));
    ScriptedConsole console;
    console.degree_sign = degree_sign;
    console.Type(typed);
    ktr7test::Program program{console, level};
    command(program, key);
    return {console.out, fake::Adapter::Instance().Made(), fake::Adapter::Instance().Expected()};
}

// One run of a command: what it is given and what it must print, its calls checked against the
// script.
struct CommandCase {
    std::string name;
    ktr7test::Command command;
    int key;
    ktr7test::Level level;
    std::vector<fake::Call> script;
    std::string typed;
    std::string out;
    std::string degree_sign = "\xF8";
};

inline void PrintTo(const CommandCase &c, std::ostream *os) {
    *os << c.name;
}

inline std::string CaseName(const testing::TestParamInfo<CommandCase> &info) {
    return info.param.name;
}

// Runs the case and compares what it printed and the calls it made.
inline void ExpectCase(const CommandCase &c) {
    const CommandRun run = RunCommand(c.command, c.key, c.level, c.script, c.typed, c.degree_sign);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.made, run.expected);
}

// A command whose every call is made to fail once.
struct FailingCommand {
    const char *name;
    ktr7test::Command run;
    int key;
    const char *header;          // its debug header
    std::string typed;           // its entries
    std::string before_failure;  // what it prints ahead of the error line
    std::vector<fake::Call> calls;
    std::vector<const char *> functions;  // the name each call's failure reports
};

// Every call of every command failing once, at every level: the header (debug mode), what comes
// before the call, then only the error line with the failing function's name and the flush;
// nothing of the result and no further call.
inline std::vector<CommandCase> EveryCallFailing(const std::vector<FailingCommand> &commands) {
    std::vector<CommandCase> cases;
    for (const FailingCommand &command : commands) {
        for (std::size_t failing = 0; failing < command.calls.size(); ++failing) {
            for (const ktr7test::Level level :
                 {ktr7test::Level::kQuiet, ktr7test::Level::kNormal, ktr7test::Level::kDebug}) {
                std::vector<fake::Call> script(command.calls.begin(),
                                               command.calls.begin() + static_cast<long>(failing));
                script.push_back(command.calls[failing].Fails(-5));
                script.push_back(fake::Flush());
                const std::string header = level == ktr7test::Level::kDebug ? command.header : "";
                cases.push_back({std::string(command.name) + "Call" + std::to_string(failing + 1) +
                                     LevelName(level),
                                 command.run, command.key, level, script, command.typed,
                                 header + command.before_failure +
                                     FailureLines(command.functions.at(failing), level)});
            }
        }
    }
    return cases;
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
