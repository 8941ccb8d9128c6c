// KTR-7-Test as a whole, on a pseudo-terminal that the benchmark plays:
//   IdleKeyLoop        processor time the waiting key loop uses over 10 s, and the program's
//                      largest resident memory;
//   DisplayStart       how long the continuous display takes from the key to its first value,
//                      with a terminal that answers cursor position queries and with one that
//                      never does (the bounded wait the program then spends once).
#include <benchmark/benchmark.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

struct Child {
    pid_t pid = -1;
    int master = -1;
};

Child Start() {
    Child child;
    child.pid = forkpty(&child.master, nullptr, nullptr, nullptr);
    if (child.pid == 0) {
        for (const char *name :
             {"OSTREL_FAULT", "OSTREL_BUS_KHZ", "OSTREL_TRACE", "OSTREL_SIM_SLOT"}) {
            unsetenv(name);
        }
        execl(KTR7_TEST_PROGRAM, "KTR-7-Test", "-q", static_cast<char *>(nullptr));
        _exit(127);
    }
    return child;
}

// Reads the program's output for up to timeout; answers position queries when asked to.
// Returns what was read; stops early once until appears.
std::string Drain(const Child &child, Clock::duration timeout, bool answer_queries,
                  const std::string &until = "") {
    std::string seen;
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline && (until.empty() || seen.find(until) == std::string::npos)) {
        pollfd fd{child.master, POLLIN, 0};
        if (poll(&fd, 1, 5) <= 0) continue;
        char chunk[512];
        const ssize_t n = read(child.master, chunk, sizeof chunk);
        if (n <= 0) break;
        const std::string text(chunk, static_cast<std::size_t>(n));
        if (answer_queries && text.find("\x1b[6n") != std::string::npos) {
            const std::string reply = "\x1b[1;" + std::to_string(seen.size() % 60 + 16) + "R";
            (void)!write(child.master, reply.data(), reply.size());
        }
        seen += text;
    }
    return seen;
}

rusage Stop(const Child &child) {
    (void)!write(child.master, "\x1b", 1);
    Drain(child, std::chrono::milliseconds(200), false);
    int status = 0;
    rusage usage{};
    if (wait4(child.pid, &status, WNOHANG, &usage) == 0) {
        kill(child.pid, SIGKILL);
        wait4(child.pid, &status, 0, &usage);
    }
    close(child.master);
    return usage;
}

double Seconds(const timeval &t) {
    return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6;
}

void IdleKeyLoop(benchmark::State &state) {
    constexpr auto kIdle = std::chrono::seconds(10);
    rusage usage{};
    for (auto _ : state) {
        const Child child = Start();
        Drain(child, kIdle, true);
        usage = Stop(child);
    }
    const double cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / 10.0;
    state.counters["max_resident_KiB"] = static_cast<double>(usage.ru_maxrss);
}
BENCHMARK(IdleKeyLoop)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void DisplayStart(benchmark::State &state) {
    const bool answering = state.range(0) != 0;
    double milliseconds = 0.0;
    for (auto _ : state) {
        const Child child = Start();
        Drain(child, std::chrono::milliseconds(300), answering);  // started and waiting
        const auto pressed = Clock::now();
        (void)!write(child.master, "U", 1);
        // The first value goes to the uptime column (16) after the three labels.
        Drain(child, std::chrono::seconds(5), answering, "\x1b[16G");
        milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
        Stop(child);
    }
    state.counters["ms_to_first_value"] = milliseconds;
}
BENCHMARK(DisplayStart)
    ->ArgName("terminal_answers")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
