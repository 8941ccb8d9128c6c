// The device library against the simulated adapter and device: each setting written is read back
// as the device stored it, and readings the device is configured to miss come out as -1.0.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "KTR-7.h"
#include "Ostrel.h"
#include "instance.h"

namespace {

class LibraryOnSimulator : public testing::Test {
  protected:
    void SetUp() override { Start(ostrel::Config{}); }

    static void Start(const ostrel::Config &config) {
        ostrel::ResetInstance(config);
        ASSERT_EQ(Ostrel_Open(), 0) << Ostrel_ErrorMessage();
    }
};

struct RoundTrip {
    const char *name;
    std::function<int32_t()> set;
    std::function<std::string()> get;  // the value read back, rendered
    std::string expected;
};

// Tells every float apart.
std::string Exact(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

std::string Float(int32_t(KTR_7_CALL *get)(float *)) {
    float value = -77.0f;
    EXPECT_EQ(get(&value), 0);
    return Exact(value);
}

std::string Phase() {
    int32_t degrees = 0x55555555;
    EXPECT_EQ(KTR_7_GetLaserPhase(&degrees), 0);
    return std::to_string(degrees);
}

std::string State() {
    uint8_t enabled = 0x55;
    EXPECT_EQ(KTR_7_GetLaserState(&enabled), 0);
    return std::to_string(enabled);
}

std::string Decoder() {
    uint8_t flags[4] = {0x55, 0x55, 0x55, 0x55};
    EXPECT_EQ(KTR_7_GetDecoderConfiguration(&flags[0], &flags[1], &flags[2], &flags[3]), 0);
    return std::to_string(flags[0]) + std::to_string(flags[1]) + std::to_string(flags[2]) +
           std::to_string(flags[3]);
}

TEST_F(LibraryOnSimulator, EverySettingReadsBackAsWritten) {
    const RoundTrip trips[] = {
        {"laser on", [] { return KTR_7_SetLaserState(1); }, State, "1"},
        {"laser state byte", [] { return KTR_7_SetLaserState(0x80); }, State, "128"},
        {"laser off", [] { return KTR_7_SetLaserState(0); }, State, "0"},
        {"intensity", [] { return KTR_7_SetLaserIntensity(12.3f); },
         [] { return Float(KTR_7_GetLaserIntensity); }, Exact(12.3f)},
        {"intensity clamped", [] { return KTR_7_SetLaserIntensity(250.0f); },
         [] { return Float(KTR_7_GetLaserIntensity); }, Exact(200.0f)},
        {"duty cycle", [] { return KTR_7_SetLaserDC(33.3f); },
         [] { return Float(KTR_7_GetLaserDC); }, Exact(33.3f)},
        {"duty cycle clamped", [] { return KTR_7_SetLaserDC(99.5f); },
         [] { return Float(KTR_7_GetLaserDC); }, Exact(99.0f)},
        {"phase", [] { return KTR_7_SetLaserPhase(-45); }, Phase, "-45"},
        {"phase clamped", [] { return KTR_7_SetLaserPhase(-181); }, Phase, "-180"},
        {"amplification", [] { return KTR_7_SetDetectorAmplification(7.5f); },
         [] { return Float(KTR_7_GetDetectorAmplification); }, Exact(7.5f)},
        {"amplification clamped", [] { return KTR_7_SetDetectorAmplification(0.0f); },
         [] { return Float(KTR_7_GetDetectorAmplification); }, Exact(1.0f)},
        {"decoder", [] { return KTR_7_SetDecoderConfiguration(1, 0, 0, 1); }, Decoder, "1001"},
        {"decoder other", [] { return KTR_7_SetDecoderConfiguration(0, 2, 0x80, 0); }, Decoder,
         "0110"},
    };
    for (const RoundTrip &trip : trips) {
        EXPECT_EQ(trip.set(), 0) << trip.name << ": " << Ostrel_IO_ErrorMessage();
        EXPECT_EQ(trip.get(), trip.expected) << trip.name;
    }
}

TEST_F(LibraryOnSimulator, ConfiguredMissingReadingsGiveMinusOneAndOnlyThose) {
    struct Reading {
        const char *name;
        int32_t(KTR_7_CALL *get)(float *);
    };
    const Reading readings[] = {
        {"5V", KTR_7_Get5V}, {"3V", KTR_7_Get3V}, {"temperature", KTR_7_GetTemp}};
    for (int missing = 0; missing < 3; ++missing) {
        ostrel::Config config;
        config.missing = {missing == 0, missing == 1, missing == 2};
        Start(config);
        for (int i = 0; i < 3; ++i) {
            float value = -77.0f;
            EXPECT_EQ(readings[i].get(&value), 0) << readings[i].name;
            if (i == missing) {
                EXPECT_EQ(value, -1.0f) << readings[i].name;
            } else {
                EXPECT_GT(value, 0.0f)
                    << readings[i].name << " with " << readings[missing].name << " missing";
            }
        }
    }
}

TEST_F(LibraryOnSimulator, ReadingsAndClocksArePlausible) {
    float volts5 = 0, volts3 = 0, kelvin = 0, hz = 0;
    double seconds = -1.0;
    EXPECT_EQ(KTR_7_Get5V(&volts5), 0);
    EXPECT_EQ(KTR_7_Get3V(&volts3), 0);
    EXPECT_EQ(KTR_7_GetTemp(&kelvin), 0);
    EXPECT_NEAR(volts5, 5.0f, 0.25f);
    EXPECT_NEAR(volts3, 3.3f, 0.165f);
    EXPECT_NEAR(kelvin, 298.15f, 10.0f);
    for (auto *clock :
         {KTR_7_GetClkCPU, KTR_7_GetClkPer, KTR_7_GetClkADC, KTR_7_GetClkDAC, KTR_7_GetClkMem}) {
        EXPECT_EQ(clock(&hz), 0);
        EXPECT_GT(hz, 0.0f);
    }
    EXPECT_EQ(KTR_7_GetUptime(&seconds), 0);
    EXPECT_GE(seconds, 0.0);
    EXPECT_LT(seconds, 60.0);
}

}  // namespace
