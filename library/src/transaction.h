// The two transaction forms every exported function is built on. Each helper returns the result
// of the first adapter call that failed, unchanged, or 0.
#ifndef KTR7_TRANSACTION_H
#define KTR7_TRANSACTION_H

#include <array>
#include <cstdint>

#include "protocol.h"

namespace ktr7 {

inline constexpr int32_t kOk = 0;

// Read transaction: the code alone with final flag 0, then the code's fixed-size answer into
// answer (AnswerSize(code) bytes) with final flag 1. No receive follows a failed send.
int32_t ReadInto(Code code, uint8_t *answer);

// Read transaction with a text answer of at most TextLength(code) characters into text.
int32_t ReadText(Code code, char *text);

// Write transaction: the code followed by its PayloadSize(code) bytes in one send, final flag 1.
int32_t WriteCommand(Code code, const uint8_t *payload);

template <Code kCode>
using Answer = std::array<uint8_t, AnswerSize(kCode)>;
template <Code kCode>
using Payload = std::array<uint8_t, PayloadSize(kCode)>;

template <Code kCode>
int32_t Read(Answer<kCode> &answer) {
    static_assert(AnswerSize(kCode) > 0, "a text answer is read with ReadText");
    return ReadInto(kCode, answer.data());
}

// Read transaction into a local answer that is handed to store(answer) only after both transfers
// succeeded, so a failure leaves the caller's storage as it was.
template <Code kCode, typename Store>
int32_t ReadThenStore(Store store) {
    Answer<kCode> answer{};
    if (const int32_t result = Read<kCode>(answer)) return result;
    store(answer);
    return kOk;
}

template <Code kCode>
int32_t Write(const Payload<kCode> &payload) {
    static_assert(PayloadSize(kCode) > 0, "this code is only read");
    return WriteCommand(kCode, payload.data());
}

}  // namespace ktr7

#endif  // KTR7_TRANSACTION_H
