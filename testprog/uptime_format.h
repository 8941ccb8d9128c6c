// The uptime in its clock-like forms: h:mm:ss.cc, m:ss.cc or s.ccs, rounded to hundredths.
#ifndef KTR7TEST_UPTIME_FORMAT_H
#define KTR7TEST_UPTIME_FORMAT_H

#include <string>

#include "console/console.h"

namespace ktr7test {

// The shortest form for seconds, rounded half up to hundredths; the form follows the rounded
// value, so 59.996 is 1:00.00. Hours have no upper bound. A negative uptime, which the device
// never reports, shows with a minus sign; a value that is not a number shows as n/a.
std::string FormatUptime(double seconds);

// Writes the uptime at the console's cursor (at_cursor) or as a line on standard output.
void PrintUptime(Console &console, double seconds, bool at_cursor);

}  // namespace ktr7test

#endif  // KTR7TEST_UPTIME_FORMAT_H
