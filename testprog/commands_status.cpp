// Housekeeping, clock and uptime commands: supply voltages and temperature, the five clock
// frequencies, and the device's uptime once or continuously (uptime_display.cpp).
#include <array>

#include "KTR-7.h"
#include "commands.h"
#include "uptime_display.h"
#include "uptime_format.h"

namespace ktr7test {
namespace {

constexpr double kZeroCelsiusInKelvin = 273.15;

// A reading the device does not have arrives as -1.0; any value below 0, or a NaN, shows as n/a.
bool Available(float value) {
    return value >= 0.0f;
}

struct Query {
    const char *function;  // its name on the failure path
    int32_t (*get)(float *);
};

// Each query in turn; false, after the failure path, at the first that fails.
template <std::size_t N>
bool QueryAll(Program &program, const std::array<Query, N> &queries, std::array<float, N> &values) {
    for (std::size_t i = 0; i < N; ++i) {
        if (queries[i].get(&values[i]) != 0) {
            Fail(program, queries[i].function);
            return false;
        }
    }
    return true;
}

const std::array<Query, 3> kHousekeeping = {{
    {"KTR_7_Get5V", [](float *v) { return KTR_7_Get5V(v); }},
    {"KTR_7_Get3V", [](float *v) { return KTR_7_Get3V(v); }},
    {"KTR_7_GetTemp", [](float *v) { return KTR_7_GetTemp(v); }},
}};

const std::array<Query, 5> kClocks = {{
    {"KTR_7_GetClkCPU", [](float *v) { return KTR_7_GetClkCPU(v); }},
    {"KTR_7_GetClkPer", [](float *v) { return KTR_7_GetClkPer(v); }},
    {"KTR_7_GetClkADC", [](float *v) { return KTR_7_GetClkADC(v); }},
    {"KTR_7_GetClkDAC", [](float *v) { return KTR_7_GetClkDAC(v); }},
    {"KTR_7_GetClkMem", [](float *v) { return KTR_7_GetClkMem(v); }},
}};

constexpr std::array<const char *, 5> kClockLabels = {
    "CPU: ", ",\tPeriph.: ", ",\tADC: ", ",\tDAC: ", ",\tMemory: ",
};

void PrintVoltage(Console &console, float volts) {
    if (Available(volts)) {
        Print(console, "%+.3fV", static_cast<double>(volts));
    } else {
        Print(console, "n/a");
    }
}

}  // namespace

void GetHousekeeping(Program &program, int) {
    Console &console = program.console;
    if (program.debug()) Print(console, "Getting housekeeping data:\n");
    std::array<float, 3> values = {0.0f, 0.0f, 0.0f};
    if (!QueryAll(program, kHousekeeping, values)) return;
    const auto [supply_5v, supply_3v, kelvin] = values;
    Print(console, "5V: ");
    PrintVoltage(console, supply_5v);
    Print(console, ",\t3V: ");
    PrintVoltage(console, supply_3v);
    Print(console, ",\tTemperature: ");
    if (Available(kelvin)) {
        // The float as delivered, less the double constant, in double.
        const double celsius = static_cast<double>(kelvin) - kZeroCelsiusInKelvin;
        const std::string_view degree = console.DegreeSign();
        Print(console, "%+.2f%.*sC\n", celsius, static_cast<int>(degree.size()), degree.data());
    } else {
        Print(console, "n/a\n");
    }
}

void GetClockFrequencies(Program &program, int) {
    Console &console = program.console;
    if (program.debug()) Print(console, "Getting clock frequencies:\n");
    std::array<float, 5> hz = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    if (!QueryAll(program, kClocks, hz)) return;
    for (std::size_t i = 0; i < hz.size(); ++i) {
        Print(console, "%s", kClockLabels[i]);
        if (Available(hz[i])) {
            Print(console, "%+.2eHz", static_cast<double>(hz[i]));
        } else {
            Print(console, "n/a");
        }
    }
    Print(console, "\n");
}

void Uptime(Program &program, int key) {
    if (program.debug()) Print(program.console, "Getting uptime:\n");
    if (key == 'U') {
        RunUptimeDisplay(program);
        return;
    }
    if (KTR_7_GetUptime(&program.uptime_sample) != 0) return Fail(program, "KTR_7_GetUptime");
    Print(program.console, "Uptime: ");
    PrintUptime(program.console, program.uptime_sample, false);
}

}  // namespace ktr7test
