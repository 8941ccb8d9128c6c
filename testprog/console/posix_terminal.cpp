#include "posix_terminal.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace ktr7test::posix {
namespace {

// Signal handlers read these; they are written before the handlers are installed.
int g_fd = -1;
termios g_original{};
termios g_keys{};
termios g_line{};
volatile sig_atomic_t g_mode = static_cast<int>(TerminalMode::kOriginal);

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};

const termios &Settings(TerminalMode mode) {
    switch (mode) {
        case TerminalMode::kKeys:
            return g_keys;
        case TerminalMode::kLine:
            return g_line;
        case TerminalMode::kOriginal:
            break;
    }
    return g_original;
}

// TCSANOW: a mode change must neither wait for output nor discard keys typed ahead.
void Apply(TerminalMode mode) {
    tcsetattr(g_fd, TCSANOW, &Settings(mode));
}

void Install(int signal_number, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal_number, &action, nullptr);
}

// Puts the terminal back, then lets the signal end the program as it would have.
void OnEndingSignal(int signal_number) {
    const int saved_errno = errno;
    tcsetattr(g_fd, TCSANOW, &g_original);
    signal(signal_number, SIG_DFL);
    raise(signal_number);  // delivered when the handler returns
    errno = saved_errno;
}

// Ctrl+Z: give the shell its terminal back, stop, and take up the mode again on continuing.
void OnStop(int) {
    const int saved_errno = errno;
    tcsetattr(g_fd, TCSANOW, &g_original);
    signal(SIGTSTP, SIG_DFL);
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);
    raise(SIGTSTP);  // stops here until SIGCONT
    Install(SIGTSTP, OnStop);
    Apply(static_cast<TerminalMode>(g_mode));
    errno = saved_errno;
}

void OnContinue(int) {
    const int saved_errno = errno;
    Apply(static_cast<TerminalMode>(g_mode));
    errno = saved_errno;
}

// A signal the program was started with set to be ignored stays ignored (nohup, a session
// without job control).
void InstallUnlessIgnored(int signal_number, void (*handler)(int)) {
    struct sigaction current {};
    sigaction(signal_number, nullptr, &current);
    if (current.sa_handler != SIG_IGN) Install(signal_number, handler);
}

void RestoreAtExit() {
    tcsetattr(g_fd, TCSANOW, &g_original);
}

}  // namespace

bool InitTerminal(int fd) {
    if (g_fd >= 0) return true;
    termios original{};
    if (!isatty(fd) || tcgetattr(fd, &original) != 0) return false;
    g_original = original;

    g_keys = original;
    g_keys.c_lflag &=
        ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | IEXTEN);  // whole keys, silent
    g_keys.c_lflag |= ISIG;                          // Ctrl+C, Ctrl+\ and Ctrl+Z still signal
    g_keys.c_iflag &= ~static_cast<tcflag_t>(IXON);  // Ctrl+S and Ctrl+Q are keys, not flow control
    g_keys.c_iflag |= ICRNL;                         // Enter arrives as a line feed
    g_keys.c_oflag |= OPOST | ONLCR;                 // "\n" still returns the carriage
    g_keys.c_cc[VMIN] = 1;                           // a read returns at least one byte
    g_keys.c_cc[VTIME] = 0;                          // with no inter-byte timer

    g_line = original;
    g_line.c_lflag |= ICANON | ECHO | ECHOE | ECHOK | ISIG | IEXTEN;  // edited, echoed lines
    g_line.c_iflag |= ICRNL;
    g_line.c_oflag |= OPOST | ONLCR;

    g_fd = fd;
    for (const int signal_number : kEndingSignals)
        InstallUnlessIgnored(signal_number, OnEndingSignal);
    InstallUnlessIgnored(SIGTSTP, OnStop);
    InstallUnlessIgnored(SIGCONT, OnContinue);
    std::atexit(RestoreAtExit);
    return true;
}

void SetTerminalMode(TerminalMode mode) {
    if (g_fd < 0) return;
    g_mode = static_cast<int>(mode);
    Apply(mode);
}

}  // namespace ktr7test::posix
