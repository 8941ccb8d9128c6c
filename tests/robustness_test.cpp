// KTR-7-Test under conditions an operator's terminal can bring about: keys from a file with the
// output on a terminal, a terminal that never answers the cursor position query, a megabyte
// pasted at a prompt, and keys typed while a slow command runs.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "support/terminal.h"

namespace {

using testsupport::Pause;
using testsupport::Started;
using testsupport::Terminal;

const char kProgram[] = KTR7_TEST_PROGRAM;

TEST(Robustness, KeysFromAFileEndWithTheFileAndLeaveTheTerminalAsItWas) {
    const std::string keys = testing::TempDir() + "robustness_keys.txt";
    std::ofstream(keys) << "vn";
    Terminal terminal(kProgram, {"-q"}, {}, 100, 30, keys);
    ASSERT_TRUE(terminal.WaitForExit());
    EXPECT_EQ(terminal.ExitStatus(), 0);
    EXPECT_EQ(terminal.Text(), "Firmware version: 2-03\nProduct number: 7000123");
    EXPECT_EQ(terminal.SettingsAfter(), terminal.SettingsBefore());
    std::remove(keys.c_str());
}

// The program on a pseudo-terminal whose other side, this test, never answers a cursor position
// query: the display still starts and Esc still ends it.
TEST(Robustness, ATerminalThatNeverAnswersTheCursorQueryIsNoHang) {
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        unsetenv("OSTREL_FAULT");
        execl(kProgram, kProgram, "-q", static_cast<char *>(nullptr));
        _exit(127);
    }
    std::string seen;
    auto read_until = [&](const std::string &text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (seen.find(text) == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            pollfd fd{master, POLLIN, 0};
            if (poll(&fd, 1, 20) <= 0) continue;
            char chunk[512];
            const ssize_t n = read(master, chunk, sizeof chunk);
            if (n <= 0) break;
            seen.append(chunk, static_cast<std::size_t>(n));
        }
        return seen.find(text) != std::string::npos;
    };
    Pause(200);
    ASSERT_EQ(write(master, "U", 1), 1);
    EXPECT_TRUE(read_until("\x1b[6n"));      // it asks ...
    EXPECT_TRUE(read_until("\x1b[16G"));     // ... and, unanswered, writes its first value
    ASSERT_EQ(write(master, "\x1b", 1), 1);  // Esc ends the display
    Pause(200);
    ASSERT_EQ(write(master, "v", 1), 1);
    EXPECT_TRUE(read_until("Firmware version: 2-03"));
    ASSERT_EQ(write(master, "\x1b", 1), 1);
    // The program ends within a few seconds (at most), its output kept flowing meanwhile.
    int status = -1;
    pid_t got = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((got = waitpid(child, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        pollfd fd{master, POLLIN, 0};
        char chunk[512];
        if (poll(&fd, 1, 10) > 0 && read(master, chunk, sizeof chunk) <= 0) Pause(10);
    }
    if (got == 0) kill(child, SIGKILL);
    close(master);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(Robustness, AMegabytePastedAtAPromptIsOneRefusedEntryAndNoKeys) {
    Terminal terminal(kProgram, {"-q"});
    Started(terminal);
    terminal.Type("I");
    ASSERT_TRUE(terminal.WaitForText("Enter the new laser intensity (1-100):"));
    // Letters that are commands: taken as keys, they would scan the bus and read the slot.
    terminal.Paste(std::string(1 << 20, 'q') + "o");
    Pause(500);
    terminal.Press({"Enter"});
    ASSERT_TRUE(terminal.WaitForText("The intensity must be in the range", 10000))
        << terminal.Text();
    terminal.Type("i");
    ASSERT_TRUE(terminal.WaitForText("Laser intensity: 50.0%"));
    const std::string screen = terminal.Text();
    EXPECT_EQ(screen.find("Device found"), std::string::npos);
    EXPECT_EQ(screen.find("QMB slot number"), std::string::npos);
    EXPECT_TRUE(terminal.Running());
}

TEST(Robustness, KeysTypedDuringASlowCommandAreTakenAfterwardsInOrder) {
    // At 1 kHz the housekeeping's three queries take a good part of a second on the bus.
    Terminal terminal(kProgram, {"-q"}, {{"OSTREL_BUS_KHZ", "1"}});
    Started(terminal);
    terminal.Type("k");
    Pause(20);
    terminal.Type("vqn");
    ASSERT_TRUE(terminal.WaitForText("Product number: 7000123", 10000)) << terminal.Text();
    const auto rows = terminal.Rows();
    EXPECT_EQ(rows[0].substr(0, 4), "5V: ");
    EXPECT_EQ(rows[1], "Firmware version: 2-03");
    EXPECT_EQ(rows[2], "Device found");
    EXPECT_EQ(rows[3], "Product number: 7000123");
}

}  // namespace
