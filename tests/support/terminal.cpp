#include "terminal.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "process.h"

namespace testsupport {
namespace {

std::string Quoted(const std::string &text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

pid_t ChildOf(pid_t parent) {
    DIR *proc = opendir("/proc");
    if (!proc) return -1;
    pid_t child = -1;
    while (const dirent *entry = readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0) continue;
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string line;
        std::getline(stat, line);
        // pid (comm) state ppid ...: the name may hold blanks, so read after the last ")".
        const auto close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 1));
        std::string state;
        pid_t ppid = -1;
        rest >> state >> ppid;
        if (ppid == parent) {
            child = pid;
            break;
        }
    }
    closedir(proc);
    return child;
}

}  // namespace

Terminal::Terminal(const std::string &program, const std::vector<std::string> &args,
                   const std::map<std::string, std::string> &env, int width, int height,
                   const std::string &input_file) {
    static int count = 0;
    socket_ = "ktr7-" + std::to_string(getpid()) + "-" + std::to_string(++count);
    char dir_template[] = "/tmp/ktr7-terminal-XXXXXX";
    dir_ = mkdtemp(dir_template) ? dir_template : "/tmp";
    {
        std::ofstream config(dir_ + "/tmux.conf");
        config << "set -g remain-on-exit on\nset -g status off\nset -g history-limit 100\n";
    }
    std::string command = "ulimit -c 0; exec " + Quoted(KTR7_TERMINAL_RUNNER) + " " + Quoted(dir_);
    for (const auto &[name, value] : env)
        command += " " + Quoted(name + "=" + value);
    if (!input_file.empty()) command += " " + Quoted("<" + input_file);
    command += " -- " + Quoted(program);
    for (const std::string &arg : args)
        command += " " + Quoted(arg);
    Tmux({"-f", dir_ + "/tmux.conf", "new-session", "-d", "-s", "main", "-x", std::to_string(width),
          "-y", std::to_string(height), command});
}

Terminal::~Terminal() {
    Tmux({"kill-server"});
    for (const char *name : {"tmux.conf", "before", "stopped", "after", "status"}) {
        std::remove((dir_ + "/" + name).c_str());
    }
    rmdir(dir_.c_str());
}

std::string Terminal::Tmux(const std::vector<std::string> &args) {
    std::vector<std::string> argv = {"tmux", "-L", socket_};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess("tmux", argv).out;
}

std::string Terminal::File(const char *name) {
    std::ifstream file(dir_ + "/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return Trimmed(text.str());
}

void Terminal::Press(const std::vector<std::string> &keys) {
    std::vector<std::string> args = {"send-keys", "-t", "main"};
    args.insert(args.end(), keys.begin(), keys.end());
    Tmux(args);
}

void Terminal::Type(const std::string &text) {
    Tmux({"send-keys", "-t", "main", "-l", text});
}

void Terminal::Paste(const std::string &text) {
    const std::string file = dir_ + "/paste";
    std::ofstream(file, std::ios::binary) << text;
    Tmux({"load-buffer", "-b", "paste", file});
    Tmux({"paste-buffer", "-b", "paste", "-d", "-t", "main"});
    std::remove(file.c_str());
}

void Terminal::Show(const std::string &bytes) {
    std::string tty = Tmux({"display-message", "-p", "-t", "main", "#{pane_tty}"});
    while (!tty.empty() && tty.back() == '\n')
        tty.pop_back();
    std::ofstream(tty) << bytes << std::flush;
}

std::vector<std::string> Terminal::Rows() {
    std::istringstream screen(Tmux({"capture-pane", "-p", "-t", "main"}));
    std::vector<std::string> rows;
    for (std::string row; std::getline(screen, row);) {
        while (!row.empty() && row.back() == ' ')
            row.pop_back();
        rows.push_back(row);
    }
    return rows;
}

std::string Terminal::Text() {
    std::string text;
    for (const std::string &row : Rows())
        text += row + "\n";
    return Trimmed(text);
}

int Terminal::CursorColumn() {
    return std::atoi(Tmux({"display-message", "-p", "-t", "main", "#{cursor_x}"}).c_str()) + 1;
}

int Terminal::CursorRow() {
    return std::atoi(Tmux({"display-message", "-p", "-t", "main", "#{cursor_y}"}).c_str()) + 1;
}

bool Terminal::WaitFor(const std::function<bool()> &condition, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool Terminal::WaitForText(const std::string &text, int timeout_ms) {
    return WaitFor([&] { return Text().find(text) != std::string::npos; }, timeout_ms);
}

bool Terminal::Running() {
    return File("status").empty();
}

bool Terminal::WaitForExit(int timeout_ms) {
    return WaitFor([&] { return !Running(); }, timeout_ms);
}

int Terminal::ExitStatus() {
    const std::string status = File("status");
    return status.empty() ? -1 : std::atoi(status.c_str());
}

std::string Terminal::SettingsBefore() {
    return File("before");
}
std::string Terminal::SettingsWhileStopped() {
    return File("stopped");
}
std::string Terminal::SettingsAfter() {
    return File("after");
}

pid_t Terminal::RunnerPid() {
    return static_cast<pid_t>(
        std::atoi(Tmux({"display-message", "-p", "-t", "main", "#{pane_pid}"}).c_str()));
}

pid_t Terminal::ProgramPid() {
    const pid_t runner = RunnerPid();
    return runner > 0 ? ChildOf(runner) : -1;
}

void Terminal::Continue() {
    const pid_t runner = RunnerPid();
    if (runner > 0) kill(runner, SIGUSR1);
}

void Terminal::Signal(int signal_number) {
    const pid_t pid = ProgramPid();
    if (pid > 0) kill(pid, signal_number);
}

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void Started(Terminal &terminal) {
    terminal.WaitFor([&] { return terminal.ProgramPid() > 0; });
    Pause(300);
}

}  // namespace testsupport
