// The device library's own cost per call: each exported function against an adapter that
// answers at once, so that what is measured is the library's encoding, transaction and
// decoding, not a bus.
#include <benchmark/benchmark.h>

#include <cstring>

#include "KTR-7.h"
#include "Ostrel.h"

// An adapter that accepts every transfer and answers with zero bytes.
uint16_t OSTREL_CALL Ostrel_Version(void) {
    return 0x0100;
}
int32_t OSTREL_CALL Ostrel_Open(void) {
    return 0;
}
int32_t OSTREL_CALL Ostrel_Flush_LPT(void) {
    return 0;
}
const char *OSTREL_CALL Ostrel_ErrorMessage(void) {
    return "";
}
const char *OSTREL_CALL Ostrel_IO_ErrorMessage(void) {
    return "";
}
int32_t OSTREL_CALL Ostrel_GetSlot(uint8_t *slot, int32_t, int32_t) {
    *slot = 0;
    return 0;
}
int32_t OSTREL_CALL Ostrel_SetSlot(uint8_t, int32_t, int32_t) {
    return 0;
}
int32_t OSTREL_CALL Ostrel_Check(int32_t, uint8_t *present) {
    *present = 1;
    return 0;
}
int32_t OSTREL_CALL Ostrel_Send(int32_t, const uint8_t *data, int32_t count, int32_t) {
    benchmark::DoNotOptimize(data[count - 1]);
    return 0;
}
int32_t OSTREL_CALL Ostrel_Receive(int32_t, uint8_t *data, int32_t count, int32_t) {
    std::memset(data, 0x11, static_cast<std::size_t>(count));
    return 0;
}
int32_t OSTREL_CALL Ostrel_ReceiveString(int32_t, char *text, int32_t, int32_t) {
    text[0] = '\0';
    return 0;
}

namespace {

void GetUptime(benchmark::State &state) {
    double seconds = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(KTR_7_GetUptime(&seconds));
        benchmark::DoNotOptimize(seconds);
    }
}
BENCHMARK(GetUptime);

void SetLaserIntensity(benchmark::State &state) {
    float percent = 12.25f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(percent);
        benchmark::DoNotOptimize(KTR_7_SetLaserIntensity(percent));
    }
}
BENCHMARK(SetLaserIntensity);

void GetDecoderConfiguration(benchmark::State &state) {
    uint8_t flags[4];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            KTR_7_GetDecoderConfiguration(&flags[0], &flags[1], &flags[2], &flags[3]));
        benchmark::DoNotOptimize(flags);
    }
}
BENCHMARK(GetDecoderConfiguration);

}  // namespace

BENCHMARK_MAIN();
