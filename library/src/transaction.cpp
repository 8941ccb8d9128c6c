#include "transaction.h"

#include "Ostrel.h"

namespace ktr7 {
namespace {

// The adapter's transfer calls all start with this constant.
constexpr int32_t kTransfer = 1;
constexpr int32_t kMoreFollows = 0;
constexpr int32_t kFinal = 1;

int32_t SendCode(Code code) {
    const uint8_t byte = static_cast<uint8_t>(code);
    return Ostrel_Send(kTransfer, &byte, 1, kMoreFollows);
}

}  // namespace

int32_t ReadInto(Code code, uint8_t *answer) {
    if (const int32_t result = SendCode(code)) return result;
    return Ostrel_Receive(kTransfer, answer, AnswerSize(code), kFinal);
}

int32_t ReadText(Code code, char *text) {
    if (const int32_t result = SendCode(code)) return result;
    return Ostrel_ReceiveString(kTransfer, text, TextLength(code), kFinal);
}

int32_t WriteCommand(Code code, const uint8_t *payload) {
    constexpr std::size_t kLongestPayload = 2;
    std::array<uint8_t, 1 + kLongestPayload> frame{};
    const uint8_t size = PayloadSize(code);
    frame[0] = static_cast<uint8_t>(code);
    for (uint8_t i = 0; i < size && i < kLongestPayload; ++i)
        frame[1 + i] = payload[i];
    return Ostrel_Send(kTransfer, frame.data(), 1 + size, kFinal);
}

}  // namespace ktr7
