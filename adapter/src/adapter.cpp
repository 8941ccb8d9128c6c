#include "adapter.h"

#include <cstdarg>
#include <utility>

namespace ostrel {
namespace {

constexpr int32_t kTransfer = 1;  // the constant first argument of every transfer call

std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char *format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

std::string Hex(const uint8_t *data, int32_t count) {
    std::string text = "[";
    for (int32_t i = 0; i < count; ++i)
        text += Format(i ? " %02X" : "%02X", data[i]);
    return text + "]";
}

std::string Quoted(const char *text) {
    std::string quoted = "\"";
    for (const char *p = text; *p; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        quoted += (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') ? Format("\\x%02X", c)
                                                                   : std::string(1, *p);
    }
    return quoted + "\"";
}

std::string CodeText(std::optional<uint8_t> code) {
    return code ? Format(" for command code 0x%02X", *code) : std::string();
}

}  // namespace

Status Failure(int32_t result, std::string message, std::string io_message) {
    return Status{result, std::move(message), std::move(io_message)};
}

Adapter::Adapter(Config config, std::unique_ptr<Bus> bus)
    : config_(std::move(config)), bus_(std::move(bus)) {
    for (const FaultRule &rule : config_.faults)
        rules_.push_back({rule, 0});
    if (!config_.trace_path.empty()) trace_ = std::fopen(config_.trace_path.c_str(), "w");
}

Adapter::~Adapter() {
    if (trace_) std::fclose(trace_);
}

void Adapter::WriteTrace(const std::string &line) {
    std::fputs(line.c_str(), trace_);
    std::fputc('\n', trace_);
    std::fflush(trace_);
}

std::optional<Status> Adapter::InjectedFault(Call call, std::optional<uint8_t> code,
                                             const char *function) {
    for (RuleState &state : rules_) {
        const FaultRule &rule = state.rule;
        if (rule.call != call || (rule.code && rule.code != code)) continue;
        ++state.seen;
        const bool fires =
            rule.nth == 0 || state.seen == rule.nth || (rule.and_later && state.seen > rule.nth);
        if (!fires) continue;
        std::string io = config_.fault_io_message;
        if (io.empty()) io = std::string("injected failure of ") + function + CodeText(code);
        return Failure(rule.result, config_.fault_message, io);
    }
    return std::nullopt;
}

int32_t Adapter::Finish(const Status &status) {
    if (status) {
        message_ = status.message;
        io_message_ = status.io_message;
    }
    return status.result;
}

Status Adapter::TransferAllowed(const char *function, int32_t one) const {
    if (one != kTransfer) {
        return Failure(kBadArgument, "Invalid argument",
                       Format("%s: first argument %d, expected 1", function, one));
    }
    if (!open_) return Failure(kNotOpen, "The port is not open", "call Ostrel_Open first");
    return {};
}

uint16_t Adapter::Version() {
    Trace([&] { return Format("Ostrel_Version() = 0x%04X", config_.version); });
    return config_.version;
}

int32_t Adapter::Open() {
    Status status;
    if (!config_.error.empty()) {
        status = Failure(kConfigError, "Invalid adapter configuration", config_.error);
    } else if (auto fault = InjectedFault(Call::kOpen, std::nullopt, "Ostrel_Open")) {
        status = *fault;
    } else {
        status = bus_->Open();
        open_ = open_ || !status;
    }
    Trace([&] { return Format("Ostrel_Open() = %d", status.result); });
    return Finish(status);
}

int32_t Adapter::Flush() {
    Status status;
    if (!open_) {
        status = Failure(kNotOpen, "The port is not open", "call Ostrel_Open first");
    } else if (auto fault = InjectedFault(Call::kFlush, std::nullopt, "Ostrel_Flush_LPT")) {
        status = *fault;
    } else {
        pending_code_.reset();
        status = bus_->Flush();
    }
    Trace([&] { return Format("Ostrel_Flush_LPT() = %d", status.result); });
    return Finish(status);
}

const char *Adapter::ErrorMessage() {
    Trace([&] { return "Ostrel_ErrorMessage() = " + Quoted(message_.c_str()); });
    return message_.c_str();
}

const char *Adapter::IoErrorMessage() {
    Trace([&] { return "Ostrel_IO_ErrorMessage() = " + Quoted(io_message_.c_str()); });
    return io_message_.c_str();
}

int32_t Adapter::GetSlot(uint8_t *slot, int32_t one, int32_t zero) {
    Status status;
    if (!slot || one != 1 || zero != 0) {
        status = Failure(kBadArgument, "Invalid argument",
                         "Ostrel_GetSlot takes a pointer to the slot byte, 1 and 0");
    } else if (auto fault = InjectedFault(Call::kGetSlot, std::nullopt, "Ostrel_GetSlot")) {
        status = *fault;
    } else {
        *slot = slot_;
    }
    Trace([&] {
        return status ? Format("Ostrel_GetSlot(->, %d, %d) = %d", one, zero, status.result)
                      : Format("Ostrel_GetSlot(-> %u, %d, %d) = 0", slot_, one, zero);
    });
    return Finish(status);
}

int32_t Adapter::SetSlot(uint8_t slot, int32_t one, int32_t zero) {
    Status status;
    if (one != 1 || zero != 0) {
        status =
            Failure(kBadArgument, "Invalid argument", "Ostrel_SetSlot takes the slot, 1 and 0");
    } else if (auto fault = InjectedFault(Call::kSetSlot, std::nullopt, "Ostrel_SetSlot")) {
        status = *fault;
    } else {
        slot_ = slot;
        pending_code_.reset();
    }
    Trace(
        [&] { return Format("Ostrel_SetSlot(%u, %d, %d) = %d", slot, one, zero, status.result); });
    return Finish(status);
}

int32_t Adapter::Check(int32_t one, uint8_t *present) {
    Status status = TransferAllowed("Ostrel_Check", one);
    if (!status && !present) {
        status = Failure(kBadArgument, "Invalid argument", "Ostrel_Check: no flag to store into");
    }
    if (!status) {
        if (auto fault = InjectedFault(Call::kCheck, std::nullopt, "Ostrel_Check")) {
            status = *fault;
        } else {
            bool found = false;
            pending_code_.reset();
            status = bus_->Probe(slot_, found);
            if (!status) *present = found ? 1 : 0;
        }
    }
    Trace([&] {
        return status ? Format("Ostrel_Check(%d, ->) = %d", one, status.result)
                      : Format("Ostrel_Check(%d, -> %u) = 0", one, *present);
    });
    return Finish(status);
}

int32_t Adapter::Send(int32_t one, const uint8_t *data, int32_t count, int32_t final) {
    const bool bytes_valid = data && count >= 1 && count <= kLongestTransfer;
    Status status = TransferAllowed("Ostrel_Send", one);
    if (!status && !bytes_valid) {
        status = Failure(kBadArgument, "Invalid argument",
                         Format("Ostrel_Send: %d bytes at %p; 1 to %d bytes expected", count,
                                static_cast<const void *>(data), kLongestTransfer));
    } else if (!status && final != 0 && final != 1) {
        status = Failure(kBadArgument, "Invalid argument",
                         Format("Ostrel_Send: final flag %d, expected 0 or 1", final));
    } else if (!status && final == 0 && count != 1) {
        status =
            Failure(kWrongLength, "Wrong transfer length",
                    Format("a read transaction sends the command code alone, not %d bytes", count));
    }
    if (!status) {
        pending_code_.reset();  // a new send ends any read transaction under way
        if (auto fault = InjectedFault(Call::kSend, data[0], "Ostrel_Send")) {
            status = *fault;
        } else {
            status = bus_->Send(slot_, data, count, final == 1);
            if (!status && final == 0) pending_code_ = data[0];
        }
    }
    Trace([&] {
        return Format("Ostrel_Send(%d, %s, %d, %d) = %d", one,
                      bytes_valid ? Hex(data, count).c_str() : "[?]", count, final, status.result);
    });
    return Finish(status);
}

int32_t Adapter::ReceiveInto(const char *function, int32_t one, uint8_t *data, int32_t count,
                             int32_t final, bool text) {
    Status status = TransferAllowed(function, one);
    const int32_t shortest = text ? 0 : 1;
    if (!status && (!data || count < shortest || count > kLongestTransfer)) {
        status = Failure(kBadArgument, "Invalid argument",
                         Format("%s: %d bytes at %p; %d to %d bytes expected", function, count,
                                static_cast<void *>(data), shortest, kLongestTransfer));
    } else if (!status && final != 1) {
        status = Failure(kBadArgument, "Invalid argument",
                         Format("%s: final flag %d, expected 1", function, final));
    } else if (!status && !pending_code_) {
        status =
            Failure(kNoReadPending, "No read transaction under way",
                    std::string(function) +
                        " without a preceding Ostrel_Send of a command code with final flag 0");
    }
    if (!status) {
        const uint8_t code = *pending_code_;
        pending_code_.reset();  // the receive ends the transaction, whatever its outcome
        if (auto fault = InjectedFault(Call::kReceive, code, function)) {
            status = *fault;
        } else {
            status = bus_->Receive(slot_, code, data, count, text);
        }
    }
    return Finish(status);
}

int32_t Adapter::Receive(int32_t one, uint8_t *data, int32_t count, int32_t final) {
    const int32_t result = ReceiveInto("Ostrel_Receive", one, data, count, final, false);
    Trace([&] {
        return Format("Ostrel_Receive(%d, -> %s, %d, %d) = %d", one,
                      result == kOk ? Hex(data, count).c_str() : "[]", count, final, result);
    });
    return result;
}

int32_t Adapter::ReceiveString(int32_t one, char *text, int32_t max_length, int32_t final) {
    auto *bytes = reinterpret_cast<uint8_t *>(text);
    const int32_t result = ReceiveInto("Ostrel_ReceiveString", one, bytes, max_length, final, true);
    if (result == kOk) text[max_length] = '\0';
    Trace([&] {
        return Format("Ostrel_ReceiveString(%d, -> %s, %d, %d) = %d", one,
                      result == kOk ? Quoted(text).c_str() : "\"\"", max_length, final, result);
    });
    return result;
}

}  // namespace ostrel
