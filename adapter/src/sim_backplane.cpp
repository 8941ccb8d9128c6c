#include "sim_backplane.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace ostrel {
namespace {

using ktr7::Code;

std::string Describe(const char *format, unsigned a, unsigned b = 0, unsigned c = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

Status UnknownCode(uint8_t code) {
    return Failure(kUnknownCode, "Unknown command code",
                   Describe("the KTR-7 does not know command code 0x%02X", code));
}

}  // namespace

SimulatedBackplane::SimulatedBackplane(const Config &config)
    : device_slot_(config.device_slot),
      bus_khz_(config.bus_khz),
      device_(config.missing, config.initial_uptime) {}

// A sleep overshoots by tens of microseconds; the last stretch is waited out on the clock so
// that an emulated transfer takes its bus time and not noticeably more.
void SimulatedBackplane::Spend(uint32_t bits) const {
    if (bus_khz_ == 0) return;
    using Clock = std::chrono::steady_clock;
    const auto duration = std::chrono::nanoseconds(uint64_t{bits} * 1000000u / bus_khz_);
    const auto deadline = Clock::now() + duration;
    constexpr auto kSpinPart = std::chrono::microseconds(150);
    if (duration > kSpinPart) std::this_thread::sleep_until(deadline - kSpinPart);
    while (Clock::now() < deadline) {
    }
}

Status SimulatedBackplane::Acknowledge(uint8_t slot, uint32_t bits) {
    if (device_slot_ && *device_slot_ == slot) {
        Spend(bits);
        return {};
    }
    Spend(ProbeBits());  // the address byte goes unanswered, then STOP
    return Failure(kNoAcknowledge, "No acknowledge",
                   Describe("no device answers at QMB slot %u", slot));
}

Status SimulatedBackplane::Open() {
    return {};
}

Status SimulatedBackplane::Flush() {
    return {};
}

Status SimulatedBackplane::Probe(uint8_t slot, bool &present) {
    Spend(ProbeBits());
    present = device_slot_ && *device_slot_ == slot;
    return {};
}

Status SimulatedBackplane::Send(uint8_t slot, const uint8_t *data, int32_t count, bool final) {
    const uint8_t code = data[0];
    const uint32_t bits = final ? WriteBits(static_cast<uint32_t>(count - 1)) : ReadCommandBits();
    if (Status status = Acknowledge(slot, bits)) return status;
    if (!ktr7::IsKnownCode(code)) return UnknownCode(code);
    if (!final) return {};  // the code of a read transaction; Receive answers it

    const auto command = static_cast<Code>(code);
    const uint8_t payload = ktr7::PayloadSize(command);
    if (payload == 0) {
        return Failure(kWrongLength, "Wrong transfer length",
                       Describe("command code 0x%02X is only read; it takes no payload", code));
    }
    if (static_cast<uint32_t>(count - 1) != payload) {
        return Failure(kWrongLength, "Wrong transfer length",
                       Describe("command code 0x%02X takes %u payload bytes, not %u", code, payload,
                                static_cast<unsigned>(count - 1)));
    }
    device_.Write(command, data + 1);
    return {};
}

Status SimulatedBackplane::Receive(uint8_t slot, uint8_t code, uint8_t *data, int32_t count,
                                   bool text) {
    if (Status status = Acknowledge(slot, ReadAnswerBits(static_cast<uint32_t>(count)))) {
        return status;
    }
    const auto command = static_cast<Code>(code);  // known: Send refused any other
    const bool text_code = ktr7::TextLength(command) > 0;
    if (text != text_code) {
        return Failure(kWrongLength, "Wrong transfer length",
                       Describe(text_code ? "command code 0x%02X answers with a text"
                                          : "command code 0x%02X answers with %u bytes, not a text",
                                code, ktr7::AnswerSize(command)));
    }
    if (text) {
        const std::string &answer = device_.Text(command);
        const std::size_t length = std::min(answer.size(), static_cast<std::size_t>(count));
        // The adapter adds the terminating zero behind the count bytes.
        std::copy_n(answer.begin(), length, data);
        std::fill(data + length, data + count, uint8_t{0});
        return {};
    }
    if (static_cast<uint32_t>(count) != ktr7::AnswerSize(command)) {
        return Failure(kWrongLength, "Wrong transfer length",
                       Describe("command code 0x%02X answers with %u bytes, not %u", code,
                                ktr7::AnswerSize(command), static_cast<unsigned>(count)));
    }
    device_.Answer(command, data);
    return {};
}

}  // namespace ostrel
