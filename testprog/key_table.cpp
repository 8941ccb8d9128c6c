#include "key_table.h"

#include <array>

#include "commands.h"

namespace ktr7test {
namespace {

// Tested in this order; no key code matches two entries. Esc and "?" are the loop's own.
constexpr std::array<KeyBinding, 22> kKeyTable = {{
    {'o', Match::kExact, GetSlot},
    {'O', Match::kExact, SetSlot},
    {'Q', Match::kEitherCase, ScanBus},
    {'D', Match::kEitherCase, GetFirmwareDate},
    {'V', Match::kEitherCase, GetFirmwareVersion},
    {'P', Match::kEitherCase, GetProductId},
    {'N', Match::kEitherCase, GetProductNumber},
    {'U', Match::kEitherCase, Uptime},
    {'K', Match::kEitherCase, GetHousekeeping},
    {'C', Match::kEitherCase, GetClockFrequencies},
    {'l', Match::kExact, GetLaserState},
    {'L', Match::kExact, SetLaserState},
    {'i', Match::kExact, GetLaserIntensity},
    {'I', Match::kExact, SetLaserIntensity},
    {'h', Match::kExact, GetLaserDutyCycle},
    {'H', Match::kExact, SetLaserDutyCycle},
    {'s', Match::kExact, GetLaserPhase},
    {'S', Match::kExact, SetLaserPhase},
    {'a', Match::kExact, GetAmplification},
    {'A', Match::kExact, SetAmplification},
    {'t', Match::kExact, GetDecoderConfiguration},
    {'T', Match::kExact, SetDecoderConfiguration},
}};

}  // namespace

KeyTable ProgramKeys() {
    return {kKeyTable.data(), kKeyTable.size()};
}

}  // namespace ktr7test
