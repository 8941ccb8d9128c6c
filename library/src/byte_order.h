// Little-endian fields on byte buffers, built and taken apart with shifts so that the result is
// the same on any host.
#ifndef KTR7_BYTE_ORDER_H
#define KTR7_BYTE_ORDER_H

#include <cstdint>

namespace ktr7 {

constexpr uint16_t GetU16(const uint8_t *p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

constexpr uint32_t GetU32(const uint8_t *p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Two's complement reinterpretation, well defined in C++17 through the conversion rules for
// values that fit (the branch avoids the implementation-defined narrowing).
constexpr int16_t GetS16(const uint8_t *p) {
    const uint16_t u = GetU16(p);
    return u < 0x8000u ? static_cast<int16_t>(u)
                       : static_cast<int16_t>(static_cast<int32_t>(u) - 0x10000);
}

constexpr int32_t GetS32(const uint8_t *p) {
    const uint32_t u = GetU32(p);
    return u < 0x80000000u ? static_cast<int32_t>(u)
                           : static_cast<int32_t>(static_cast<int64_t>(u) - 0x100000000LL);
}

constexpr void PutU16(uint8_t *p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v & 0xFFu);
    p[1] = static_cast<uint8_t>(v >> 8);
}

constexpr void PutU32(uint8_t *p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v & 0xFFu);
    p[1] = static_cast<uint8_t>((v >> 8) & 0xFFu);
    p[2] = static_cast<uint8_t>((v >> 16) & 0xFFu);
    p[3] = static_cast<uint8_t>(v >> 24);
}

constexpr void PutS16(uint8_t *p, int16_t v) {
    PutU16(p, static_cast<uint16_t>(v));
}

}  // namespace ktr7

#endif  // KTR7_BYTE_ORDER_H
