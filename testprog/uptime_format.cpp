#include "uptime_format.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

namespace ktr7test {
namespace {

// Hundredths up to here convert to an unsigned 64-bit count exactly (below 2^63).
constexpr double kLargestHundredths = 9.2e18;

}  // namespace

std::string FormatUptime(double seconds) {
    const double rounded = std::floor(std::fabs(seconds) * 100.0 + 0.5);
    if (!(rounded <= kLargestHundredths)) return "n/a";  // NaN, infinite or beyond any device
    const auto hundredths_total = static_cast<uint64_t>(rounded);
    const uint64_t whole = hundredths_total / 100;
    const auto hundredths = static_cast<unsigned>(hundredths_total % 100);
    const uint64_t hours = whole / 3600;
    const auto minutes = static_cast<unsigned>(whole / 60 % 60);
    const auto secs = static_cast<unsigned>(whole % 60);
    const char *sign = seconds < 0 && hundredths_total > 0 ? "-" : "";
    char text[64];
    if (hours > 0) {
        std::snprintf(text, sizeof text, "%s%" PRIu64 ":%02u:%02u.%02u", sign, hours, minutes, secs,
                      hundredths);
    } else if (minutes > 0) {
        std::snprintf(text, sizeof text, "%s%u:%02u.%02u", sign, minutes, secs, hundredths);
    } else {
        std::snprintf(text, sizeof text, "%s%u.%02us", sign, secs, hundredths);
    }
    return text;
}

void PrintUptime(Console &console, double seconds, bool at_cursor) {
    if (at_cursor) {
        console.WriteAtCursor(FormatUptime(seconds));
    } else {
        console.Write(FormatUptime(seconds) + "\n");
    }
}

}  // namespace ktr7test
