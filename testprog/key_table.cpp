#include "key_table.h"

#include <array>

#include "commands.h"

namespace ktr7test {
namespace {

// Tested in this order; no key code matches two entries. Esc and "?" are the loop's own.
constexpr std::array<KeyBinding, 10> kKeyTable = {{
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
}};

}  // namespace

KeyTable ProgramKeys() {
    return {kKeyTable.data(), kKeyTable.size()};
}

}  // namespace ktr7test
