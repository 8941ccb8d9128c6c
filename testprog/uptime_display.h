// The continuous uptime display: one live line with the device's uptime, its drift against the
// PC's clock and the rate of successful queries, renewed until Esc.
#ifndef KTR7TEST_UPTIME_DISPLAY_H
#define KTR7TEST_UPTIME_DISPLAY_H

#include <cstdint>

#include "program.h"

namespace ktr7test {

struct UptimeDisplayRun {
    uint32_t queries = 0;     // successful queries
    uint32_t elapsed_ms = 0;  // from the start of the display to its end
};

UptimeDisplayRun RunUptimeDisplay(Program &program);

}  // namespace ktr7test

#endif  // KTR7TEST_UPTIME_DISPLAY_H
