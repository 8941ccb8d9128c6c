// A real terminal for end-to-end tests: a tmux server of its own runs the program on a
// pseudo-terminal under terminal_runner, which runs it as a shell runs a foreground job and
// records the terminal's settings before, while stopped and after, and its exit status. The
// test types keys and reads back the screen the terminal emulator rendered and its cursor.
//
// tmux because it is a complete, well-kept terminal emulator that is already on the machine,
// answers cursor position queries like the terminals operators use, and is driven entirely
// from the command line (send-keys, capture-pane, display-message).
#ifndef KTR7_TESTS_TERMINAL_H
#define KTR7_TESTS_TERMINAL_H

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

class Terminal {
  public:
    // With input_file, the program reads its standard input from that file instead.
    Terminal(const std::string &program, const std::vector<std::string> &args,
             const std::map<std::string, std::string> &env = {}, int width = 100, int height = 30,
             const std::string &input_file = "");
    ~Terminal();
    Terminal(const Terminal &) = delete;
    Terminal &operator=(const Terminal &) = delete;

    // Presses keys by their tmux names: "Up", "F5", "Escape", "C-c", "M-x", "Enter", ...
    void Press(const std::vector<std::string> &keys);
    // Types text as it stands.
    void Type(const std::string &text);
    // Writes bytes to the terminal as if the program had written them.
    void Show(const std::string &bytes);

    // The rendered screen, one string per row, trailing blanks removed.
    std::vector<std::string> Rows();
    // The rows joined by line feeds, with the blank rows at the bottom left out.
    std::string Text();
    // The cursor, 1-based.
    int CursorColumn();
    int CursorRow();

    bool WaitFor(const std::function<bool()> &condition, int timeout_ms = 5000);
    bool WaitForText(const std::string &text, int timeout_ms = 5000);
    // Until the program has ended.
    bool WaitForExit(int timeout_ms = 5000);
    bool Running();

    int ExitStatus();  // as the shell saw it: 128 + n after signal n
    // Pastes text into the terminal as a terminal's paste does: all of it at once.
    void Paste(const std::string &text);

    std::string SettingsBefore();
    std::string SettingsWhileStopped();  // empty unless the program is stopped (Ctrl+Z)
    std::string SettingsAfter();

    // The program's process id (a child of the pane's shell), or -1.
    pid_t ProgramPid();
    void Signal(int signal_number);
    // Continues a stopped program in the foreground, as a shell's fg does.
    void Continue();

  private:
    std::string Tmux(const std::vector<std::string> &args);
    pid_t RunnerPid();
    std::string File(const char *name);

    std::string socket_;
    std::string dir_;
};

// Waits ms milliseconds of real time, for a terminal or a program to catch up.
void Pause(int ms);

// Waits until the program runs and has had time to set its terminal up.
void Started(Terminal &terminal);

}  // namespace testsupport

#endif  // KTR7_TESTS_TERMINAL_H
