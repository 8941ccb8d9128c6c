// A real I2C bus behind the adapter, through Linux's i2c-dev interface (/dev/i2c-N): any I2C
// master the kernel drives, a parallel-port adapter under i2c-parport among them.
//
// A QMB slot is reached at the 7-bit address the configuration gives it (I2cConfig). A read
// transaction is one combined transfer, ioctl(I2C_RDWR) with two messages: the command code
// written, a repeated START, the answer read. The send of the code only holds its message; the
// receive that follows puts both on the bus. A write transaction is one message.
//
// Every system call goes through I2cSystem, so tests and fuzzers run the backend without hardware.
#ifndef OSTREL_I2C_BUS_H
#define OSTREL_I2C_BUS_H

#include <linux/i2c-dev.h>
#include <linux/i2c.h>

#include <optional>
#include <string>

#include "adapter.h"
#include "config.h"

namespace ostrel {

// The system calls of the backend. Each returns what the call returns on success and -errno on
// failure.
class I2cSystem {
  public:
    virtual ~I2cSystem() = default;
    // open(path, O_RDWR | O_CLOEXEC): a file descriptor.
    virtual int Open(const std::string &path) = 0;
    // ioctl(fd, I2C_FUNCS, &funcs): 0, with the adapter's functionality mask in funcs.
    virtual int Functionality(int fd, unsigned long &funcs) = 0;
    // ioctl(fd, I2C_RDWR, &transfer): the number of messages transferred.
    virtual int Transfer(int fd, i2c_rdwr_ioctl_data &transfer) = 0;
    virtual void Close(int fd) = 0;
};

// The real system calls.
I2cSystem &LinuxI2cSystem();

// How Probe asks whether an address answers, after i2cdetect's rules: a quick write (the address
// with the write bit, then STOP; no byte reaches the device) except where that is known to harm
// devices, at 0x30 to 0x37 and 0x50 to 0x5F (EEPROMs and their write protection), where one byte is
// read instead. An adapter that cannot send a message without data bytes (no I2C_FUNC_SMBUS_QUICK)
// gets the read everywhere.
enum class ProbeMethod { kQuickWrite, kReadByte };
ProbeMethod ProbeMethodFor(uint8_t address, unsigned long funcs);

class I2cBus final : public Bus {
  public:
    I2cBus(I2cConfig config, I2cSystem &system);
    ~I2cBus() override;
    I2cBus(const I2cBus &) = delete;
    I2cBus &operator=(const I2cBus &) = delete;

    Status Open() override;
    Status Flush() override;
    Status Probe(uint8_t slot, bool &present) override;
    Status Send(uint8_t slot, const uint8_t *data, int32_t count, bool final) override;
    Status Receive(uint8_t slot, uint8_t code, uint8_t *data, int32_t count, bool text) override;

  private:
    // The command code of a read transaction, waiting for its receive.
    struct Held {
        uint8_t slot;
        uint8_t address;
        uint8_t code;
    };

    Status Address(uint8_t slot, uint8_t &address) const;
    Status Run(uint8_t address, i2c_msg *messages, uint32_t count);

    I2cConfig config_;
    I2cSystem &system_;
    int fd_ = -1;
    unsigned long funcs_ = 0;
    std::optional<Held> held_;
};

}  // namespace ostrel

#endif  // OSTREL_I2C_BUS_H
