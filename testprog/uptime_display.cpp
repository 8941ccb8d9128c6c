#include "uptime_display.h"

#include "KTR-7.h"
#include "key_loop.h"
#include "uptime_format.h"

namespace ktr7test {
namespace {

// The uptime and the difference are written when the uptime has moved on by more than this
// since they were last written, the rate when more than kRateIntervalMs have passed.
constexpr double kUptimeStep = 0.01;
constexpr uint32_t kRateIntervalMs = 100;
// After a failed query: how long to wait, watching for Esc, before the next attempt.
constexpr int kRetryPauseMs = 100;
constexpr double kNoSampleYet = -1.0;

struct Columns {
    int uptime;
    int difference;
    int rate;
};

// The label line; each value's column is where the cursor stands after its label. The 15
// blanks before the second and third label are the room for the value before them.
Columns WriteLabels(Console &console) {
    Columns columns{};
    console.WriteAtCursor("Device uptime: ");
    columns.uptime = console.CursorColumn();
    console.WriteAtCursor("               Diff. to PC/s: ");
    columns.difference = console.CursorColumn();
    console.WriteAtCursor("               Queries/s: ");
    columns.rate = console.CursorColumn();
    return columns;
}

// Takes one waiting key code and tells whether it ends the display: Esc, or the end of the
// input. A key without a character comes as two codes, taken one per pass; its second code is
// never Esc, whatever its value.
class EscWatch {
  public:
    bool Ended(Console &console) {
        const int code = console.ReadKey();
        const bool second_half = after_prefix_;
        after_prefix_ = !second_half && code == 0;
        return code == kEndOfInput || (code == kKeyEsc && !second_half);
    }

  private:
    bool after_prefix_ = false;
};

}  // namespace

UptimeDisplayRun RunUptimeDisplay(Program &program) {
    Console &console = program.console;
    if (!program.quiet()) Print(console, "Press 'Esc' to quit\n");
    const Columns columns = WriteLabels(console);

    uint32_t queries = 0;
    const uint32_t start = console.Milliseconds();
    uint32_t last_rate = start;
    double first_sample = kNoSampleYet;
    EscWatch esc;
    for (;;) {
        if (KTR_7_GetUptime(&program.uptime_sample) != 0) {
            Fail(program, "KTR_7_GetUptime");
            // While the device does not answer: a pause between attempts, Esc still heard.
            bool ended = false;
            for (int waited = 0; waited < kRetryPauseMs && !ended; ++waited) {
                if (console.KeyWaiting()) {
                    ended = esc.Ended(console);
                } else {
                    console.Sleep1ms();
                }
            }
            if (ended) break;
            continue;
        }
        ++queries;
        const uint32_t now = console.Milliseconds();
        const double sample = program.uptime_sample;
        if (first_sample == kNoSampleYet) first_sample = sample;

        if (sample - program.last_shown_uptime > kUptimeStep) {
            console.MoveToColumn(columns.uptime);
            PrintUptime(console, sample, true);
            program.last_shown_uptime = sample;
            // The device's uptime gained since its first sample, less the PC's time since the
            // start of the display; millisecond differences wrap modulo 2^32.
            const double pc_seconds = static_cast<uint32_t>(now - start) * 0.001;
            console.MoveToColumn(columns.difference);
            PrintAtCursor(console, "%5.2lfs", (sample - first_sample) - pc_seconds);
        }
        if (static_cast<uint32_t>(now - last_rate) > kRateIntervalMs) {
            const double rate = queries * 1000.0 / static_cast<uint32_t>(now - start);
            console.MoveToColumn(columns.rate);
            PrintAtCursor(console, "%.2lf", rate);
            last_rate = now;
        }

        if (console.KeyWaiting()) {
            if (esc.Ended(console)) break;
        } else {
            console.Sleep1ms();
        }
    }
    Print(console, "\n");
    return {queries, static_cast<uint32_t>(console.Milliseconds() - start)};
}

}  // namespace ktr7test
