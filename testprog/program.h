// What every part of the program shares: the console, the output level fixed at start-up, and
// the common failure path of a failed library call.
#ifndef KTR7TEST_PROGRAM_H
#define KTR7TEST_PROGRAM_H

#include <cstdint>
#include <string>

#include "console/console.h"

namespace ktr7test {

// Debug mode adds progress lines; quiet mode suppresses the port and flush confirmations, the
// help at start, the uptime display's hint line and the closing line.
enum class Level { kQuiet, kNormal, kDebug };

struct Program {
    Console &console;
    Level level = Level::kNormal;

    // Every successful uptime query, single or continuous, leaves its value here.
    double uptime_sample = 0.0;
    // The uptime the continuous display last showed; kept from one run of it to the next.
    double last_shown_uptime = 0.0;

    bool debug() const { return level == Level::kDebug; }
    bool quiet() const { return level == Level::kQuiet; }
};

// printf-style formatting.
std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));

// printf-style output to the program's standard output.
void Print(Console &console, const char *format, ...) __attribute__((format(printf, 2, 3)));

// printf-style output written directly at the console's cursor.
void PrintAtCursor(Console &console, const char *format, ...) __attribute__((format(printf, 2, 3)));

// The one-line report of a failed library call named function, with the adapter's two texts.
void ReportError(Program &program, const char *function);

// Empties the adapter's buffers and reports the outcome by output level.
void FlushBuffers(Program &program);

// The common failure path of a command: ReportError, then FlushBuffers.
void Fail(Program &program, const char *function);

}  // namespace ktr7test

#endif  // KTR7TEST_PROGRAM_H
