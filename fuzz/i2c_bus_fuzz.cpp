// Any sequence of adapter calls against the I2C backend, on a bus whose every system call
// answers as the input says (success, an error, a partial transfer, bytes read): never a crash,
// never a message that reaches outside its buffer, every result 0 or one of the adapter's own.
#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "adapter_calls.h"
#include "i2c_bus.h"
#include "instance.h"

namespace {

class FuzzedI2c final : public ostrel::I2cSystem {
  public:
    explicit FuzzedI2c(fuzzing::Input &in) : in_(in) {}

    int Open(const std::string &) override { return in_.Byte() < 230 ? 3 : -ENOENT; }
    int Functionality(int, unsigned long &funcs) override {
        funcs = in_.Byte() < 230 ? (I2C_FUNC_I2C | (in_.Byte() & 1 ? I2C_FUNC_SMBUS_QUICK : 0))
                                 : in_.Byte();
        return in_.Byte() < 240 ? 0 : -EIO;
    }
    int Transfer(int fd, i2c_rdwr_ioctl_data &transfer) override {
        if (fd != 3 || transfer.nmsgs < 1 || transfer.nmsgs > 2) std::abort();
        for (uint32_t i = 0; i < transfer.nmsgs; ++i) {
            const i2c_msg &message = transfer.msgs[i];
            if (message.addr < 0x08 || message.addr > 0x77) std::abort();
            if (message.len > 0 && message.buf == nullptr) std::abort();
            for (uint16_t k = 0; k < message.len; ++k) {
                // Every byte of the message is touched: outside the buffer it belongs to, the
                // address sanitizer sees it.
                if (message.flags & I2C_M_RD) {
                    message.buf[k] = in_.Byte();
                } else {
                    volatile uint8_t sent = message.buf[k];
                    (void)sent;
                }
            }
        }
        const uint8_t outcome = in_.Byte();
        if (outcome < 200) return static_cast<int>(transfer.nmsgs);
        if (outcome < 215) return -ENXIO;
        if (outcome < 230) return -EREMOTEIO;
        if (outcome < 245) return -ETIMEDOUT;
        return 0;  // a partial transfer
    }
    void Close(int) override {}

  private:
    fuzzing::Input &in_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzing::Input in(data, size);
    FuzzedI2c system(in);
    ostrel::Config config;
    config.bus = ostrel::BusKind::kI2c;
    config.i2c.device = "/dev/i2c-fuzz";
    const uint8_t setup = in.Byte();
    if (setup & 1) config.i2c.base.reset();
    if (setup & 2) config.i2c.addresses[in.Byte()] = static_cast<uint8_t>(0x08 + in.Byte() % 0x70);
    ostrel::ResetInstance(std::make_unique<ostrel::Adapter>(
        config, std::make_unique<ostrel::I2cBus>(config.i2c, system)));
    fuzzing::RunCalls(in);
    ostrel::ResetInstance(ostrel::Config{});  // the bus's system goes out of scope
    return 0;
}
