// The simulated QMB backplane: slots 0 to 255, one of them (or none) holding a simulated KTR-7
// that speaks the device protocol byte by byte. With a bus clock configured, every transfer
// takes as long as it would on a real I2C bus.
#ifndef OSTREL_SIM_BACKPLANE_H
#define OSTREL_SIM_BACKPLANE_H

#include <optional>

#include "adapter.h"
#include "sim_device.h"

namespace ostrel {

// Bit-times of the I2C framing: 9 bits per byte with its acknowledge, one each for START,
// repeated START and STOP.
inline constexpr uint32_t kBitsPerByte = 9;
constexpr uint32_t ReadCommandBits() {
    return 1 + kBitsPerByte * 2;
}  // START, address, code
constexpr uint32_t ReadAnswerBits(uint32_t n) {
    return 1 + kBitsPerByte * (1 + n) + 1;
}
constexpr uint32_t WriteBits(uint32_t count) {
    return 1 + kBitsPerByte * (1 + count) + 1;
}
constexpr uint32_t ProbeBits() {
    return 1 + kBitsPerByte + 1;
}
static_assert(ReadCommandBits() + ReadAnswerBits(6) == 84, "a 6-byte read is 84 bit-times");

class SimulatedBackplane final : public Bus {
  public:
    explicit SimulatedBackplane(const Config &config);

    Status Open() override;
    Status Flush() override;
    Status Probe(uint8_t slot, bool &present) override;
    Status Send(uint8_t slot, const uint8_t *data, int32_t count, bool final) override;
    Status Receive(uint8_t slot, uint8_t code, uint8_t *data, int32_t count, bool text) override;

    const SimulatedDevice &device() const { return device_; }

  private:
    Status Acknowledge(uint8_t slot, uint32_t bits);
    void Spend(uint32_t bits) const;

    std::optional<uint8_t> device_slot_;
    uint32_t bus_khz_;
    SimulatedDevice device_;
};

}  // namespace ostrel

#endif  // OSTREL_SIM_BACKPLANE_H
