// The key loop against a scripted console: the help at start, which key runs which entry (exact
// and either-case entries, extended keys never matching a letter), Esc, the end of input, and
// the end sequence.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "key_loop.h"
#include "support/scripted_console.h"

namespace {

using ktr7test::KeyBinding;
using ktr7test::Level;
using ktr7test::Match;
using testsupport::ScriptedConsole;

std::vector<std::string> g_ran;  // the entries run, as "<entry>:<key code>"

template <char kName>
void Record(ktr7test::Program &, int key) {
    g_ran.push_back(std::string(1, kName) + ":" + std::to_string(key));
}

// Entries on the letters whose codes extended keys share: H 72 (Up), K 75 (Left), P 80 (Down),
// Q 81 (Page Down), I 73 (Page Up), O 79 (End), S 83 (Delete).
constexpr std::array<KeyBinding, 9> kTestKeys = {{
    {'o', Match::kExact, Record<'o'>},
    {'O', Match::kExact, Record<'O'>},
    {'Q', Match::kEitherCase, Record<'Q'>},
    {'U', Match::kEitherCase, Record<'U'>},
    {'K', Match::kEitherCase, Record<'K'>},
    {'P', Match::kEitherCase, Record<'P'>},
    {'H', Match::kExact, Record<'H'>},
    {'I', Match::kExact, Record<'I'>},
    {'S', Match::kExact, Record<'S'>},
}};

std::string Extended(char code) {
    return std::string(1, '\0') + code;
}

struct LoopRun {
    std::string out;
    std::vector<std::string> ran;
    uint32_t sleeps;
};

LoopRun RunLoop(Level level, const std::string &keys, uint32_t at_ms = 0) {
    g_ran.clear();
    ScriptedConsole console;
    console.Type(keys, at_ms);
    ktr7test::Program program{console, level};
    ktr7test::RunKeyLoop(program, {kTestKeys.data(), kTestKeys.size()});
    ktr7test::EndProgram(program);
    return {console.out, g_ran, console.sleeps};
}

const std::string kHelp = ktr7test::kHelpText;

TEST(KeyLoop, HelpComesOnceAtStartBeforeKeysAlreadyWaiting) {
    for (const Level level : {Level::kNormal, Level::kDebug}) {
        const LoopRun run = RunLoop(level, "q\x1b");
        EXPECT_EQ(run.out, kHelp + "Program finished");
        EXPECT_EQ(run.ran, std::vector<std::string>{"Q:113"});
    }
}

TEST(KeyLoop, QuietModeShowsHelpOnlyOnQuestionMarkAndNoClosingLine) {
    EXPECT_EQ(RunLoop(Level::kQuiet, "\x1b").out, "");
    EXPECT_EQ(RunLoop(Level::kQuiet, "??\x1b").out, kHelp + kHelp);
}

TEST(KeyLoop, QuestionMarkPrintsTheHelpEveryTime) {
    EXPECT_EQ(RunLoop(Level::kNormal, "??\x1b").out, kHelp + kHelp + kHelp + "Program finished");
}

TEST(KeyLoop, HelpTextIsFourteenLinesWithoutFormatConversions) {
    EXPECT_EQ(std::count(kHelp.begin(), kHelp.end(), '\n'), 14);
    EXPECT_EQ(kHelp.find('%'), std::string::npos);
    EXPECT_EQ(kHelp.back(), '\n');
}

TEST(KeyLoop, ExactAndEitherCaseEntries) {
    EXPECT_EQ(RunLoop(Level::kQuiet, "qQoOuU\x1b").ran,
              (std::vector<std::string>{"Q:113", "Q:81", "o:111", "O:79", "U:117", "U:85"}));
    EXPECT_EQ(RunLoop(Level::kQuiet, "hHiIsS\x1b").ran,
              (std::vector<std::string>{"H:72", "I:73", "S:83"}));
}

TEST(KeyLoop, ExtendedKeysNeverRunALettersEntry) {
    // Up, Left, Down, Page Down, Page Up, End, Delete share their codes with H K P Q I O S.
    const std::string keys = Extended(72) + Extended(75) + Extended(80) + Extended(81) +
                             Extended(73) + Extended(79) + Extended(83) + Extended('o') +
                             Extended('q') + "\x1b";
    const LoopRun run = RunLoop(Level::kNormal, keys);
    EXPECT_TRUE(run.ran.empty());
    EXPECT_EQ(run.out, kHelp + "Program finished");
}

TEST(KeyLoop, ExtendedCodesOfEscAndQuestionMarkAreNotEscAndHelp) {
    // F5 arrives as 0, 63; an extended key whose second code is 27 does not end the loop.
    const LoopRun run = RunLoop(Level::kQuiet, Extended(63) + Extended(27) + "q\x1b");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.ran, std::vector<std::string>{"Q:113"});
}

TEST(KeyLoop, KeysWithoutAnEntryDoNothingAtAll) {
    const LoopRun run = RunLoop(Level::kQuiet, "\r\n 019xXzZ\x7f\xe0\xff\x1b");
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.ran.empty());
}

TEST(KeyLoop, EscEndsAtOnceAndTheEndDiscardsWaitingKeys) {
    const LoopRun run = RunLoop(Level::kNormal, "\x1bqqq");
    EXPECT_TRUE(run.ran.empty());
    EXPECT_EQ(run.out, kHelp + "Program finished");
}

TEST(KeyLoop, EndOfInputEndsLikeEsc) {
    EXPECT_EQ(RunLoop(Level::kNormal, "q").out, kHelp + "Program finished");
    EXPECT_EQ(RunLoop(Level::kQuiet, "").out, "");
}

TEST(KeyLoop, WaitsForTheNextKeyWithoutPolling) {
    const LoopRun run = RunLoop(Level::kQuiet, "q\x1b", 50);
    EXPECT_EQ(run.sleeps, 0u);
    EXPECT_EQ(run.ran, std::vector<std::string>{"Q:113"});
}

}  // namespace
