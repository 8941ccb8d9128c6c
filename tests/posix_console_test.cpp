// The POSIX console on a pseudo-terminal, with the test playing the terminal: keys split across
// reads, a lone Esc, the cursor position report among keys typed meanwhile, a terminal that
// never answers, line entries with keys typed ahead, and input that is not a terminal.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "console/posix_console.h"

namespace {

using ktr7test::PosixConsole;
using Scenario = std::function<std::string(PosixConsole &)>;

// What the terminal does: it gets the master side of the pseudo-terminal.
using TerminalSide = std::function<void(int master)>;

// Reads from the master until text has been seen (the program's output and echo).
std::string ReadUntil(int master, const std::string &text, int timeout_ms = 3000) {
    std::string seen;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (seen.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd fd{master, POLLIN, 0};
        if (poll(&fd, 1, 20) <= 0) continue;
        char chunk[256];
        const ssize_t n = read(master, chunk, sizeof chunk);
        if (n <= 0) break;
        seen.append(chunk, static_cast<std::size_t>(n));
    }
    return seen;
}

void Send(int master, const std::string &bytes) {
    ASSERT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Runs scenario in a child process whose standard input and output are a pseudo-terminal that
// terminal plays; returns what the scenario reported.
std::string OnPty(const Scenario &scenario, const TerminalSide &terminal) {
    int report[2];
    if (pipe(report) != 0) return "pipe failed";
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0) {
        close(report[0]);
        std::string result;
        {
            PosixConsole console;
            result = scenario(console);
        }
        if (write(report[1], result.data(), result.size()) < 0) _exit(2);
        _exit(0);
    }
    close(report[1]);
    terminal(master);
    // Keep draining the child's output until it has reported.
    std::string result;
    for (;;) {
        pollfd fds[2] = {{report[0], POLLIN, 0}, {master, POLLIN, 0}};
        if (poll(fds, 2, 5000) <= 0) break;
        char chunk[256];
        if (fds[1].revents & POLLIN) {
            if (read(master, chunk, sizeof chunk) <= 0) fds[1].fd = -1;
        }
        if (fds[0].revents & (POLLIN | POLLHUP)) {
            const ssize_t n = read(report[0], chunk, sizeof chunk);
            if (n <= 0) break;
            result.append(chunk, static_cast<std::size_t>(n));
        }
    }
    close(report[0]);
    close(master);
    int status = 0;
    waitpid(child, &status, 0);
    return result;
}

std::string Keys(PosixConsole &console, int count) {
    std::string keys;
    for (int i = 0; i < count; ++i)
        keys += std::to_string(console.ReadKey()) + " ";
    return keys;
}

TEST(PosixConsole, KeysSplitAcrossReadsAndALoneEsc) {
    const std::string result = OnPty(
        [](PosixConsole &console) {
            console.Write("ready\n");
            return Keys(console, 5);
        },
        [](int master) {
            ReadUntil(master, "ready");
            Send(master, "\x1b[");
            Pause(5);
            Send(master, "A");  // the rest of Up, a moment later
            Pause(100);
            Send(master, "\x1b");  // Esc, alone
            Pause(100);
            Send(master, "\x1bq");  // Alt+Q
        });
    EXPECT_EQ(result, "0 72 27 0 16 ");
}

TEST(PosixConsole, PositionReportAmongKeysTypedMeanwhile) {
    const std::string result = OnPty(
        [](PosixConsole &console) {
            console.Write("ready\n");
            console.ReadKey();  // the go-ahead
            console.Write("Device uptime: ");
            const int column = console.CursorColumn();
            return std::to_string(column) + " " + Keys(console, 3);
        },
        [](int master) {
            ReadUntil(master, "ready");
            Send(master, "g");
            ReadUntil(master, "\x1b[6n");
            Send(master, "a");
            Pause(10);
            Send(master, "b\x1b[7;16R");  // a key, then the answer
            Send(master, "c");
        });
    EXPECT_EQ(result, "16 97 98 99 ");
}

TEST(PosixConsole, ATerminalThatNeverAnswersCostsOneBoundedWait) {
    const std::string result = OnPty(
        [](PosixConsole &console) {
            console.Write("ready\n");
            console.ReadKey();
            console.Write("\tabc");
            const int first = console.CursorColumn();
            console.Write("de");
            const int second = console.CursorColumn();  // no second wait: the answer never came
            return std::to_string(first) + " " + std::to_string(second) + " " + Keys(console, 2);
        },
        [](int master) {
            ReadUntil(master, "ready");
            Send(master, "g");
            ReadUntil(master, "\x1b[6n");
            Send(master, "k");  // typed during the wait, kept for later
            Pause(400);
            Send(master, "\x1b[7;12Rj");  // the answer, after the wait was given up: no key
        });
    EXPECT_EQ(result, "12 14 107 106 ");
}

TEST(PosixConsole, LineEntryTakesKeysTypedAheadAndLeavesWhatFollows) {
    const std::string result = OnPty(
        [](PosixConsole &console) {
            console.Write("ready\n");
            console.ReadKey();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));  // "12" arrives meanwhile
            console.Write("Enter: ");
            std::string line;
            const bool got = console.ReadLine(line);
            return std::to_string(got) + " [" + line + "] " + Keys(console, 1);
        },
        [](int master) {
            ReadUntil(master, "ready");
            Send(master, "g12");
            ReadUntil(master, "Enter: 12");  // the typed-ahead part is shown
            Send(master, "3\n");
            ReadUntil(master, "3\r\n");  // echoed by the terminal in its line mode
            Send(master, "q");
        });
    EXPECT_EQ(result, "1 [123] 113 ");
}

TEST(PosixConsole, LineEntryIsEditedByTheTerminal) {
    const std::string result = OnPty(
        [](PosixConsole &console) {
            console.Write("Enter: ");
            std::string line;
            console.ReadLine(line);
            return "[" + line + "]";
        },
        [](int master) {
            ReadUntil(master, "Enter: ");
            Pause(50);
            Send(master,
                 "19\x7f"
                 "8\n");  // 19, Backspace, 8
        });
    EXPECT_EQ(result, "[18]");
}

// Runs scenario with standard input a pipe that feeder writes to, standard output another pipe;
// returns what the scenario reported.
std::string OnPipe(const Scenario &scenario, const std::function<void(int input)> &feeder) {
    int input[2];
    int report[2];
    if (pipe(input) != 0 || pipe(report) != 0) return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        dup2(input[0], 0);
        close(input[1]);
        close(report[0]);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        std::string result;
        {
            PosixConsole console;
            result = scenario(console);
        }
        if (write(report[1], result.data(), result.size()) < 0) _exit(2);
        _exit(0);
    }
    close(input[0]);
    close(report[1]);
    feeder(input[1]);
    close(input[1]);
    std::string result;
    char chunk[256];
    for (ssize_t n; (n = read(report[0], chunk, sizeof chunk)) > 0;) {
        result.append(chunk, static_cast<std::size_t>(n));
    }
    close(report[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return result;
}

TEST(PosixConsole, AnOverlongLineIsCutAndWhatFollowsItKept) {
    const auto entry = [](PosixConsole &console) {
        std::string line;
        const bool got = console.ReadLine(line);
        const std::size_t ones =
            static_cast<std::size_t>(std::count(line.begin(), line.end(), '1'));
        return std::to_string(got) + " " + std::to_string(line.size()) + " " +
               std::to_string(ones) + " " + Keys(console, 2);
    };
    // In pieces: 5000 characters, then more of the same line, then its end and a key.
    const std::string cut = OnPipe(entry, [](int input) {
        const std::string first(5000, '1');
        (void)!write(input, first.data(), first.size());
        Pause(100);
        (void)!write(input, "111", 3);
        Pause(100);
        (void)!write(input, "\nq", 2);
    });
    EXPECT_EQ(cut, "1 4096 4096 113 -1 ");
    // The same without a line end: the input ends the line.
    const std::string unended = OnPipe(entry, [](int input) {
        const std::string first(5000, '1');
        (void)!write(input, first.data(), first.size());
        Pause(100);
        (void)!write(input, "111", 3);
    });
    EXPECT_EQ(unended, "1 4096 4096 -1 -1 ");
}

TEST(PosixConsole, KeysAndLinesFromAPipeShareOneStream) {
    int input[2];
    ASSERT_EQ(pipe(input), 0);
    const std::string keys = "a\x1b[B42\nxyz\n\x1b";
    ASSERT_EQ(write(input[1], keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    close(input[1]);
    int output[2];
    int report[2];
    ASSERT_EQ(pipe(output), 0);
    ASSERT_EQ(pipe(report), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(input[0], 0);
        dup2(output[1], 1);
        close(output[0]);
        close(report[0]);
        PosixConsole console;
        std::string result = Keys(console, 3);
        std::string line;
        result += console.ReadLine(line) ? "[" + line + "] " : "- ";
        result += console.ReadLine(line) ? "[" + line + "] " : "- ";
        result += Keys(console, 2);
        result += console.ReadLine(line) ? "[" + line + "]" : "-";
        std::fflush(stdout);
        if (write(report[1], result.data(), result.size()) < 0) _exit(2);
        _exit(0);
    }
    close(input[0]);
    close(output[1]);
    close(report[1]);
    std::string shown, result;
    char chunk[256];
    for (ssize_t n; (n = read(output[0], chunk, sizeof chunk)) > 0;) {
        shown.append(chunk, static_cast<std::size_t>(n));
    }
    for (ssize_t n; (n = read(report[0], chunk, sizeof chunk)) > 0;) {
        result.append(chunk, static_cast<std::size_t>(n));
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(result, "97 0 80 [42] [xyz] 27 -1 -");
    // Nothing echoes a pipe, so the console shows each entry line itself.
    EXPECT_EQ(shown, "42\nxyz\n\n");
}

}  // namespace
