// Housekeeping, clock and uptime queries: supply voltages, temperature, the five clock
// frequencies and the time since the device started.
#include <limits>

#include "KTR-7.h"
#include "byte_order.h"
#include "transaction.h"

using ktr7::Code;

namespace {

// The out-value of a voltage or temperature query whose reading the device does not have. Real
// readings are unsigned fields and never come out negative.
constexpr float kMissingReading = -1.0f;

// The clocks rely on the conversion of an integer to the nearest float, ties to even.
static_assert(std::numeric_limits<float>::is_iec559 &&
                  std::numeric_limits<float>::round_style == std::round_to_nearest,
              "clock frequencies need IEEE single precision rounding to nearest");

// A 16-bit reading scaled in double and rounded once to single precision; the device's marker,
// compared on the raw field, gives kMissingReading instead.
template <Code kCode>
int32_t ReadScaled(float *out, uint16_t missing, double scale) {
    return ktr7::ReadThenStore<kCode>([=](const ktr7::Answer<kCode> &answer) {
        const uint16_t raw = ktr7::GetU16(answer.data());
        *out = raw == missing ? kMissingReading : static_cast<float>(raw * scale);
    });
}

// A signed 32-bit frequency in hertz as the nearest float: above 2^24 Hz only the float's 24
// significant bits remain.
template <Code kCode>
int32_t ReadClock(float *hz) {
    return ktr7::ReadThenStore<kCode>([hz](const ktr7::Answer<kCode> &answer) {
        *hz = static_cast<float>(ktr7::GetS32(answer.data()));
    });
}

}  // namespace

int32_t KTR_7_CALL KTR_7_Get5V(float *volts) {
    return ReadScaled<Code::kSupply5V>(volts, ktr7::kSupplyMissing, ktr7::kVoltsPerMillivolt);
}

int32_t KTR_7_CALL KTR_7_Get3V(float *volts) {
    return ReadScaled<Code::kSupply3V>(volts, ktr7::kSupplyMissing, ktr7::kVoltsPerMillivolt);
}

int32_t KTR_7_CALL KTR_7_GetTemp(float *kelvin) {
    return ReadScaled<Code::kTemperature>(kelvin, ktr7::kTemperatureMissing, ktr7::kKelvinPerCount);
}

int32_t KTR_7_CALL KTR_7_GetClkCPU(float *hz) {
    return ReadClock<Code::kClockCpu>(hz);
}

int32_t KTR_7_CALL KTR_7_GetClkPer(float *hz) {
    return ReadClock<Code::kClockPeripheral>(hz);
}

int32_t KTR_7_CALL KTR_7_GetClkADC(float *hz) {
    return ReadClock<Code::kClockAdc>(hz);
}

int32_t KTR_7_CALL KTR_7_GetClkDAC(float *hz) {
    return ReadClock<Code::kClockDac>(hz);
}

int32_t KTR_7_CALL KTR_7_GetClkMem(float *hz) {
    return ReadClock<Code::kClockMemory>(hz);
}

// Whole seconds (bytes 0-3) plus a count of 1/1024 s (bytes 4-5), which may exceed a second and
// is not reduced. The sum needs at most 43 significant bits, so the double is exact.
int32_t KTR_7_CALL KTR_7_GetUptime(double *seconds) {
    return ktr7::ReadThenStore<Code::kUptime>([seconds](const ktr7::Answer<Code::kUptime> &answer) {
        *seconds = static_cast<double>(ktr7::GetU32(answer.data())) +
                   ktr7::GetU16(answer.data() + 4) / ktr7::kUptimeCountsPerSecond;
    });
}
