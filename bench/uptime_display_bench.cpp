// The continuous uptime display's query rate against the simulated adapter, as the program
// runs it: the POSIX console with its 1 ms pauses (standard input a pipe that stays silent until
// Esc, standard output discarded), the device library and the simulated bus at a given clock.
// Counters: queries per second, the limit 1 / (1 ms + the query's time on the bus), and their
// ratio.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "KTR-7.h"
#include "Ostrel.h"
#include "console/posix_console.h"
#include "instance.h"
#include "sim_backplane.h"
#include "uptime_display.h"

namespace {

constexpr auto kRunTime = std::chrono::seconds(3);

// The uptime query's bit-times: the code sent, then 6 answer bytes read back.
constexpr double kUptimeQueryBits = ostrel::ReadCommandBits() + ostrel::ReadAnswerBits(6);

// Standard input and output replaced for one run, put back afterwards.
class Redirected {
  public:
    Redirected() : saved_in_(dup(0)), saved_out_(dup(1)) {
        if (pipe(keys_) != 0) keys_[0] = keys_[1] = -1;
        dup2(keys_[0], 0);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~Redirected() {
        dup2(saved_in_, 0);
        dup2(saved_out_, 1);
        for (const int fd : {saved_in_, saved_out_, keys_[0], keys_[1]})
            close(fd);
    }
    Redirected(const Redirected &) = delete;
    Redirected &operator=(const Redirected &) = delete;
    void PressEsc() { (void)!write(keys_[1], "\x1b", 1); }

  private:
    int saved_in_;
    int saved_out_;
    int keys_[2] = {-1, -1};
};

void UptimeDisplayRate(benchmark::State &state) {
    const auto bus_khz = static_cast<uint32_t>(state.range(0));
    ostrel::Config config;
    config.bus_khz = bus_khz;
    ktr7test::UptimeDisplayRun run;
    for (auto _ : state) {
        ostrel::ResetInstance(config);
        Ostrel_Open();
        Redirected redirected;
        ktr7test::PosixConsole console;
        ktr7test::Program program{console, ktr7test::Level::kQuiet};
        std::thread esc([&redirected] {
            std::this_thread::sleep_for(kRunTime);
            redirected.PressEsc();
        });
        run = ktr7test::RunUptimeDisplay(program);
        esc.join();
    }
    const double rate = run.queries * 1000.0 / run.elapsed_ms;
    const double bus_seconds = bus_khz ? kUptimeQueryBits / (bus_khz * 1000.0) : 0.0;
    const double limit = 1.0 / (0.001 + bus_seconds);
    state.counters["queries_per_s"] = rate;
    state.counters["limit_per_s"] = limit;
    state.counters["ratio"] = rate / limit;
}

// One uptime query through the library and the simulated adapter, bus emulation off.
void UptimeQueryOnSimulator(benchmark::State &state) {
    ostrel::ResetInstance(ostrel::Config{});
    Ostrel_Open();
    double seconds = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(KTR_7_GetUptime(&seconds));
        benchmark::DoNotOptimize(seconds);
    }
}
BENCHMARK(UptimeQueryOnSimulator);

BENCHMARK(UptimeDisplayRate)
    ->ArgName("bus_kHz")
    ->Arg(0)
    ->Arg(100)
    ->Arg(400)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
