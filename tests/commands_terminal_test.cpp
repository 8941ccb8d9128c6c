// The commands end to end on a real terminal emulator (tmux) and the simulated adapter: the scan
// clearing its row, an entry typed with echo on its prompt's line, and the continuous uptime
// display updating its values in place, with a device that answers and one that stops.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/terminal.h"

namespace {

using testsupport::Pause;
using testsupport::Started;
using testsupport::Terminal;

const char kProgram[] = KTR7_TEST_PROGRAM;

std::string RowWith(Terminal &terminal, const std::string &text) {
    for (const std::string &row : terminal.Rows()) {
        if (row.find(text) != std::string::npos) return row;
    }
    return "";
}

TEST(CommandsOnTerminal, ScanClearsItsRowBeforeItsResult) {
    Terminal terminal(kProgram, {"-q"});
    Started(terminal);
    terminal.Show("leftover text on the row");  // the cursor stands behind it
    terminal.Type("q");
    ASSERT_TRUE(terminal.WaitForText("Device found"));
    EXPECT_EQ(terminal.Rows()[0], "Device found");
    EXPECT_EQ(terminal.CursorRow(), 2);
}

TEST(CommandsOnTerminal, EntryIsTypedWithEchoOnThePromptsLine) {
    Terminal terminal(kProgram, {"-q"});
    Started(terminal);
    terminal.Type("O");
    ASSERT_TRUE(terminal.WaitForText("Enter the new QMB slot number:"));
    EXPECT_EQ(terminal.CursorColumn(), 32);  // the prompt waits on its line
    terminal.Type("1");
    terminal.Press({"BSpace"});  // the terminal's line editing
    terminal.Type("0h");
    terminal.Press({"Enter"});
    Pause(200);
    terminal.Type("o");
    ASSERT_TRUE(terminal.WaitForText("QMB slot number: 00h (0)")) << terminal.Text();
    EXPECT_EQ(terminal.Text(), "Enter the new QMB slot number: 0h\nQMB slot number: 00h (0)");
}

TEST(CommandsOnTerminal, UptimeDisplayUpdatesItsValuesInPlaceUntilEsc) {
    Terminal terminal(kProgram, {}, {{"OSTREL_SIM_UPTIME", "3600"}});
    ASSERT_TRUE(terminal.WaitForText("by 'b'. Example"));
    terminal.Type("U");
    ASSERT_TRUE(terminal.WaitFor([&] { return RowWith(terminal, "Queries/s: ").size() > 72; }))
        << terminal.Text();
    const std::string first = RowWith(terminal, "Device uptime: ");
    EXPECT_EQ(first.substr(0, 15), "Device uptime: ");
    EXPECT_EQ(first.substr(15, 3), "1:0");  // column 16: an uptime past an hour
    EXPECT_EQ(first.substr(30, 15), "Diff. to PC/s: ");
    EXPECT_NE(first.substr(45, 5).find_first_of("0123456789"), std::string::npos);  // column 46
    EXPECT_EQ(first.substr(60, 11), "Queries/s: ");
    EXPECT_NE(first[71], ' ');  // column 72: the rate
    EXPECT_EQ(RowWith(terminal, "Press 'Esc' to quit"), "Press 'Esc' to quit");

    Pause(300);
    const std::string later = RowWith(terminal, "Device uptime: ");
    EXPECT_NE(later, first);  // the same row, renewed
    EXPECT_EQ(later.substr(30, 15), "Diff. to PC/s: ");

    terminal.Press({"Escape"});
    Pause(200);
    terminal.Type("v");  // the key loop has the keyboard again
    ASSERT_TRUE(terminal.WaitForText("Firmware version: 2-03"));
    const auto rows = terminal.Rows();
    EXPECT_EQ(rows[16], "Press 'Esc' to quit");
    EXPECT_EQ(rows[17].substr(0, 15), "Device uptime: ");
    EXPECT_EQ(rows[18], "Firmware version: 2-03");
    EXPECT_TRUE(terminal.Running());
}

TEST(CommandsOnTerminal, EscEndsTheDisplayWhileTheDeviceFails) {
    Terminal terminal(kProgram, {"-q"},
                      {{"OSTREL_FAULT", "receive:0x05@20+"}, {"OSTREL_FAULT_MESSAGE", "Gone"}});
    Started(terminal);
    terminal.Type("U");
    ASSERT_TRUE(terminal.WaitForText("Error at KTR_7_GetUptime: Gone")) << terminal.Text();
    Pause(300);
    terminal.Press({"Escape"});
    Pause(300);
    const std::string before = terminal.Text();
    Pause(300);
    EXPECT_EQ(terminal.Text(), before);  // no more attempts: the display has ended
    terminal.Type("v");
    ASSERT_TRUE(terminal.WaitForText("Firmware version: 2-03"));
    EXPECT_TRUE(terminal.Running());
}

}  // namespace
