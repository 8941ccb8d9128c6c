#include "key_table.h"

#include <array>

namespace ktr7test {
namespace {

// Tested in this order; no key code matches two entries. Esc and "?" are the loop's own.
constexpr std::array<KeyBinding, 0> kKeyTable = {};

}  // namespace

KeyTable ProgramKeys() {
    return {kKeyTable.data(), kKeyTable.size()};
}

}  // namespace ktr7test
