#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char **environ;

namespace testsupport {
namespace {

std::vector<std::string> Environment(const std::map<std::string, std::string> &additions) {
    std::vector<std::string> env;
    for (char **entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        const std::string name = variable.substr(0, variable.find('='));
        if (name.rfind("OSTREL_", 0) == 0 || additions.count(name)) continue;
        env.push_back(variable);
    }
    for (const auto &[name, value] : additions)
        env.push_back(name + "=" + value);
    return env;
}

std::vector<char *> Pointers(std::vector<std::string> &strings) {
    std::vector<char *> pointers;
    pointers.reserve(strings.size() + 1);
    for (std::string &s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ProcessResult RunProcess(const std::string &path, const std::vector<std::string> &args,
                         const std::map<std::string, std::string> &env, const std::string &input) {
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
        posix_spawn_file_actions_addclose(&actions, fd);
    }
    std::vector<std::string> argv_strings = args;
    std::vector<std::string> env_strings = Environment(env);
    std::vector<char *> argv = Pointers(argv_strings);
    std::vector<char *> envp = Pointers(env_strings);
    pid_t pid = -1;
    // A bare name is looked up on PATH, as a shell does.
    const bool bare = path.find('/') == std::string::npos;
    const int spawned = (bare ? posix_spawnp : posix_spawn)(&pid, path.c_str(), &actions, nullptr,
                                                            argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    ProcessResult result;
    if (spawned != 0) {
        close(in[1]);
        close(out[0]);
        close(err[0]);
        result.err = std::strerror(spawned);
        return result;
    }

    // Feed the input and drain both outputs together, so that no pipe fills up and blocks.
    signal(SIGPIPE, SIG_IGN);
    std::size_t written = 0;
    int in_fd = in[1];
    if (input.empty()) {
        close(in_fd);
        in_fd = -1;
    }
    bool out_open = true, err_open = true;
    while (out_open || err_open) {
        pollfd fds[3] = {{out_open ? out[0] : -1, POLLIN, 0},
                         {err_open ? err[0] : -1, POLLIN, 0},
                         {in_fd, POLLOUT, 0}};
        if (poll(fds, 3, -1) < 0 && errno != EINTR) break;
        char buffer[4096];
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
            } else {
                (i == 0 ? out_open : err_open) = false;
            }
        }
        if (in_fd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t n = write(in_fd, input.data() + written, input.size() - written);
            if (n > 0) written += static_cast<std::size_t>(n);
            if (n < 0 || written == input.size()) {
                close(in_fd);
                in_fd = -1;
            }
        }
    }
    if (in_fd >= 0) close(in_fd);
    close(out[0]);
    close(err[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

}  // namespace testsupport
