#include "i2c_bus.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace ostrel {
namespace {

class LinuxI2c final : public I2cSystem {
  public:
    int Open(const std::string &path) override {
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        return fd < 0 ? -errno : fd;
    }
    int Functionality(int fd, unsigned long &funcs) override {
        return ::ioctl(fd, I2C_FUNCS, &funcs) < 0 ? -errno : 0;
    }
    int Transfer(int fd, i2c_rdwr_ioctl_data &transfer) override {
        const int result = ::ioctl(fd, I2C_RDWR, &transfer);
        return result < 0 ? -errno : result;
    }
    void Close(int fd) override { ::close(fd); }
};

// 0x2A, 0x00190000: at least digits hexadecimal digits.
std::string Hex(unsigned long value, int digits = 2) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*lX", digits, value);
    return text;
}

// The errno of a failed call; a result that is no negated errno counts as an I/O error.
int ErrorNumber(int result) {
    return result < 0 && result != INT_MIN ? -result : EIO;
}

std::string Because(int result) {
    return std::string(": ") + std::strerror(ErrorNumber(result));
}

std::string QmbSlot(uint8_t slot) {
    return "QMB slot " + std::to_string(slot);
}

Status NoAddress(const std::string &why) {
    return Failure(kConfigError, "No I2C address for the QMB slot", why);
}

bool InEepromRange(uint8_t address) {
    return (address >= 0x30 && address <= 0x37) || (address >= 0x50 && address <= 0x5F);
}

}  // namespace

I2cSystem &LinuxI2cSystem() {
    static LinuxI2c system;
    return system;
}

ProbeMethod ProbeMethodFor(uint8_t address, unsigned long funcs) {
    const bool quick_write = (funcs & I2C_FUNC_SMBUS_QUICK) != 0 && !InEepromRange(address);
    return quick_write ? ProbeMethod::kQuickWrite : ProbeMethod::kReadByte;
}

I2cBus::I2cBus(I2cConfig config, I2cSystem &system) : config_(std::move(config)), system_(system) {}

I2cBus::~I2cBus() {
    if (fd_ >= 0) system_.Close(fd_);
}

Status I2cBus::Open() {
    if (fd_ >= 0) return {};  // opened before; the bus stays as it is
    const std::string &device = config_.device;
    const int fd = system_.Open(device);
    if (fd < 0)
        return Failure(kBusError, "Cannot open the I2C bus", "open(" + device + ")" + Because(fd));
    unsigned long funcs = 0;
    if (const int result = system_.Functionality(fd, funcs); result < 0) {
        system_.Close(fd);
        return Failure(kBusError, "Cannot open the I2C bus",
                       "ioctl(I2C_FUNCS) on " + device + Because(result));
    }
    if ((funcs & I2C_FUNC_I2C) == 0) {
        system_.Close(fd);
        return Failure(kBusError, "The I2C adapter cannot do plain I2C transfers",
                       "ioctl(I2C_FUNCS) on " + device + ": functionality " + Hex(funcs, 8) +
                           " lacks I2C_FUNC_I2C");
    }
    fd_ = fd;
    funcs_ = funcs;
    return {};
}

Status I2cBus::Flush() {
    held_.reset();  // i2c-dev buffers nothing; only a held code is dropped
    return {};
}

Status I2cBus::Address(uint8_t slot, uint8_t &address) const {
    if (const auto entry = config_.addresses.find(slot); entry != config_.addresses.end()) {
        address = entry->second;
        return {};
    }
    if (!config_.base) {
        return NoAddress(QmbSlot(slot) +
                         " has no I2C address: OSTREL_I2C_ADDRESSES does not list it and "
                         "OSTREL_I2C_BASE is none");
    }
    const unsigned mapped = unsigned{*config_.base} + slot;
    if (mapped < kFirstI2cAddress || mapped > kLastI2cAddress) {
        return NoAddress(QmbSlot(slot) + " has no I2C address: " + Hex(*config_.base) + " + " +
                         std::to_string(slot) + " = " + Hex(mapped) + " is not a device address (" +
                         Hex(kFirstI2cAddress) + " to " + Hex(kLastI2cAddress) + ")");
    }
    address = static_cast<uint8_t>(mapped);
    return {};
}

Status I2cBus::Run(uint8_t address, i2c_msg *messages, uint32_t count) {
    const std::string step = "ioctl(I2C_RDWR) on " + config_.device + ", address " + Hex(address);
    if (fd_ < 0) return Failure(kNotOpen, "The port is not open", step + ": the bus is not open");
    i2c_rdwr_ioctl_data transfer{messages, count};
    const int result = system_.Transfer(fd_, transfer);
    if (result < 0) {
        // ENXIO: the address went unacknowledged; EREMOTEIO: the address or a data byte did
        // (drivers differ). Anything else is the bus or the adapter failing.
        const int error = ErrorNumber(result);
        const bool unacknowledged = error == ENXIO || error == EREMOTEIO;
        return Failure(unacknowledged ? kNoAcknowledge : kBusError,
                       unacknowledged ? "No acknowledge" : "I2C transfer failed",
                       step + Because(result));
    }
    if (static_cast<uint32_t>(result) != count) {
        return Failure(kBusError, "I2C transfer failed",
                       step + ": " + std::to_string(result) + " of " + std::to_string(count) +
                           " messages transferred");
    }
    return {};
}

Status I2cBus::Probe(uint8_t slot, bool &present) {
    held_.reset();
    uint8_t address = 0;
    if (Status status = Address(slot, address)) return status;
    uint8_t byte = 0;
    i2c_msg message{address, 0, 0, &byte};  // quick write: the address alone
    if (ProbeMethodFor(address, funcs_) == ProbeMethod::kReadByte) {
        message.flags = I2C_M_RD;
        message.len = 1;
    }
    Status status = Run(address, &message, 1);
    if (status.result == kNoAcknowledge) {
        present = false;
        return {};
    }
    if (status) return status;
    present = true;
    return {};
}

Status I2cBus::Send(uint8_t slot, const uint8_t *data, int32_t count, bool final) {
    held_.reset();  // a new send ends any read transaction under way
    uint8_t address = 0;
    if (Status status = Address(slot, address)) return status;
    if (!final) {
        held_ = Held{slot, address, data[0]};  // goes out with the receive, as one transfer
        return {};
    }
    std::vector<uint8_t> bytes(data, data + count);
    i2c_msg message{address, 0, static_cast<uint16_t>(count), bytes.data()};
    return Run(address, &message, 1);
}

Status I2cBus::Receive(uint8_t slot, uint8_t code, uint8_t *data, int32_t count, bool text) {
    const std::optional<Held> held = std::exchange(held_, std::nullopt);
    if (!held || held->slot != slot || held->code != code) {
        return Failure(
            kNoReadPending, "No read transaction under way",
            "no command code " + Hex(code) + " waits for its answer at " + QmbSlot(slot));
    }
    if (count < 1) {
        // A read message without data bytes can leave the device holding SDA low.
        return Failure(kWrongLength, "Wrong transfer length",
                       "an answer of 0 bytes cannot be read from an I2C device");
    }
    uint8_t command = held->code;
    std::array<i2c_msg, 2> messages = {{
        {held->address, 0, 1, &command},
        {held->address, I2C_M_RD, static_cast<uint16_t>(count), data},
    }};
    if (Status status = Run(held->address, messages.data(), static_cast<uint32_t>(messages.size())))
        return status;
    if (text) {
        // The device's text ends at its zero; whatever was clocked in after it is not text.
        uint8_t *end = std::find(data, data + count, uint8_t{0});
        std::fill(end, data + count, uint8_t{0});
    }
    return {};
}

}  // namespace ostrel
