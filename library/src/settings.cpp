// The six device settings: laser state, intensity, duty cycle and phase, detector amplification
// and decoder configuration. Each Set clamps and encodes the caller's value for one write; each
// Get decodes one read.
#include <algorithm>

#include "KTR-7.h"
#include "byte_order.h"
#include "transaction.h"

using ktr7::Code;

namespace {

// The value clamped into range and rounded to tenths, halves upward. The lower bound is tested
// first and as "not at least", so a NaN becomes the lower bound, as does minus infinity; plus
// infinity becomes the upper bound. Product and sum are formed in double from the float as
// received, which holds them exactly: 50.05f, whose float lies just below 50.05, gives 500.
// Adding 0.5 and truncating is exact rounding here: the value is positive and the sum exact.
uint16_t ClampedTenths(float value, ktr7::FloatRange range) {
    if (!(value >= range.lower)) value = range.lower;
    if (value > range.upper) value = range.upper;
    // NOLINTNEXTLINE(bugprone-incorrect-roundings)
    return static_cast<uint16_t>(static_cast<double>(value) * ktr7::kTenthsPerUnit + 0.5);
}

template <Code kCode>
int32_t WriteTenths(float value, ktr7::FloatRange range) {
    ktr7::Payload<kCode> payload{};
    ktr7::PutU16(payload.data(), ClampedTenths(value, range));
    return ktr7::Write<kCode>(payload);
}

// An unsigned field of tenths, scaled in double and rounded once to single precision; nothing is
// clamped on reading.
template <Code kCode>
int32_t ReadTenths(float *out) {
    return ktr7::ReadThenStore<kCode>([out](const ktr7::Answer<kCode> &answer) {
        *out = static_cast<float>(ktr7::GetU16(answer.data()) * ktr7::kTenth);
    });
}

constexpr uint8_t FlagBit(uint8_t flag, uint8_t bit) {
    return flag != 0 ? bit : 0;
}

constexpr uint8_t BitFlag(uint8_t byte, uint8_t bit) {
    return (byte & bit) != 0 ? 1 : 0;
}

}  // namespace

// The flag's byte goes out as it is: the device takes any non-zero byte as enabled.
int32_t KTR_7_CALL KTR_7_SetLaserState(uint8_t enabled) {
    return ktr7::Write<Code::kLaserState>({enabled});
}

int32_t KTR_7_CALL KTR_7_GetLaserState(uint8_t *enabled) {
    static_assert(ktr7::AnswerSize(Code::kLaserState) == sizeof *enabled, "answer fills the flag");
    return ktr7::ReadInto(Code::kLaserState, enabled);
}

int32_t KTR_7_CALL KTR_7_SetLaserIntensity(float percent) {
    return WriteTenths<Code::kLaserIntensity>(percent, ktr7::kLaserIntensityRange);
}

int32_t KTR_7_CALL KTR_7_GetLaserIntensity(float *percent) {
    return ReadTenths<Code::kLaserIntensity>(percent);
}

int32_t KTR_7_CALL KTR_7_SetLaserDC(float percent) {
    return WriteTenths<Code::kLaserDutyCycle>(percent, ktr7::kLaserDutyCycleRange);
}

int32_t KTR_7_CALL KTR_7_GetLaserDC(float *percent) {
    return ReadTenths<Code::kLaserDutyCycle>(percent);
}

// Clamped as a signed 32-bit value before it is narrowed to the device's signed 16-bit field.
int32_t KTR_7_CALL KTR_7_SetLaserPhase(int32_t degrees) {
    const int32_t clamped = std::clamp(degrees, ktr7::kLaserPhaseMin, ktr7::kLaserPhaseMax);
    ktr7::Payload<Code::kLaserPhase> payload{};
    ktr7::PutS16(payload.data(), static_cast<int16_t>(clamped));
    return ktr7::Write<Code::kLaserPhase>(payload);
}

int32_t KTR_7_CALL KTR_7_GetLaserPhase(int32_t *degrees) {
    return ktr7::ReadThenStore<Code::kLaserPhase>(
        [degrees](const ktr7::Answer<Code::kLaserPhase> &answer) {
            *degrees = ktr7::GetS16(answer.data());
        });
}

int32_t KTR_7_CALL KTR_7_SetDetectorAmplification(float factor) {
    return WriteTenths<Code::kDetectorAmplification>(factor, ktr7::kAmplificationRange);
}

int32_t KTR_7_CALL KTR_7_GetDetectorAmplification(float *factor) {
    return ReadTenths<Code::kDetectorAmplification>(factor);
}

// All four flags at once; the bits outside 2 to 5 go out as 0.
int32_t KTR_7_CALL KTR_7_SetDecoderConfiguration(uint8_t XPlain, uint8_t YPlain, uint8_t XSwapped,
                                                 uint8_t YSwapped) {
    const auto byte = static_cast<uint8_t>(
        FlagBit(XPlain, ktr7::kDecoderXPlain) | FlagBit(YPlain, ktr7::kDecoderYPlain) |
        FlagBit(XSwapped, ktr7::kDecoderXSwapped) | FlagBit(YSwapped, ktr7::kDecoderYSwapped));
    return ktr7::Write<Code::kDecoderConfiguration>({byte});
}

// Each flag becomes exactly 0 or 1; the bits outside 2 to 5 are ignored.
int32_t KTR_7_CALL KTR_7_GetDecoderConfiguration(uint8_t *XPlain, uint8_t *YPlain,
                                                 uint8_t *XSwapped, uint8_t *YSwapped) {
    return ktr7::ReadThenStore<Code::kDecoderConfiguration>(
        [=](const ktr7::Answer<Code::kDecoderConfiguration> &answer) {
            *XPlain = BitFlag(answer[0], ktr7::kDecoderXPlain);
            *YPlain = BitFlag(answer[0], ktr7::kDecoderYPlain);
            *XSwapped = BitFlag(answer[0], ktr7::kDecoderXSwapped);
            *YSwapped = BitFlag(answer[0], ktr7::kDecoderYSwapped);
        });
}
