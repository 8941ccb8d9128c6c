#include "fake_adapter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Ostrel.h"

namespace fake {
namespace {

std::string Hex(const std::vector<uint8_t> &bytes) {
    std::string text = "[";
    char byte[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(byte, sizeof byte, i ? " %02X" : "%02X", bytes[i]);
        text += byte;
    }
    return text + "]";
}

}  // namespace

Call Make(Fn fn, int32_t one, int32_t zero) {
    Call call;
    call.fn = fn;
    call.one = one;
    call.zero = zero;
    return call;
}

Call Call::Fails(int32_t failure) const {
    Call call = *this;
    call.result = failure;
    return call;
}

Call Call::FailsAfterStoring(int32_t failure) const {
    Call call = Fails(failure);
    call.writes_on_failure = true;
    return call;
}

Call Open(int32_t result) {
    return Make(Fn::kOpen, 0, 0).Fails(result);
}
Call Flush(int32_t result) {
    return Make(Fn::kFlush, 0, 0).Fails(result);
}

Call GetSlot(uint8_t slot) {
    Call call = Make(Fn::kGetSlot);
    call.bytes = {slot};
    return call;
}

Call SetSlot(uint8_t slot) {
    Call call = Make(Fn::kSetSlot);
    call.slot = slot;
    return call;
}

Call Check(uint8_t present) {
    Call call = Make(Fn::kCheck);
    call.bytes = {present};
    return call;
}

Call Send(std::vector<uint8_t> bytes, int32_t final) {
    Call call = Make(Fn::kSend);
    call.count = static_cast<int32_t>(bytes.size());
    call.bytes = std::move(bytes);
    call.final = final;
    return call;
}

Call Receive(std::vector<uint8_t> answer) {
    Call call = Make(Fn::kReceive);
    call.count = static_cast<int32_t>(answer.size());
    call.bytes = std::move(answer);
    call.final = 1;
    return call;
}

Call ReceiveString(std::string text, int32_t max_length) {
    Call call = Make(Fn::kReceiveString);
    call.text = std::move(text);
    call.count = max_length;
    call.final = 1;
    return call;
}

std::string Describe(const Call &call) {
    char text[200];
    const char *failed = call.result ? " fails" : "";
    switch (call.fn) {
        case Fn::kOpen:
            std::snprintf(text, sizeof text, "Open()%s", failed);
            break;
        case Fn::kFlush:
            std::snprintf(text, sizeof text, "Flush_LPT()%s", failed);
            break;
        case Fn::kGetSlot:
            std::snprintf(text, sizeof text, "GetSlot(%d, %d)%s", call.one, call.zero, failed);
            break;
        case Fn::kSetSlot:
            std::snprintf(text, sizeof text, "SetSlot(%u, %d, %d)%s", call.slot, call.one,
                          call.zero, failed);
            break;
        case Fn::kCheck:
            std::snprintf(text, sizeof text, "Check(%d)%s", call.one, failed);
            break;
        case Fn::kSend:
            std::snprintf(text, sizeof text, "Send(%d, %s, %d, %d)%s", call.one,
                          Hex(call.bytes).c_str(), call.count, call.final, failed);
            break;
        case Fn::kReceive:
            std::snprintf(text, sizeof text, "Receive(%d, %d, %d)%s", call.one, call.count,
                          call.final, failed);
            break;
        case Fn::kReceiveString:
            std::snprintf(text, sizeof text, "ReceiveString(%d, %d, %d)%s", call.one, call.count,
                          call.final, failed);
            break;
    }
    return text;
}

std::string Describe(const std::vector<Call> &calls) {
    std::string text;
    for (const Call &call : calls)
        text += Describe(call) + "\n";
    return text;
}

Adapter &Adapter::Instance() {
    static Adapter adapter;
    return adapter;
}

void Adapter::Script(std::vector<Call> expected) {
    script_ = std::move(expected);
    made_.clear();
    text_fetches.clear();
    next_ = 0;
}

const Call *Adapter::Next(Fn fn) {
    if (next_ >= script_.size() || script_[next_].fn != fn) return nullptr;
    return &script_[next_++];
}

}  // namespace fake

using fake::Adapter;
using fake::Call;
using fake::Fn;

namespace {

// Records call with the reply's result, or kUnexpected when the script holds no such call next.
int32_t Answer(Call call, const Call *reply) {
    call.result = reply ? reply->result : fake::kUnexpected;
    Adapter::Instance().Record(std::move(call));
    return reply ? reply->result : fake::kUnexpected;
}

}  // namespace

uint16_t OSTREL_CALL Ostrel_Version(void) {
    return Adapter::Instance().version;
}

int32_t OSTREL_CALL Ostrel_Open(void) {
    return Answer(fake::Open(), Adapter::Instance().Next(Fn::kOpen));
}

int32_t OSTREL_CALL Ostrel_Flush_LPT(void) {
    return Answer(fake::Flush(), Adapter::Instance().Next(Fn::kFlush));
}

const char *OSTREL_CALL Ostrel_ErrorMessage(void) {
    Adapter::Instance().text_fetches.push_back("message");
    return Adapter::Instance().message.c_str();
}

const char *OSTREL_CALL Ostrel_IO_ErrorMessage(void) {
    Adapter::Instance().text_fetches.push_back("io");
    return Adapter::Instance().io_message.c_str();
}

int32_t OSTREL_CALL Ostrel_GetSlot(uint8_t *slot, int32_t one, int32_t zero) {
    const Call *reply = Adapter::Instance().Next(Fn::kGetSlot);
    if (reply && reply->result == 0 && !reply->bytes.empty()) *slot = reply->bytes[0];
    Call call = fake::Make(Fn::kGetSlot, one, zero);
    return Answer(call, reply);
}

int32_t OSTREL_CALL Ostrel_SetSlot(uint8_t slot, int32_t one, int32_t zero) {
    Call call = fake::Make(Fn::kSetSlot, one, zero);
    call.slot = slot;
    return Answer(call, Adapter::Instance().Next(Fn::kSetSlot));
}

int32_t OSTREL_CALL Ostrel_Check(int32_t one, uint8_t *present) {
    const Call *reply = Adapter::Instance().Next(Fn::kCheck);
    if (reply && !reply->bytes.empty() && (reply->result == 0 || reply->writes_on_failure)) {
        *present = reply->bytes[0];
    }
    return Answer(fake::Make(Fn::kCheck, one), reply);
}

int32_t OSTREL_CALL Ostrel_Send(int32_t one, const uint8_t *data, int32_t count, int32_t final) {
    Call call = fake::Send(std::vector<uint8_t>(data, data + std::max(count, 0)), final);
    call.one = one;
    return Answer(call, Adapter::Instance().Next(Fn::kSend));
}

int32_t OSTREL_CALL Ostrel_Receive(int32_t one, uint8_t *data, int32_t count, int32_t final) {
    const Call *reply = Adapter::Instance().Next(Fn::kReceive);
    if (reply && (reply->result == 0 || reply->writes_on_failure)) {
        const auto n = std::min(static_cast<std::size_t>(std::max(count, 0)), reply->bytes.size());
        std::memcpy(data, reply->bytes.data(), n);
    }
    Call call = fake::Make(Fn::kReceive, one);
    call.count = count;
    call.final = final;
    return Answer(call, reply);
}

int32_t OSTREL_CALL Ostrel_ReceiveString(int32_t one, char *text, int32_t max_length,
                                         int32_t final) {
    const Call *reply = Adapter::Instance().Next(Fn::kReceiveString);
    if (reply && (reply->result == 0 || reply->writes_on_failure)) {
        // Like the adapter: at most max_length characters and the terminating zero.
        const auto n =
            std::min(static_cast<std::size_t>(std::max(max_length, 0)), reply->text.size());
        std::memcpy(text, reply->text.data(), n);
        text[n] = '\0';
    }
    Call call = fake::Make(Fn::kReceiveString, one);
    call.count = max_length;
    call.final = final;
    return Answer(call, reply);
}
