// The KTR-7's command protocol over the adapter: command codes, answer and payload sizes,
// scales and markers. The device library and the simulated device both speak it from here.
//
// Every exchange starts with a one-byte command code. A read sends the code alone and takes a
// fixed-size answer or a text back; a write sends the code with its payload. Fields wider than
// one byte are little-endian (byte_order.h).
#ifndef KTR7_PROTOCOL_H
#define KTR7_PROTOCOL_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace ktr7 {

enum class Code : uint8_t {
    kIdentification = 0x00,
    kProductId = 0x01,
    kProductNumber = 0x02,
    kFirmwareVersion = 0x03,
    kFirmwareDate = 0x04,
    kUptime = 0x05,
    kSupply5V = 0x06,
    kSupply3V = 0x07,
    kTemperature = 0x08,
    kClockCpu = 0x09,
    kClockPeripheral = 0x0A,
    kClockAdc = 0x0B,
    kClockDac = 0x0C,
    kClockMemory = 0x0D,
    kLaserState = 0x0E,
    kLaserIntensity = 0x0F,
    kLaserDutyCycle = 0x10,
    kLaserPhase = 0x11,
    kDetectorAmplification = 0x12,
    kDecoderConfiguration = 0x13,
};

// How one code is answered and written. answer_size is the fixed answer of a read, or 0 for a
// text answer, whose maximum length is text_length; payload_size is the number of bytes that
// follow the code in a write, 0 for codes that are only read.
struct CommandLayout {
    Code code;
    uint8_t answer_size;
    uint8_t text_length;
    uint8_t payload_size;
};

inline constexpr std::array<CommandLayout, 20> kCommandTable = {{
    {Code::kIdentification, 2, 0, 0},
    {Code::kProductId, 0, 81, 0},
    {Code::kProductNumber, 4, 0, 0},
    {Code::kFirmwareVersion, 2, 0, 0},
    {Code::kFirmwareDate, 0, 16, 0},
    {Code::kUptime, 6, 0, 0},
    {Code::kSupply5V, 2, 0, 0},
    {Code::kSupply3V, 2, 0, 0},
    {Code::kTemperature, 2, 0, 0},
    {Code::kClockCpu, 4, 0, 0},
    {Code::kClockPeripheral, 4, 0, 0},
    {Code::kClockAdc, 4, 0, 0},
    {Code::kClockDac, 4, 0, 0},
    {Code::kClockMemory, 4, 0, 0},
    {Code::kLaserState, 1, 0, 1},
    {Code::kLaserIntensity, 2, 0, 2},
    {Code::kLaserDutyCycle, 2, 0, 2},
    {Code::kLaserPhase, 2, 0, 2},
    {Code::kDetectorAmplification, 2, 0, 2},
    {Code::kDecoderConfiguration, 1, 0, 1},
}};

// The table is indexed by code; a code outside it is not part of the protocol.
constexpr bool IsKnownCode(uint8_t code) {
    return code < kCommandTable.size();
}
constexpr const CommandLayout &Layout(Code code) {
    return kCommandTable[static_cast<uint8_t>(code)];
}
constexpr uint8_t AnswerSize(Code code) {
    return Layout(code).answer_size;
}
constexpr uint8_t TextLength(Code code) {
    return Layout(code).text_length;
}
constexpr uint8_t PayloadSize(Code code) {
    return Layout(code).payload_size;
}

constexpr bool TableIsInCodeOrder() {
    for (std::size_t i = 0; i < kCommandTable.size(); ++i) {
        if (static_cast<std::size_t>(kCommandTable[i].code) != i) return false;
    }
    return true;
}
static_assert(TableIsInCodeOrder(), "kCommandTable must be indexed by command code");

// The answer to kIdentification that identifies a KTR-7 (bytes 0x58, 0x96).
inline constexpr uint16_t kIdentificationWord = 0x9658;

// Markers for a missing reading, compared on the raw field.
inline constexpr uint16_t kSupplyMissing = 0x8000;
inline constexpr uint16_t kTemperatureMissing = 0xFFFF;

// Scales of the raw fields.
inline constexpr double kVoltsPerMillivolt = 0.001;
inline constexpr double kKelvinPerCount = 0.01;
inline constexpr double kUptimeCountsPerSecond = 1024.0;
inline constexpr double kTenth = 0.1;

// Legal ranges of the settings: a value outside is clamped into its range before it is written.
// The float bounds are single precision, like the caller's value they are compared with.
struct FloatRange {
    float lower;
    float upper;
};
inline constexpr FloatRange kLaserIntensityRange{1.0f, 200.0f};  // percent
inline constexpr FloatRange kLaserDutyCycleRange{1.0f, 99.0f};   // percent
inline constexpr FloatRange kAmplificationRange{1.0f, 100.0f};   // factor
inline constexpr int32_t kLaserPhaseMin = -180;                  // degrees
inline constexpr int32_t kLaserPhaseMax = 180;
inline constexpr double kTenthsPerUnit = 10.0;

// Decoder configuration byte: bits 2 to 5; all other bits are sent as 0 and ignored on reading.
inline constexpr uint8_t kDecoderXPlain = 0x04;
inline constexpr uint8_t kDecoderYPlain = 0x08;
inline constexpr uint8_t kDecoderXSwapped = 0x10;
inline constexpr uint8_t kDecoderYSwapped = 0x20;

}  // namespace ktr7

#endif  // KTR7_PROTOCOL_H
