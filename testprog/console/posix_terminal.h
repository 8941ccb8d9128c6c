// The terminal's modes on a POSIX system. The settings found at start are saved once and put
// back on every way out: a normal end, exit(), and the signals that end the program (SIGINT,
// SIGTERM, SIGHUP, SIGQUIT, SIGPIPE). Ctrl+Z (SIGTSTP) leaves the program's mode for the shell
// and SIGCONT takes it up again.
#ifndef KTR7TEST_POSIX_TERMINAL_H
#define KTR7TEST_POSIX_TERMINAL_H

namespace ktr7test::posix {

enum class TerminalMode {
    kOriginal,  // as found at start
    kKeys,      // single keys: no line editing, no echo; signal keys and output processing kept
    kLine,      // a line entry: line editing and echo
};

// Saves the settings of the terminal on fd and installs the restoring handlers. False when fd
// is not a terminal; the other functions then do nothing.
bool InitTerminal(int fd);

void SetTerminalMode(TerminalMode mode);

}  // namespace ktr7test::posix

#endif  // KTR7TEST_POSIX_TERMINAL_H
