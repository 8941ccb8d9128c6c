#include "config.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace ostrel {
namespace {

constexpr std::array<std::pair<Call, const char *>, 7> kCallWords = {{
    {Call::kOpen, "open"},
    {Call::kFlush, "flush"},
    {Call::kGetSlot, "getslot"},
    {Call::kSetSlot, "setslot"},
    {Call::kCheck, "check"},
    {Call::kSend, "send"},
    {Call::kReceive, "receive"},
}};

constexpr uint32_t kFastestBusKhz = 10000;
constexpr double kLongestInitialUptime = 4294967295.0;

std::string Lower(std::string text) {
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string &text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> Split(const std::string &text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const auto end = text.find(separator, start);
        parts.push_back(Trim(text.substr(start, end - start)));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

bool ParseCall(const std::string &word, Call &call) {
    for (const auto &[value, name] : kCallWords) {
        if (word == name) {
            call = value;
            return true;
        }
    }
    return false;
}

bool ParseSignedResult(const std::string &text, int32_t &result) {
    const bool negative = !text.empty() && text[0] == '-';
    uint64_t magnitude = 0;
    if (!ParseNumber(negative ? text.substr(1) : text, 0x80000000u, magnitude)) return false;
    if (!negative && magnitude > 0x7FFFFFFFu) return false;
    const int64_t value =
        negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    result = static_cast<int32_t>(value);
    return result != 0;
}

// CALL[:CODE][@N[+]][=RESULT]
bool ParseFaultRule(const std::string &text, FaultRule &rule) {
    std::string rest = Lower(text);
    if (const auto eq = rest.find('='); eq != std::string::npos) {
        if (!ParseSignedResult(rest.substr(eq + 1), rule.result)) return false;
        rest.erase(eq);
    }
    if (const auto at = rest.find('@'); at != std::string::npos) {
        std::string count = rest.substr(at + 1);
        if (!count.empty() && count.back() == '+') {
            rule.and_later = true;
            count.pop_back();
        }
        uint64_t nth = 0;
        if (!ParseNumber(count, 0xFFFFFFFFu, nth) || nth == 0) return false;
        rule.nth = static_cast<uint32_t>(nth);
        rest.erase(at);
    }
    if (const auto colon = rest.find(':'); colon != std::string::npos) {
        uint64_t code = 0;
        if (!ParseNumber(rest.substr(colon + 1), 0xFF, code)) return false;
        rule.code = static_cast<uint8_t>(code);
        rest.erase(colon);
    }
    if (!ParseCall(rest, rule.call)) return false;
    return !rule.code || rule.call == Call::kSend || rule.call == Call::kReceive;
}

bool ParseMissing(const std::string &text, Missing &missing) {
    for (const std::string &word : Split(Lower(text), ',')) {
        if (word == "5v") {
            missing.supply_5v = true;
        } else if (word == "3v") {
            missing.supply_3v = true;
        } else if (word == "temp") {
            missing.temperature = true;
        } else if (!word.empty()) {
            return false;
        }
    }
    return true;
}

// A bus number N stands for /dev/i2c-N; anything else is taken as the device's path.
bool ParseI2cDevice(const std::string &text, std::string &device) {
    const std::string word = Trim(text);
    if (word.empty()) return false;
    const bool number = word.size() <= 9 && std::all_of(word.begin(), word.end(), [](char c) {
                            return std::isdigit(static_cast<unsigned char>(c)) != 0;
                        });
    device = number ? "/dev/i2c-" + word : word;
    return true;
}

bool ParseSeconds(const std::string &text, double &seconds) {
    if (text.empty()) return false;
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !(value >= 0.0) || value > kLongestInitialUptime) return false;
    seconds = value;
    return true;
}

}  // namespace

const char *CallName(Call call) {
    for (const auto &[value, name] : kCallWords) {
        if (value == call) return name;
    }
    return "?";
}

bool ParseNumber(const std::string &text, uint64_t max, uint64_t &value) {
    std::string digits = Trim(text);
    int radix = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        radix = 16;
        digits.erase(0, 2);
    }
    if (digits.empty()) return false;
    uint64_t result = 0;
    for (const char c : digits) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(c) - 'a' + 10
                              : radix;
        if (digit >= radix) return false;
        result = result * static_cast<uint64_t>(radix) + static_cast<uint64_t>(digit);
        if (result > max) return false;
    }
    value = result;
    return true;
}

bool ParseFaultRules(const std::string &text, std::vector<FaultRule> &rules) {
    std::vector<FaultRule> parsed;
    for (const std::string &word : Split(text, ',')) {
        if (word.empty()) continue;
        FaultRule rule;
        if (!ParseFaultRule(word, rule)) return false;
        parsed.push_back(rule);
    }
    rules = std::move(parsed);
    return true;
}

bool ParseI2cAddresses(const std::string &text, std::map<uint8_t, uint8_t> &addresses) {
    std::map<uint8_t, uint8_t> parsed;
    for (const std::string &word : Split(text, ',')) {
        if (word.empty()) continue;
        const auto colon = word.find(':');
        uint64_t slot = 0;
        uint64_t address = 0;
        if (colon == std::string::npos || !ParseNumber(word.substr(0, colon), 255, slot) ||
            !ParseNumber(word.substr(colon + 1), kLastI2cAddress, address) ||
            address < kFirstI2cAddress) {
            return false;
        }
        if (!parsed.emplace(static_cast<uint8_t>(slot), static_cast<uint8_t>(address)).second) {
            return false;  // one slot, two addresses
        }
    }
    addresses = std::move(parsed);
    return true;
}

Config ParseConfig(const Lookup &lookup) {
    Config config;
    auto fail = [&config](const char *name, const char *value, const char *expected) {
        if (config.error.empty()) {
            config.error = std::string(name) + "='" + value + "' is not " + expected;
        }
    };
    uint64_t number = 0;

    if (const char *v = lookup("OSTREL_BUS")) {
        const std::string word = Lower(Trim(v));
        if (word == "sim") {
            config.bus = BusKind::kSimulated;
        } else if (word == "i2c") {
            config.bus = BusKind::kI2c;
        } else {
            fail("OSTREL_BUS", v, "sim or i2c");
        }
    }
    if (const char *v = lookup("OSTREL_I2C_DEVICE"); v && !ParseI2cDevice(v, config.i2c.device)) {
        fail("OSTREL_I2C_DEVICE", v, "an I2C bus device (/dev/i2c-N or N)");
    }
    if (const char *v = lookup("OSTREL_I2C_BASE")) {
        if (Lower(Trim(v)) == "none") {
            config.i2c.base.reset();
        } else if (ParseNumber(v, kLastI2cAddress, number)) {
            config.i2c.base = static_cast<uint8_t>(number);
        } else {
            fail("OSTREL_I2C_BASE", v, "a 7-bit I2C address from 0 to 0x77 or none");
        }
    }
    if (const char *v = lookup("OSTREL_I2C_ADDRESSES");
        v && !ParseI2cAddresses(v, config.i2c.addresses)) {
        fail("OSTREL_I2C_ADDRESSES", v,
             "a list of SLOT:ADDRESS, one address (0x08 to 0x77) for each slot (0 to 255)");
    }
    if (config.bus == BusKind::kI2c && config.i2c.device.empty() && config.error.empty()) {
        config.error =
            "OSTREL_I2C_DEVICE is not set: OSTREL_BUS=i2c needs the bus device "
            "(/dev/i2c-N, see i2cdetect -l)";
    }

    if (const char *v = lookup("OSTREL_SIM_SLOT")) {
        if (Lower(Trim(v)) == "none") {
            config.device_slot.reset();
        } else if (ParseNumber(v, 255, number)) {
            config.device_slot = static_cast<uint8_t>(number);
        } else {
            fail("OSTREL_SIM_SLOT", v, "a QMB slot (0 to 255) or none");
        }
    }
    if (const char *v = lookup("OSTREL_SIM_MISSING"); v && !ParseMissing(v, config.missing)) {
        fail("OSTREL_SIM_MISSING", v, "a list of 5V, 3V and TEMP");
    }
    if (const char *v = lookup("OSTREL_SIM_UPTIME"); v && !ParseSeconds(v, config.initial_uptime)) {
        fail("OSTREL_SIM_UPTIME", v, "a number of seconds from 0 to 4294967295");
    }
    if (const char *v = lookup("OSTREL_VERSION")) {
        if (ParseNumber(v, 0xFFFF, number)) {
            config.version = static_cast<uint16_t>(number);
        } else {
            fail("OSTREL_VERSION", v, "a version word from 0 to 0xFFFF");
        }
    }
    if (const char *v = lookup("OSTREL_BUS_KHZ")) {
        if (ParseNumber(v, kFastestBusKhz, number)) {
            config.bus_khz = static_cast<uint32_t>(number);
        } else {
            fail("OSTREL_BUS_KHZ", v, "a bus clock in kHz from 0 (off) to 10000");
        }
    }
    if (const char *v = lookup("OSTREL_TRACE")) config.trace_path = v;
    if (const char *v = lookup("OSTREL_FAULT"); v && !ParseFaultRules(v, config.faults)) {
        fail("OSTREL_FAULT", v, "a list of rules CALL[:CODE][@N[+]][=RESULT]");
    }
    if (const char *v = lookup("OSTREL_FAULT_MESSAGE")) config.fault_message = v;
    if (const char *v = lookup("OSTREL_FAULT_IO_MESSAGE")) config.fault_io_message = v;
    return config;
}

}  // namespace ostrel
