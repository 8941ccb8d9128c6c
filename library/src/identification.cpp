// The library's version, the presence check and the identification queries.
#include <cstring>

#include "KTR-7.h"
#include "Ostrel.h"
#include "byte_order.h"
#include "transaction.h"

using ktr7::Code;

namespace {

constexpr uint16_t kLibraryVersion = 0x0114;  // 1.20

// The identification queries receive straight into the caller's storage; the device's bytes
// are then taken as a little-endian field in place, which changes nothing on a little-endian
// host and gives the same value on any other.
template <typename Word>
void LittleEndianInPlace(Word *word) {
    uint8_t bytes[sizeof(Word)];
    std::memcpy(bytes, word, sizeof(Word));
    Word value = 0;
    for (std::size_t i = sizeof(Word); i-- > 0;)
        value = static_cast<Word>((value << 8) | bytes[i]);
    *word = value;
}

template <Code kCode, typename Word>
int32_t ReadWordInto(Word *word) {
    static_assert(ktr7::AnswerSize(kCode) == sizeof(Word), "answer fills the word");
    if (const int32_t result = ktr7::ReadInto(kCode, reinterpret_cast<uint8_t *>(word))) {
        return result;
    }
    LittleEndianInPlace(word);
    return ktr7::kOk;
}

}  // namespace

uint16_t KTR_7_CALL KTR_7_Version(void) {
    return kLibraryVersion;
}

int32_t KTR_7_CALL KTR_7_Check(uint8_t *present) {
    if (const int32_t result = Ostrel_Check(1, present)) return result;
    if (*present == 0) return ktr7::kOk;  // nothing answers: no command is sent

    ktr7::Answer<Code::kIdentification> answer;
    if (const int32_t result = ktr7::Read<Code::kIdentification>(answer)) return result;
    *present = ktr7::GetU16(answer.data()) == ktr7::kIdentificationWord ? 1 : 0;
    return ktr7::kOk;
}

int32_t KTR_7_CALL KTR_7_FW_Ver(uint16_t *version) {
    return ReadWordInto<Code::kFirmwareVersion>(version);
}

int32_t KTR_7_CALL KTR_7_FW_Date(char *date) {
    return ktr7::ReadText(Code::kFirmwareDate, date);
}

int32_t KTR_7_CALL KTR_7_Prod_ID(char *id) {
    return ktr7::ReadText(Code::kProductId, id);
}

int32_t KTR_7_CALL KTR_7_Prod_No(uint32_t *number) {
    return ReadWordInto<Code::kProductNumber>(number);
}
