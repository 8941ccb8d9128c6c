// The stand-in adapter's configuration, read from its environment variables:
//
//   OSTREL_BUS           what lies behind the adapter: sim (the simulated backplane) or i2c (a
//                        real I2C bus through Linux i2c-dev); default sim
//   OSTREL_SIM_SLOT      QMB slot (0 to 255) that holds the simulated KTR-7, or "none"; default 0
//   OSTREL_SIM_MISSING   readings the device reports as missing: any of 5V, 3V, TEMP,
//                        comma-separated
//   OSTREL_SIM_UPTIME    seconds the device has been powered on when the library loads; default 0
//   OSTREL_VERSION       version word the adapter reports (0x0102 or 258); default 0x0102
//   OSTREL_BUS_KHZ       emulated I2C bus clock in kHz (transfers take their bus time); 0 = off
//   OSTREL_TRACE         file that receives one line per adapter call
//   OSTREL_FAULT         injected failures, comma-separated rules CALL[:CODE][@N[+]][=RESULT]
//                        CALL: open, flush, getslot, setslot, check, send, receive
//                        CODE: command code of the transfer (send and receive only)
//                        @N: only the N-th matching call; @N+: the N-th and all later; none: every
//                        RESULT: the non-zero result to return; default -99
//   OSTREL_FAULT_MESSAGE, OSTREL_FAULT_IO_MESSAGE   error texts of an injected failure
//
// With OSTREL_BUS=i2c:
//   OSTREL_I2C_DEVICE    the bus device, /dev/i2c-N or just N; required (no bus is guessed)
//   OSTREL_I2C_BASE      7-bit address of slot 0: slot s is at base + s; "none" leaves only the
//                        table; default 0x20
//   OSTREL_I2C_ADDRESSES explicit addresses, comma-separated SLOT:ADDRESS, ahead of the base
//
// A value that does not parse makes Ostrel_Open fail with a text naming the variable.
#ifndef OSTREL_CONFIG_H
#define OSTREL_CONFIG_H

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ostrel {

enum class Call { kOpen, kFlush, kGetSlot, kSetSlot, kCheck, kSend, kReceive };

const char *CallName(Call call);  // the rule word: "open", "send", ...

struct FaultRule {
    Call call = Call::kOpen;
    std::optional<uint8_t> code;  // send and receive: only transfers of this command code
    uint32_t nth = 0;             // 0: every matching call; else the nth (1-based) ...
    bool and_later = false;       // ... or, with and_later, the nth and every one after it
    int32_t result = -99;
};

struct Missing {
    bool supply_5v = false;
    bool supply_3v = false;
    bool temperature = false;
};

enum class BusKind { kSimulated, kI2c };

// 7-bit I2C addresses a device may have; 0x00 to 0x07 and 0x78 to 0x7F are reserved.
inline constexpr uint8_t kFirstI2cAddress = 0x08;
inline constexpr uint8_t kLastI2cAddress = 0x77;

struct I2cConfig {
    std::string device;                    // /dev/i2c-N
    std::optional<uint8_t> base = 0x20;    // address of slot 0; empty: only the table maps
    std::map<uint8_t, uint8_t> addresses;  // slot -> address, ahead of the base
};

struct Config {
    BusKind bus = BusKind::kSimulated;
    I2cConfig i2c;
    std::optional<uint8_t> device_slot = 0;  // empty: no device on the backplane
    Missing missing;
    double initial_uptime = 0.0;
    uint16_t version = 0x0102;
    uint32_t bus_khz = 0;
    std::string trace_path;
    std::vector<FaultRule> faults;
    std::string fault_message = "Injected fault";
    std::string fault_io_message;  // empty: a text naming the call is made up
    std::string error;             // non-empty: a variable did not parse; Ostrel_Open fails
};

using Lookup = std::function<const char *(const char *name)>;

// Reads the configuration through lookup (getenv for the real library, a table in tests).
Config ParseConfig(const Lookup &lookup);

// The parts, exposed for tests. Each returns false when text does not parse.
bool ParseNumber(const std::string &text, uint64_t max, uint64_t &value);
bool ParseFaultRules(const std::string &text, std::vector<FaultRule> &rules);
bool ParseI2cAddresses(const std::string &text, std::map<uint8_t, uint8_t> &addresses);

}  // namespace ostrel

#endif  // OSTREL_CONFIG_H
