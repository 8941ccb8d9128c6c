// KTR-7-Test end to end on a real terminal emulator (tmux) and the simulated adapter: the
// screen at start, keys without a command, Esc, a setting's prompt and entry, and the
// terminal's settings after every way out of the program.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "key_loop.h"
#include "support/terminal.h"

namespace {

using testsupport::Terminal;

const char kProgram[] = KTR7_TEST_PROGRAM;

std::string Help() {
    std::string help = ktr7test::kHelpText;
    help.pop_back();  // the screen's text has no line end after its last row
    return help;
}

void Settle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

TEST(OnTerminal, StartScreenAtEachOutputLevel) {
    {
        Terminal terminal(kProgram, {});
        ASSERT_TRUE(terminal.WaitForText("by 'b'. Example")) << terminal.Text();
        EXPECT_EQ(terminal.Text(), "Communication port opened\nBuffers flushed\n" + Help());
        EXPECT_EQ(terminal.CursorRow(), 17);
        EXPECT_EQ(terminal.CursorColumn(), 1);
    }
    {
        Terminal terminal(kProgram, {"-d"});
        ASSERT_TRUE(terminal.WaitForText("by 'b'. Example")) << terminal.Text();
        EXPECT_EQ(terminal.Text(),
                  "Checking Ostrel.dll Version...\nOstrel.dll Version: 1.02\n"
                  "Checking KTR-7.dll Version...\nKTR-7.dll Version: 1.20\n"
                  "Opening the communication port...\nCommunication port opened\n"
                  "Flushing communication buffers of the Ostrel adapter...\n"
                  "Communication buffers of the Ostrel adapter were flushed\n" +
                      Help());
    }
    {
        Terminal terminal(kProgram, {"-q"});
        ASSERT_TRUE(terminal.WaitFor([&] { return terminal.ProgramPid() > 0; }));
        Settle();
        EXPECT_EQ(terminal.Text(), "");
        EXPECT_EQ(terminal.CursorRow(), 1);
        EXPECT_EQ(terminal.CursorColumn(), 1);
        terminal.Type("?");  // the program is there, waiting for keys
        ASSERT_TRUE(terminal.WaitForText("by 'b'. Example")) << terminal.Text();
        EXPECT_EQ(terminal.Text(), Help());
    }
}

TEST(OnTerminal, KeysWithoutACommandDoNothingAndEscEndsAtTheCursor) {
    Terminal terminal(kProgram, {});
    ASSERT_TRUE(terminal.WaitForText("by 'b'. Example"));
    const std::string start = terminal.Text();
    terminal.Press({"Up", "Down", "Left", "Right", "Home", "End", "PPage", "NPage", "IC", "DC"});
    terminal.Press({"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"});
    terminal.Press({"C-Up", "S-F5", "M-x", "M-Up", "BTab", "Enter", "Space", "x", "X", "7"});
    Settle();
    EXPECT_TRUE(terminal.Running());
    EXPECT_EQ(terminal.Text(), start);
    EXPECT_EQ(terminal.CursorRow(), 17);

    terminal.Press({"Escape"});
    ASSERT_TRUE(terminal.WaitForExit());
    EXPECT_EQ(terminal.Rows()[16], "Program finished");
    EXPECT_EQ(terminal.CursorRow(), 17);  // right after the closing text, on its line
    EXPECT_EQ(terminal.CursorColumn(), 17);
    EXPECT_EQ(terminal.ExitStatus(), 0);
}

// The prompt stands on the screen with the cursor after it before the entry is typed; the
// entry is echoed on the prompt's line. A typing error is refused and leaves the device as it was.
TEST(OnTerminal, ASettingsPromptTakesItsEntryOnItsOwnLine) {
    const std::string intensity_prompt = "Enter the new laser intensity (1-100): ";
    Terminal terminal(kProgram, {"-q"});
    ASSERT_TRUE(terminal.WaitFor([&] { return terminal.ProgramPid() > 0; }));
    Settle();
    terminal.Type("I");
    ASSERT_TRUE(terminal.WaitForText("(1-100):")) << terminal.Text();
    EXPECT_EQ(terminal.CursorRow(), 1);
    EXPECT_EQ(terminal.CursorColumn(), static_cast<int>(intensity_prompt.size()) + 1);
    terminal.Type("50");
    terminal.Press({"Enter"});
    terminal.Type("i");
    ASSERT_TRUE(terminal.WaitForText("Laser intensity: 50.0%")) << terminal.Text();

    terminal.Type("S45");
    terminal.Press({"Enter"});
    terminal.Type("S");
    ASSERT_TRUE(terminal.WaitForText("(-180-+180): 45\nEnter")) << terminal.Text();
    terminal.Type("12abc");
    terminal.Press({"Enter"});
    terminal.Type("s");
    ASSERT_TRUE(terminal.WaitForText("Laser phase: +45 deg")) << terminal.Text();
    EXPECT_EQ(terminal.Text(),
              intensity_prompt +
                  "50\nLaser intensity: 50.0%\n"
                  "Enter the new laser phase (-180-+180): 45\n"
                  "Enter the new laser phase (-180-+180): 12abc\n"
                  "Wrong value specified! The phase must be in the range from -180 "
                  "to 180.\nLaser phase: +45 deg");
    terminal.Press({"Escape"});
    ASSERT_TRUE(terminal.WaitForExit());
    EXPECT_EQ(terminal.ExitStatus(), 0);
}

struct WayOut {
    const char *name;
    const char *before;  // keys pressed first: a prompt (line mode) or the running display
    const char *key;     // pressed to leave, or
    int signal_number;   // sent to the program
    int status;          // as the shell sees it
};

TEST(OnTerminal, TheTerminalIsLeftAsItWasFoundOnEveryWayOut) {
    const WayOut ways[] = {
        {"Esc", "", "Escape", 0, 0},
        {"Ctrl+C", "", "C-c", 0, 128 + SIGINT},
        {"Ctrl+backslash", "", "C-\\", 0, 128 + SIGQUIT},
        {"SIGTERM", "", nullptr, SIGTERM, 128 + SIGTERM},
        {"SIGHUP", "", nullptr, SIGHUP, 128 + SIGHUP},
        {"Ctrl+C at a prompt", "I", "C-c", 0, 128 + SIGINT},
        {"SIGTERM at a prompt", "S", nullptr, SIGTERM, 128 + SIGTERM},
        {"Ctrl+C in the display", "U", "C-c", 0, 128 + SIGINT},
        {"SIGHUP in the display", "U", nullptr, SIGHUP, 128 + SIGHUP},
    };
    for (const WayOut &way : ways) {
        Terminal terminal(kProgram, {"-q"});
        ASSERT_TRUE(terminal.WaitFor([&] { return terminal.ProgramPid() > 0; })) << way.name;
        Settle();
        terminal.Type("x");  // no command, and in the program's key mode not echoed
        Settle();
        EXPECT_EQ(terminal.Text(), "") << way.name;
        if (*way.before) {
            terminal.Type(way.before);
            ASSERT_TRUE(terminal.WaitFor([&] { return !terminal.Text().empty(); })) << way.name;
            Settle();
        }
        if (way.key) {
            terminal.Press({way.key});
        } else {
            terminal.Signal(way.signal_number);
        }
        ASSERT_TRUE(terminal.WaitForExit()) << way.name;
        EXPECT_EQ(terminal.ExitStatus(), way.status) << way.name;
        EXPECT_FALSE(terminal.SettingsBefore().empty()) << way.name;
        EXPECT_EQ(terminal.SettingsAfter(), terminal.SettingsBefore()) << way.name;
    }
}

TEST(OnTerminal, CtrlZLeavesTheKeyModeAndContinuingTakesItUpAgain) {
    Terminal terminal(kProgram, {"-q"});
    ASSERT_TRUE(terminal.WaitFor([&] { return terminal.ProgramPid() > 0; }));
    Settle();
    terminal.Press({"C-z"});
    ASSERT_TRUE(terminal.WaitFor([&] { return !terminal.SettingsWhileStopped().empty(); }));
    EXPECT_EQ(terminal.SettingsWhileStopped(), terminal.SettingsBefore());

    terminal.Continue();
    Settle();
    terminal.Type("x?");  // a single key again, without echo
    ASSERT_TRUE(terminal.WaitForText("by 'b'. Example")) << terminal.Text();
    EXPECT_EQ(terminal.Text(), Help());
    terminal.Press({"Escape"});
    ASSERT_TRUE(terminal.WaitForExit());
    EXPECT_EQ(terminal.ExitStatus(), 0);
    EXPECT_EQ(terminal.SettingsAfter(), terminal.SettingsBefore());
}

}  // namespace
