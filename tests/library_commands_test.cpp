// The device library's settings, housekeeping, clock and uptime functions against the recording
// fake adapter, in three tables: every function's exact transfers and what a failure of either
// transfer leaves behind; the decodings of the answers; the encodings and clamps of the settings.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "KTR-7.h"
#include "support/fake_adapter.h"
#include "support/text.h"

namespace {

using fake::Receive;
using fake::Send;

using testsupport::Text;

// Renderings that tell every float and every double apart, so comparing them is exact.
std::string F(float value) {
    return Text("%.9g", static_cast<double>(value));
}
std::string D(double value) {
    return Text("%.17g", value);
}
std::string Flags(unsigned x_plain, unsigned y_plain, unsigned x_swapped, unsigned y_swapped) {
    return Text("XPlain=%u YPlain=%u XSwapped=%u YSwapped=%u", x_plain, y_plain, x_swapped,
                y_swapped);
}

// A call of one library function: its result code and its out-values afterwards, rendered.
struct Outcome {
    int32_t result;
    std::string values;
};
using Invocation = std::function<Outcome()>;

// The out-values are preset to markers that no decoding produces, so an untouched out-value
// shows as its marker.
constexpr float kFloatMarker = -77.0f;
constexpr double kDoubleMarker = -77.0;
constexpr int32_t kPhaseMarker = 0x55555555;
constexpr uint8_t kFlagMarker = 0x55;

const std::string kFloatUntouched = F(kFloatMarker);
const std::string kDoubleUntouched = D(kDoubleMarker);
const std::string kPhaseUntouched = Text("%d", kPhaseMarker);
const std::string kFlagUntouched = Text("0x%02X", kFlagMarker);
const std::string kFlagsUntouched = Flags(kFlagMarker, kFlagMarker, kFlagMarker, kFlagMarker);

Invocation ReadsFloat(int32_t(KTR_7_CALL *get)(float *)) {
    return [get] {
        float value = kFloatMarker;
        const int32_t result = get(&value);
        return Outcome{result, F(value)};
    };
}

const Invocation kUptime = [] {
    double seconds = kDoubleMarker;
    const int32_t result = KTR_7_GetUptime(&seconds);
    return Outcome{result, D(seconds)};
};
const Invocation kPhase = [] {
    int32_t degrees = kPhaseMarker;
    const int32_t result = KTR_7_GetLaserPhase(&degrees);
    return Outcome{result, Text("%d", degrees)};
};
const Invocation kLaserState = [] {
    uint8_t enabled = kFlagMarker;
    const int32_t result = KTR_7_GetLaserState(&enabled);
    return Outcome{result, Text("0x%02X", enabled)};
};
const Invocation kDecoder = [] {
    uint8_t x_plain = kFlagMarker, y_plain = kFlagMarker;
    uint8_t x_swapped = kFlagMarker, y_swapped = kFlagMarker;
    const int32_t result =
        KTR_7_GetDecoderConfiguration(&x_plain, &y_plain, &x_swapped, &y_swapped);
    return Outcome{result, Flags(x_plain, y_plain, x_swapped, y_swapped)};
};

Invocation Sets(std::function<int32_t()> set) {
    return [set = std::move(set)] { return Outcome{set(), ""}; };
}

// A write's bytes: the code and a 16-bit field, least significant byte first.
std::vector<uint8_t> Field16(uint8_t code, uint16_t field) {
    return {code, static_cast<uint8_t>(field & 0xFF), static_cast<uint8_t>(field >> 8)};
}
std::vector<uint8_t> PhaseField(int16_t degrees) {
    return Field16(0x11, static_cast<uint16_t>(degrees));
}

// Runs invoke against script; the calls made must be exactly the script's.
Outcome RunScripted(const Invocation &invoke, std::vector<fake::Call> script) {
    fake::Adapter::Instance().Script(std::move(script));
    Outcome outcome = invoke();
    EXPECT_EQ(fake::Adapter::Instance().Made(), fake::Adapter::Instance().Expected());
    return outcome;
}

// Failures are passed back as they come, whatever their sign or size.
constexpr int32_t kFailures[] = {-7, 1, std::numeric_limits<int32_t>::max(),
                                 std::numeric_limits<int32_t>::min()};

// ---- Transactions: every function once, with what either transfer's failure leaves. ----

struct TransactionCase {
    const char *name;
    Invocation invoke;
    std::vector<fake::Call> exchange;  // the successful exchange: one send, for a read a receive
    std::string values;                // the out-values after it
    std::string untouched;             // the out-values as preset, after a failed send
    std::string after_failed_receive;  // a receive that failed after storing the answer
};

void PrintTo(const TransactionCase &c, std::ostream *os) {
    *os << c.name;
}

class Transaction : public testing::TestWithParam<TransactionCase> {};

TEST_P(Transaction, MakesExactlyItsTransfersAndDeliversTheValue) {
    const TransactionCase &c = GetParam();
    const Outcome outcome = RunScripted(c.invoke, c.exchange);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.values, c.values);
}

// A failed send ends the function before any receive; a failed receive has stored the answer,
// which only a function that hands the caller's storage to the adapter may leave there.
TEST_P(Transaction, FailureOfEitherTransferIsPassedBackUnchanged) {
    const TransactionCase &c = GetParam();
    for (const int32_t failure : kFailures) {
        SCOPED_TRACE(testing::Message() << "failure " << failure);
        const Outcome send_failed = RunScripted(c.invoke, {c.exchange[0].Fails(failure)});
        EXPECT_EQ(send_failed.result, failure);
        EXPECT_EQ(send_failed.values, c.untouched);
        if (c.exchange.size() < 2) continue;  // a write has no receive
        const Outcome receive_failed =
            RunScripted(c.invoke, {c.exchange[0], c.exchange[1].FailsAfterStoring(failure)});
        EXPECT_EQ(receive_failed.result, failure);
        EXPECT_EQ(receive_failed.values, c.after_failed_receive);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryFunction, Transaction,
    testing::Values(
        TransactionCase{"SetLaserState",
                        Sets([] { return KTR_7_SetLaserState(1); }),
                        {Send({0x0E, 0x01}, 1)},
                        "",
                        "",
                        ""},
        // The caller's flag is the receive buffer: a failed receive leaves what the adapter put.
        TransactionCase{"GetLaserState",
                        kLaserState,
                        {Send({0x0E}, 0), Receive({0x01})},
                        "0x01",
                        kFlagUntouched,
                        "0x01"},
        TransactionCase{"SetLaserIntensity",
                        Sets([] { return KTR_7_SetLaserIntensity(50.0f); }),
                        {Send({0x0F, 0xF4, 0x01}, 1)},
                        "",
                        "",
                        ""},
        TransactionCase{"GetLaserIntensity",
                        ReadsFloat(KTR_7_GetLaserIntensity),
                        {Send({0x0F}, 0), Receive({0xF4, 0x01})},
                        F(50.0f),
                        kFloatUntouched,
                        kFloatUntouched},
        TransactionCase{"SetLaserDC",
                        Sets([] { return KTR_7_SetLaserDC(25.0f); }),
                        {Send({0x10, 0xFA, 0x00}, 1)},
                        "",
                        "",
                        ""},
        TransactionCase{"GetLaserDC",
                        ReadsFloat(KTR_7_GetLaserDC),
                        {Send({0x10}, 0), Receive({0xFA, 0x00})},
                        F(25.0f),
                        kFloatUntouched,
                        kFloatUntouched},
        TransactionCase{"SetLaserPhase",
                        Sets([] { return KTR_7_SetLaserPhase(-90); }),
                        {Send({0x11, 0xA6, 0xFF}, 1)},
                        "",
                        "",
                        ""},
        TransactionCase{"GetLaserPhase",
                        kPhase,
                        {Send({0x11}, 0), Receive({0xA6, 0xFF})},
                        "-90",
                        kPhaseUntouched,
                        kPhaseUntouched},
        TransactionCase{"SetDetectorAmplification",
                        Sets([] { return KTR_7_SetDetectorAmplification(2.5f); }),
                        {Send({0x12, 0x19, 0x00}, 1)},
                        "",
                        "",
                        ""},
        TransactionCase{"GetDetectorAmplification",
                        ReadsFloat(KTR_7_GetDetectorAmplification),
                        {Send({0x12}, 0), Receive({0x19, 0x00})},
                        F(2.5f),
                        kFloatUntouched,
                        kFloatUntouched},
        TransactionCase{"SetDecoderConfiguration",
                        Sets([] { return KTR_7_SetDecoderConfiguration(1, 0, 0, 1); }),
                        {Send({0x13, 0x24}, 1)},
                        "",
                        "",
                        ""},
        TransactionCase{"GetDecoderConfiguration",
                        kDecoder,
                        {Send({0x13}, 0), Receive({0x24})},
                        Flags(1, 0, 0, 1),
                        kFlagsUntouched,
                        kFlagsUntouched},
        TransactionCase{"Get5V",
                        ReadsFloat(KTR_7_Get5V),
                        {Send({0x06}, 0), Receive({0x94, 0x13})},
                        F(5.012f),
                        kFloatUntouched,
                        kFloatUntouched},
        TransactionCase{"Get3V",
                        ReadsFloat(KTR_7_Get3V),
                        {Send({0x07}, 0), Receive({0xE5, 0x0C})},
                        F(3.301f),
                        kFloatUntouched,
                        kFloatUntouched},
        TransactionCase{"GetTemp",
                        ReadsFloat(KTR_7_GetTemp),
                        {Send({0x08}, 0), Receive({0x77, 0x74})},
                        F(298.15f),
                        kFloatUntouched,
                        kFloatUntouched},
        TransactionCase{"GetClkCPU",
                        ReadsFloat(KTR_7_GetClkCPU),
                        {Send({0x09}, 0), Receive({0x00, 0x6C, 0xDC, 0x02})},
                        F(48e6f),
                        kFloatUntouched,
                        kFloatUntouched},
        TransactionCase{"GetClkPer",
                        ReadsFloat(KTR_7_GetClkPer),
                        {Send({0x0A}, 0), Receive({0x00, 0x36, 0x6E, 0x01})},
                        F(24e6f),
                        kFloatUntouched,
                        kFloatUntouched},
        TransactionCase{"GetClkADC",
                        ReadsFloat(KTR_7_GetClkADC),
                        {Send({0x0B}, 0), Receive({0x00, 0x1B, 0xB7, 0x00})},
                        F(12e6f),
                        kFloatUntouched,
                        kFloatUntouched},
        TransactionCase{"GetClkDAC",
                        ReadsFloat(KTR_7_GetClkDAC),
                        {Send({0x0C}, 0), Receive({0x40, 0x42, 0x0F, 0x00})},
                        F(1e6f),
                        kFloatUntouched,
                        kFloatUntouched},
        TransactionCase{"GetClkMem",
                        ReadsFloat(KTR_7_GetClkMem),
                        {Send({0x0D}, 0), Receive({0x00, 0xD8, 0xB8, 0x05})},
                        F(96e6f),
                        kFloatUntouched,
                        kFloatUntouched},
        TransactionCase{"GetUptime",
                        kUptime,
                        {Send({0x05}, 0), Receive({0x3C, 0x00, 0x00, 0x00, 0x00, 0x02})},
                        D(60.5),
                        kDoubleUntouched,
                        kDoubleUntouched}),
    [](const testing::TestParamInfo<TransactionCase> &info) { return info.param.name; });

// ---- Decodings: an answer's bytes and the out-values they give. ----

struct DecodingCase {
    const char *name;
    Invocation invoke;
    uint8_t code;
    std::vector<uint8_t> answer;
    std::string values;
};

void PrintTo(const DecodingCase &c, std::ostream *os) {
    *os << c.name;
}

class Decoding : public testing::TestWithParam<DecodingCase> {};

TEST_P(Decoding, GivesTheOutValues) {
    const DecodingCase &c = GetParam();
    const Outcome outcome = RunScripted(c.invoke, {Send({c.code}, 0), Receive(c.answer)});
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.values, c.values);
}

const Invocation k5V = ReadsFloat(KTR_7_Get5V);
const Invocation k3V = ReadsFloat(KTR_7_Get3V);
const Invocation kTemp = ReadsFloat(KTR_7_GetTemp);
const Invocation kClkCpu = ReadsFloat(KTR_7_GetClkCPU);
const Invocation kIntensity = ReadsFloat(KTR_7_GetLaserIntensity);

// Scaled values are the nearest float to the exact quotient (raw / 1000 and so on), which the
// compiler's float literals give. A scale applied in float precision gives a neighbouring float
// for many small raw values; the "InDouble" cases are such values.
INSTANTIATE_TEST_SUITE_P(
    Readings, Decoding,
    testing::Values(
        DecodingCase{"5VHalfVolt", k5V, 0x06, {0xF4, 0x01}, F(0.5f)},
        DecodingCase{"5VScaledInDouble", k5V, 0x06, {0x09, 0x00}, F(0.009f)},
        DecodingCase{"5VMissing", k5V, 0x06, {0x00, 0x80}, F(-1.0f)},
        DecodingCase{"3VZero", k3V, 0x07, {0x00, 0x00}, F(0.0f)},
        DecodingCase{"3VMissing", k3V, 0x07, {0x00, 0x80}, F(-1.0f)},
        DecodingCase{"3VJustAboveMarker", k3V, 0x07, {0x01, 0x80}, F(32.769f)},
        DecodingCase{"3VJustBelowMarker", k3V, 0x07, {0xFF, 0x7F}, F(32.767f)},
        DecodingCase{"3VTemperatureMarkerIsAVoltage", k3V, 0x07, {0xFF, 0xFF}, F(65.535f)},
        DecodingCase{"TempRoom", kTemp, 0x08, {0x77, 0x74}, F(298.15f)},
        DecodingCase{"TempScaledInDouble", kTemp, 0x08, {0x0A, 0x00}, F(0.1f)},
        DecodingCase{"TempSupplyMarkerIsATemperature", kTemp, 0x08, {0x00, 0x80}, F(327.68f)},
        DecodingCase{"TempMissing", kTemp, 0x08, {0xFF, 0xFF}, F(-1.0f)},
        DecodingCase{"TempHighest", kTemp, 0x08, {0xFE, 0xFF}, F(655.34f)},
        // Clocks: signed, and above 2^24 Hz the nearest float with ties to even.
        DecodingCase{"ClkTwelveMegahertz", kClkCpu, 0x09, {0x00, 0x1B, 0xB7, 0x00}, F(1.2e7f)},
        DecodingCase{"ClkAllOnesIsMinusOne", kClkCpu, 0x09, {0xFF, 0xFF, 0xFF, 0xFF}, F(-1.0f)},
        DecodingCase{"ClkMostNegative", kClkCpu, 0x09, {0x00, 0x00, 0x00, 0x80}, F(-2147483648.0f)},
        DecodingCase{"ClkLargestExact", kClkCpu, 0x09, {0x00, 0x00, 0x00, 0x01}, F(16777216.0f)},
        DecodingCase{
            "ClkTieRoundsDownToEven", kClkCpu, 0x09, {0x01, 0x00, 0x00, 0x01}, F(16777216.0f)},
        DecodingCase{
            "ClkTieRoundsUpToEven", kClkCpu, 0x09, {0x03, 0x00, 0x00, 0x01}, F(16777220.0f)},
        DecodingCase{"ClkNegativeTieRoundsToEven",
                     kClkCpu,
                     0x09,
                     {0xFD, 0xFF, 0xFF, 0xFE},
                     F(-16777220.0f)},  // -16777219
        DecodingCase{"ClkNearestBelowLargest",
                     kClkCpu,
                     0x09,
                     {0xBF, 0xFF, 0xFF, 0x7F},
                     F(2147483520.0f)},  // 2^31 - 65: 63 above 2^31 - 128
        DecodingCase{"ClkTieBelowLargestToEven",
                     kClkCpu,
                     0x09,
                     {0xC0, 0xFF, 0xFF, 0x7F},
                     F(2147483648.0f)},  // 2^31 - 64
        DecodingCase{
            "ClkLargestRoundsUp", kClkCpu, 0x09, {0xFF, 0xFF, 0xFF, 0x7F}, F(2147483648.0f)},
        // Uptime: exact whole seconds plus 1/1024 s, the count not reduced.
        DecodingCase{
            "UptimeHalfSecond", kUptime, 0x05, {0x3C, 0x00, 0x00, 0x00, 0x00, 0x02}, D(60.5)},
        DecodingCase{"UptimeCountOf1024IsASecond", kUptime, 0x05, {0, 0, 0, 0, 0x00, 0x04}, D(1.0)},
        DecodingCase{"UptimeEveryBytePlaced",
                     kUptime,
                     0x05,
                     {0x01, 0x02, 0x03, 0x04, 0x05, 0x06},
                     D(67305986.5048828125)},  // 0x04030201 + 0x0605 / 1024
        DecodingCase{"UptimeSecondsUnsigned",
                     kUptime,
                     0x05,
                     {0x00, 0x00, 0x00, 0x80, 0x01, 0x00},
                     D(2147483648.0009765625)},
        DecodingCase{"UptimeLargest",
                     kUptime,
                     0x05,
                     {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                     D(4294967358.9990234375)},  // 2^32 - 1 + 65535 / 1024
        // Settings read back: tenths unclamped, the phase sign-extended, the flags 0 or 1.
        DecodingCase{"IntensityFifty", kIntensity, 0x0F, {0xF4, 0x01}, F(50.0f)},
        DecodingCase{"IntensityScaledInDouble", kIntensity, 0x0F, {0x0D, 0x00}, F(1.3f)},
        DecodingCase{"IntensityNotClamped", kIntensity, 0x0F, {0xFF, 0xFF}, F(6553.5f)},
        DecodingCase{"DutyCycleTenths", ReadsFloat(KTR_7_GetLaserDC), 0x10, {0x7B, 0x00}, F(12.3f)},
        DecodingCase{"AmplificationBelowRangeNotClamped",
                     ReadsFloat(KTR_7_GetDetectorAmplification),
                     0x12,
                     {0x00, 0x00},
                     F(0.0f)},
        DecodingCase{"PhaseMinusOne", kPhase, 0x11, {0xFF, 0xFF}, "-1"},
        DecodingCase{"PhaseMostNegative", kPhase, 0x11, {0x00, 0x80}, "-32768"},
        DecodingCase{"PhaseLargest", kPhase, 0x11, {0xFF, 0x7F}, "32767"},
        DecodingCase{"PhaseLowerBound", kPhase, 0x11, {0x4C, 0xFF}, "-180"},
        DecodingCase{"LaserStateByteUnchanged", kLaserState, 0x0E, {0x80}, "0x80"},
        DecodingCase{"LaserStateOff", kLaserState, 0x0E, {0x00}, "0x00"},
        DecodingCase{"DecoderOtherBitsIgnored", kDecoder, 0x13, {0xC3}, Flags(0, 0, 0, 0)},
        DecodingCase{"DecoderAllFour", kDecoder, 0x13, {0x3C}, Flags(1, 1, 1, 1)},
        DecodingCase{"DecoderAllBits", kDecoder, 0x13, {0xFF}, Flags(1, 1, 1, 1)},
        DecodingCase{"DecoderBit2IsXPlain", kDecoder, 0x13, {0x04}, Flags(1, 0, 0, 0)},
        DecodingCase{"DecoderBit3IsYPlain", kDecoder, 0x13, {0x08}, Flags(0, 1, 0, 0)},
        DecodingCase{"DecoderBit4IsXSwapped", kDecoder, 0x13, {0x10}, Flags(0, 0, 1, 0)},
        DecodingCase{"DecoderBit5IsYSwapped", kDecoder, 0x13, {0x20}, Flags(0, 0, 0, 1)}),
    [](const testing::TestParamInfo<DecodingCase> &info) { return info.param.name; });

// ---- Encodings: a setting's value and the exact bytes written. ----

struct EncodingCase {
    const char *name;
    std::function<int32_t()> set;
    std::vector<uint8_t> sent;
};

void PrintTo(const EncodingCase &c, std::ostream *os) {
    *os << c.name;
}

class Encoding : public testing::TestWithParam<EncodingCase> {};

TEST_P(Encoding, WritesTheClampedValue) {
    const EncodingCase &c = GetParam();
    EXPECT_EQ(RunScripted(Sets(c.set), {Send(c.sent, 1)}).result, 0);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

float Below(float value) {
    return std::nextafter(value, -kInf);
}
float Above(float value) {
    return std::nextafter(value, kInf);
}

std::function<int32_t()> Intensity(float value) {
    return [value] { return KTR_7_SetLaserIntensity(value); };
}
std::function<int32_t()> DutyCycle(float value) {
    return [value] { return KTR_7_SetLaserDC(value); };
}
std::function<int32_t()> Amplification(float value) {
    return [value] { return KTR_7_SetDetectorAmplification(value); };
}
std::function<int32_t()> Phase(int32_t value) {
    return [value] { return KTR_7_SetLaserPhase(value); };
}
std::function<int32_t()> LaserState(uint8_t value) {
    return [value] { return KTR_7_SetLaserState(value); };
}
std::function<int32_t()> Decoder(uint8_t x_plain, uint8_t y_plain, uint8_t x_swapped,
                                 uint8_t y_swapped) {
    return [=] { return KTR_7_SetDecoderConfiguration(x_plain, y_plain, x_swapped, y_swapped); };
}

// Several values clamped here would encode to something else without the clamp (0.94 to 9, 200.05
// to 2001), and several rounded here would come out one higher if multiplied in float precision
// (50.05f to 501).
INSTANTIATE_TEST_SUITE_P(
    Settings, Encoding,
    testing::Values(
        EncodingCase{"IntensityFifty", Intensity(50.0f), Field16(0x0F, 500)},
        EncodingCase{"IntensityLowerBound", Intensity(1.0f), Field16(0x0F, 10)},
        EncodingCase{"IntensityJustAboveLowerBound", Intensity(Above(1.0f)), Field16(0x0F, 10)},
        EncodingCase{"IntensityJustBelowLowerBound", Intensity(Below(1.0f)), Field16(0x0F, 10)},
        EncodingCase{"IntensityBelowLowerBound", Intensity(0.94f), Field16(0x0F, 10)},
        EncodingCase{"IntensityHalf", Intensity(0.5f), Field16(0x0F, 10)},
        EncodingCase{"IntensityZero", Intensity(0.0f), Field16(0x0F, 10)},
        EncodingCase{"IntensityMinusZero", Intensity(-0.0f), Field16(0x0F, 10)},
        EncodingCase{"IntensitySmallestSubnormal",
                     Intensity(std::numeric_limits<float>::denorm_min()), Field16(0x0F, 10)},
        EncodingCase{"IntensityUpperBound", Intensity(200.0f), Field16(0x0F, 2000)},
        EncodingCase{"IntensityJustBelowUpperBound", Intensity(Below(200.0f)), Field16(0x0F, 2000)},
        EncodingCase{"IntensityJustAboveUpperBound", Intensity(Above(200.0f)), Field16(0x0F, 2000)},
        EncodingCase{"IntensityAboveUpperBound", Intensity(200.05f), Field16(0x0F, 2000)},
        EncodingCase{"Intensity250", Intensity(250.0f), Field16(0x0F, 2000)},
        EncodingCase{"IntensityNaN", Intensity(kNaN), Field16(0x0F, 10)},
        EncodingCase{"IntensityNegativeNaN", Intensity(std::copysign(kNaN, -1.0f)),
                     Field16(0x0F, 10)},
        EncodingCase{"IntensityPlusInfinity", Intensity(kInf), Field16(0x0F, 2000)},
        EncodingCase{"IntensityMinusInfinity", Intensity(-kInf), Field16(0x0F, 10)},
        EncodingCase{"IntensityLargestFloat", Intensity(FLT_MAX), Field16(0x0F, 2000)},
        EncodingCase{"IntensityMostNegativeFloat", Intensity(-FLT_MAX), Field16(0x0F, 10)},
        // 12.25 is a float: it rounds up, its lower neighbour down. 12.24f lies below 12.24.
        EncodingCase{"IntensityExactHalfRoundsUp", Intensity(12.25f), Field16(0x0F, 123)},
        EncodingCase{"IntensityJustBelowExactHalf", Intensity(Below(12.25f)), Field16(0x0F, 122)},
        EncodingCase{"IntensityTwelvePointTwoFour", Intensity(12.24f), Field16(0x0F, 122)},
        // 50.05f lies just below 50.05, its upper neighbour just above.
        EncodingCase{"IntensityFloatBelowTenthBoundary", Intensity(50.05f), Field16(0x0F, 500)},
        EncodingCase{"IntensityFloatAboveTenthBoundary", Intensity(Above(50.05f)),
                     Field16(0x0F, 501)},
        EncodingCase{"DutyCycleUpperBound", DutyCycle(99.0f), Field16(0x10, 990)},
        EncodingCase{"DutyCycleJustBelowUpperBound", DutyCycle(Below(99.0f)), Field16(0x10, 990)},
        EncodingCase{"DutyCycleAboveUpperBound", DutyCycle(99.5f), Field16(0x10, 990)},
        EncodingCase{"DutyCycleLowerBound", DutyCycle(1.0f), Field16(0x10, 10)},
        EncodingCase{"DutyCycleNaN", DutyCycle(kNaN), Field16(0x10, 10)},
        EncodingCase{"DutyCyclePlusInfinity", DutyCycle(kInf), Field16(0x10, 990)},
        EncodingCase{"DutyCycleMinusInfinity", DutyCycle(-kInf), Field16(0x10, 10)},
        EncodingCase{"DutyCycleFloatBelowTenthBoundary", DutyCycle(98.95f), Field16(0x10, 989)},
        EncodingCase{"DutyCycleFloatAboveTenthBoundary", DutyCycle(Above(98.95f)),
                     Field16(0x10, 990)},
        EncodingCase{"AmplificationInside", Amplification(99.5f), Field16(0x12, 995)},
        EncodingCase{"AmplificationUpperBound", Amplification(100.0f), Field16(0x12, 1000)},
        EncodingCase{"AmplificationJustAboveUpperBound", Amplification(100.04f),
                     Field16(0x12, 1000)},
        EncodingCase{"AmplificationAboveUpperBound", Amplification(100.05f), Field16(0x12, 1000)},
        EncodingCase{"AmplificationLowerBound", Amplification(1.0f), Field16(0x12, 10)},
        EncodingCase{"AmplificationNaN", Amplification(kNaN), Field16(0x12, 10)},
        EncodingCase{"AmplificationPlusInfinity", Amplification(kInf), Field16(0x12, 1000)},
        EncodingCase{"AmplificationMinusInfinity", Amplification(-kInf), Field16(0x12, 10)},
        EncodingCase{"AmplificationFloatBelowTenthBoundary", Amplification(1.05f),
                     Field16(0x12, 10)},
        EncodingCase{"AmplificationFloatAboveTenthBoundary", Amplification(Above(1.05f)),
                     Field16(0x12, 11)},
        // The phase is clamped as a 32-bit value before it is narrowed to 16 bits: 65546 would
        // narrow to 10, 32768 to -32768.
        EncodingCase{"PhaseBelowLowerBound", Phase(-181), PhaseField(-180)},
        EncodingCase{"PhaseLowerBound", Phase(-180), PhaseField(-180)},
        EncodingCase{"PhaseJustAboveLowerBound", Phase(-179), PhaseField(-179)},
        EncodingCase{"PhaseMinusOne", Phase(-1), PhaseField(-1)},
        EncodingCase{"PhaseZero", Phase(0), PhaseField(0)},
        EncodingCase{"PhaseJustBelowUpperBound", Phase(179), PhaseField(179)},
        EncodingCase{"PhaseUpperBound", Phase(180), PhaseField(180)},
        EncodingCase{"PhaseAboveUpperBound", Phase(181), PhaseField(180)},
        EncodingCase{"PhaseThousand", Phase(1000), PhaseField(180)},
        EncodingCase{"Phase32768", Phase(32768), PhaseField(180)},
        EncodingCase{"PhaseMinus32769", Phase(-32769), PhaseField(-180)},
        EncodingCase{"Phase65546", Phase(65546), PhaseField(180)},
        EncodingCase{"PhaseMinus65546", Phase(-65546), PhaseField(-180)},
        EncodingCase{"PhaseInt32Max", Phase(std::numeric_limits<int32_t>::max()), PhaseField(180)},
        EncodingCase{"PhaseInt32Min", Phase(std::numeric_limits<int32_t>::min()), PhaseField(-180)},
        EncodingCase{"LaserStateOff", LaserState(0), {0x0E, 0x00}},
        EncodingCase{"LaserStateOn", LaserState(1), {0x0E, 0x01}},
        EncodingCase{"LaserStateByteUnchanged", LaserState(0x80), {0x0E, 0x80}},
        EncodingCase{"LaserStateAllOnes", LaserState(0xFF), {0x0E, 0xFF}},
        EncodingCase{"DecoderNone", Decoder(0, 0, 0, 0), {0x13, 0x00}},
        EncodingCase{"DecoderXPlainIsBit2", Decoder(1, 0, 0, 0), {0x13, 0x04}},
        EncodingCase{"DecoderYPlainIsBit3", Decoder(0, 1, 0, 0), {0x13, 0x08}},
        EncodingCase{"DecoderXSwappedIsBit4", Decoder(0, 0, 1, 0), {0x13, 0x10}},
        EncodingCase{"DecoderYSwappedIsBit5", Decoder(0, 0, 0, 1), {0x13, 0x20}},
        EncodingCase{"DecoderXPlainYSwapped", Decoder(1, 0, 0, 1), {0x13, 0x24}},
        EncodingCase{"DecoderAnyNonZeroFlag", Decoder(0x80, 0x02, 0x40, 0x01), {0x13, 0x3C}},
        EncodingCase{"DecoderAllOnesFlags", Decoder(0xFF, 0xFF, 0xFF, 0xFF), {0x13, 0x3C}}),
    [](const testing::TestParamInfo<EncodingCase> &info) { return info.param.name; });

// The tenths a float in [1, 200] rounds to, halves upward, in exact integer arithmetic: the float
// is m * 2^-s with an integer m below 2^24, so 10 * v + 1/2 = (20 * m + 2^s) / 2^(s + 1).
uint16_t ExactTenths(float value) {
    int exponent = 0;
    const float fraction = std::frexp(value, &exponent);  // value = fraction * 2^exponent
    const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 24));
    const int shift = 24 - exponent;
    return static_cast<uint16_t>((20 * mantissa + (uint64_t{1} << shift)) >> (shift + 1));
}

struct FloatSetting {
    const char *name;
    int32_t(KTR_7_CALL *set)(float);
    uint8_t code;
    uint16_t lowest;   // tenths of the lower bound
    uint16_t highest;  // tenths of the upper bound
};

// Every tenth boundary k/10 + 1/20 inside a setting's range: the floats nearest to it and two
// neighbours on each side, whose float forms lie just below or just above the boundary.
TEST(TenthBoundaries, RoundAsTheExactFloat) {
    const FloatSetting settings[] = {
        {"intensity", KTR_7_SetLaserIntensity, 0x0F, 10, 2000},
        {"duty cycle", KTR_7_SetLaserDC, 0x10, 10, 990},
        {"amplification", KTR_7_SetDetectorAmplification, 0x12, 10, 1000},
    };
    for (const FloatSetting &setting : settings) {
        int mismatches = 0;
        for (int tenths = setting.lowest; tenths < setting.highest; ++tenths) {
            const float nearest = static_cast<float>((2 * tenths + 1) / 20.0);
            const float values[] = {Below(Below(nearest)), Below(nearest), nearest, Above(nearest),
                                    Above(Above(nearest))};
            for (const float value : values) {
                fake::Adapter::Instance().Script(
                    {Send(Field16(setting.code, ExactTenths(value)), 1)});
                const bool sent =
                    setting.set(value) == 0 &&
                    fake::Adapter::Instance().Made() == fake::Adapter::Instance().Expected();
                if (!sent && ++mismatches <= 5) {
                    ADD_FAILURE() << setting.name << " " << F(value) << ": expected "
                                  << fake::Adapter::Instance().Expected() << "made "
                                  << fake::Adapter::Instance().Made();
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << setting.name;
    }
}

}  // namespace
