// terminal_runner DIR [NAME=VALUE ...] [<FILE] -- PROGRAM [ARG ...]
//
// Runs PROGRAM on the runner's terminal the way a job-control shell runs a foreground job: in a
// process group of its own that owns the terminal, so that Ctrl+C, Ctrl+\ and Ctrl+Z reach the
// program and not the runner. Every OSTREL_* variable is removed from the environment, then the
// NAME=VALUE pairs are set. With <FILE the program reads its standard input from FILE and only
// writes to the terminal. Files written into DIR:
//   before     the terminal's settings before the program starts
//   stopped    the settings while the program is stopped (Ctrl+Z); SIGUSR1 to the runner then
//              continues the program in the foreground, as a shell's fg does
//   after      the settings once the program has ended
//   status     its exit status as a shell shows it: 128 + n after signal n; the runner then
//              waits for the terminal to go away
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char **environ;

namespace {

volatile sig_atomic_t g_continue = 0;

void OnContinueRequest(int) {
    g_continue = 1;
}

void WriteFile(const std::string &dir, const char *name, const std::string &text) {
    const std::string path = dir + "/" + name;
    const std::string temporary = path + ".new";
    if (FILE *file = std::fopen(temporary.c_str(), "w")) {
        std::fputs(text.c_str(), file);
        std::fclose(file);
        std::rename(temporary.c_str(), path.c_str());  // readers never see half a file
    }
}

std::string Settings() {
    termios t{};
    if (tcgetattr(STDIN_FILENO, &t) != 0) return "not a terminal";
    char text[32];
    std::string settings;
    std::snprintf(text, sizeof text, "%x:%x:%x:%x", static_cast<unsigned>(t.c_iflag),
                  static_cast<unsigned>(t.c_oflag), static_cast<unsigned>(t.c_cflag),
                  static_cast<unsigned>(t.c_lflag));
    settings = text;
    for (const cc_t c : t.c_cc) {
        std::snprintf(text, sizeof text, ":%x", static_cast<unsigned>(c));
        settings += text;
    }
    return settings;
}

void CleanEnvironment(const std::vector<std::string> &settings) {
    std::vector<std::string> names;
    for (char **entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        if (variable.rfind("OSTREL_", 0) == 0)
            names.push_back(variable.substr(0, variable.find('=')));
    }
    for (const std::string &name : names)
        unsetenv(name.c_str());
    for (const std::string &setting : settings) {
        const auto eq = setting.find('=');
        setenv(setting.substr(0, eq).c_str(), setting.substr(eq + 1).c_str(), 1);
    }
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 4) return 2;
    const std::string dir = argv[1];
    int i = 2;
    std::vector<std::string> settings;
    std::string input;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (argv[i][0] == '<') {
            input = argv[i] + 1;
        } else {
            settings.push_back(argv[i]);
        }
    }
    if (i + 1 >= argc) return 2;
    char **program = argv + i + 1;
    CleanEnvironment(settings);

    // The runner takes the terminal back while the program is stopped or gone.
    signal(SIGTTOU, SIG_IGN);
    signal(SIGTTIN, SIG_IGN);
    signal(SIGINT, SIG_IGN);
    signal(SIGQUIT, SIG_IGN);
    signal(SIGTSTP, SIG_IGN);
    struct sigaction request {};
    request.sa_handler = OnContinueRequest;
    sigemptyset(&request.sa_mask);
    sigaction(SIGUSR1, &request, nullptr);
    sigset_t usr1;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    sigprocmask(SIG_BLOCK, &usr1, nullptr);  // no request slips in between test and wait

    WriteFile(dir, "before", Settings());
    const pid_t child = fork();
    if (child < 0) return 2;
    if (child == 0) {
        setpgid(0, 0);
        tcsetpgrp(STDIN_FILENO, getpid());
        sigprocmask(SIG_UNBLOCK, &usr1, nullptr);
        for (const int s : {SIGTTOU, SIGTTIN, SIGINT, SIGQUIT, SIGTSTP, SIGUSR1})
            signal(s, SIG_DFL);
        if (!input.empty() && !std::freopen(input.c_str(), "r", stdin)) _exit(126);
        execv(program[0], program);
        _exit(127);
    }
    setpgid(child, child);
    tcsetpgrp(STDIN_FILENO, child);

    int status = 0;
    for (;;) {
        const pid_t got = waitpid(child, &status, WUNTRACED);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return 2;
        if (!WIFSTOPPED(status)) break;
        tcsetpgrp(STDIN_FILENO, getpgrp());
        WriteFile(dir, "stopped", Settings());
        sigset_t none;
        sigemptyset(&none);
        while (!g_continue)
            sigsuspend(&none);  // SIGUSR1 is blocked but here
        g_continue = 0;
        std::remove((dir + "/stopped").c_str());
        tcsetpgrp(STDIN_FILENO, child);
        kill(-child, SIGCONT);
    }
    tcsetpgrp(STDIN_FILENO, getpgrp());
    const int shown = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    WriteFile(dir, "after", Settings());
    WriteFile(dir, "status", std::to_string(shown));
    // Stay, so that the terminal keeps the program's last screen untouched until the test ends
    // the terminal (its hangup ends the runner).
    for (;;)
        pause();
}
