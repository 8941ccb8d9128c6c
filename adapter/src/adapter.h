// The stand-in adapter: what every Ostrel_* call does in front of the bus behind it.
//
// The adapter checks the calls' arguments, keeps the open port, the selected slot and the read
// transaction under way, injects configured faults, keeps the last error texts and writes the
// trace. The bus behind it (the simulated backplane, or a real I2C bus) moves the bytes.
#ifndef OSTREL_ADAPTER_H
#define OSTREL_ADAPTER_H

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config.h"

namespace ostrel {

// Results of refused calls. Injected faults return the result their rule names.
enum Result : int32_t {
    kOk = 0,
    kNotOpen = -1,
    kBadArgument = -2,
    kNoAcknowledge = -3,
    kUnknownCode = -4,
    kWrongLength = -5,
    kNoReadPending = -6,
    kConfigError = -7,
    kBusError = -8,
};

struct Status {
    int32_t result = kOk;
    std::string message;
    std::string io_message;

    explicit operator bool() const { return result != kOk; }  // true: failed
};

Status Failure(int32_t result, std::string message, std::string io_message);

// What lies behind the adapter. Calls arrive with valid arguments, on an open port.
class Bus {
  public:
    virtual ~Bus() = default;
    virtual Status Open() = 0;
    virtual Status Flush() = 0;
    virtual Status Probe(uint8_t slot, bool &present) = 0;
    // final false: the command code of a read transaction (count 1), answered by Receive.
    virtual Status Send(uint8_t slot, const uint8_t *data, int32_t count, bool final) = 0;
    // The answer to code of the read transaction under way: count bytes, or for text the text's
    // characters padded with zeros to count.
    virtual Status Receive(uint8_t slot, uint8_t code, uint8_t *data, int32_t count, bool text) = 0;
};

// Largest transfer the adapter accepts in one call.
inline constexpr int32_t kLongestTransfer = 255;

class Adapter {
  public:
    Adapter(Config config, std::unique_ptr<Bus> bus);
    ~Adapter();
    Adapter(const Adapter &) = delete;
    Adapter &operator=(const Adapter &) = delete;

    uint16_t Version();
    int32_t Open();
    int32_t Flush();
    const char *ErrorMessage();
    const char *IoErrorMessage();
    int32_t GetSlot(uint8_t *slot, int32_t one, int32_t zero);
    int32_t SetSlot(uint8_t slot, int32_t one, int32_t zero);
    int32_t Check(int32_t one, uint8_t *present);
    int32_t Send(int32_t one, const uint8_t *data, int32_t count, int32_t final);
    int32_t Receive(int32_t one, uint8_t *data, int32_t count, int32_t final);
    int32_t ReceiveString(int32_t one, char *text, int32_t max_length, int32_t final);

  private:
    struct RuleState {
        FaultRule rule;
        uint32_t seen = 0;
    };

    std::optional<Status> InjectedFault(Call call, std::optional<uint8_t> code,
                                        const char *function);
    int32_t Finish(const Status &status);
    Status TransferAllowed(const char *function, int32_t one) const;
    int32_t ReceiveInto(const char *function, int32_t one, uint8_t *data, int32_t count,
                        int32_t final, bool text);
    // Writes the line that make() builds, when there is a trace; without one nothing is built.
    template <typename Make>
    void Trace(Make make) {
        if (trace_) WriteTrace(make());
    }
    void WriteTrace(const std::string &line);

    Config config_;
    std::unique_ptr<Bus> bus_;
    std::vector<RuleState> rules_;
    bool open_ = false;
    uint8_t slot_ = 0;
    std::optional<uint8_t> pending_code_;
    std::string message_ = "No error";
    std::string io_message_ = "No error";
    std::FILE *trace_ = nullptr;
};

}  // namespace ostrel

#endif  // OSTREL_ADAPTER_H
