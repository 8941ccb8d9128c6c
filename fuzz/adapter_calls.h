// Drives the adapter library's functions from fuzz input: a sequence of calls with any counts,
// codes and payloads. Every buffer is exactly as large as the call says, so that a write outside
// it is caught; every result must be 0 or one of the adapter's own, and every error text present.
#ifndef KTR7_FUZZ_ADAPTER_CALLS_H
#define KTR7_FUZZ_ADAPTER_CALLS_H

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "Ostrel.h"
#include "adapter.h"

namespace fuzzing {

class Input {
  public:
    Input(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Mostly small counts, sometimes anything at all.
    int32_t Count() {
        const uint8_t kind = Byte();
        if (kind < 200) return kind % 12 - 1;
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | Byte();
        return static_cast<int32_t>(value);
    }

  private:
    const uint8_t *data_;
    size_t size_;
    size_t at_ = 0;
};

inline void Check(int32_t result) {
    const bool known = result == ostrel::kOk ||
                       (result <= ostrel::kNotOpen && result >= ostrel::kBusError) || result == -99;
    if (!known || !Ostrel_ErrorMessage() || !Ostrel_IO_ErrorMessage()) std::abort();
}

// A buffer of exactly count bytes (plus the terminator a text may add), or none for counts that
// no caller could have storage for; the adapter must refuse those without writing.
inline std::unique_ptr<uint8_t[]> Buffer(int32_t count, bool text) {
    if (count < 0 || count > 4096) return nullptr;
    return std::make_unique<uint8_t[]>(static_cast<size_t>(count) + (text ? 1 : 0) +
                                       (count == 0 ? 1 : 0));
}

// Makes the calls the rest of the input describes.
inline void RunCalls(Input &in) {
    while (!in.empty()) {
        const uint8_t call = in.Byte() % 11;
        const int32_t one = in.Byte() < 240 ? 1 : in.Count();
        switch (call) {
            case 0:
                Check(Ostrel_Open());
                break;
            case 1:
                Check(Ostrel_Flush_LPT());
                break;
            case 2: {
                uint8_t slot = 0;
                Check(Ostrel_GetSlot(&slot, one, in.Byte() < 240 ? 0 : 1));
                break;
            }
            case 3:
                Check(Ostrel_SetSlot(in.Byte(), one, 0));
                break;
            case 4: {
                uint8_t present = 0;
                Check(Ostrel_Check(one, in.Byte() < 250 ? &present : nullptr));
                break;
            }
            case 5:
            case 6: {
                const int32_t count = in.Count();
                auto bytes = Buffer(count, false);
                if (bytes) {
                    for (int32_t i = 0; i < count; ++i)
                        bytes[static_cast<size_t>(i)] = in.Byte();
                    if (count > 0 && in.Byte() < 200)
                        bytes[0] = in.Byte() % 0x16;  // mostly known codes
                }
                Check(Ostrel_Send(one, bytes.get(), count, call == 5 ? 0 : in.Byte() % 3));
                break;
            }
            case 7:
            case 8: {
                const int32_t count = in.Count();
                auto bytes = Buffer(count, false);
                Check(Ostrel_Receive(one, bytes.get(), count, call == 7 ? 1 : in.Byte() % 3));
                break;
            }
            case 9: {
                const int32_t max_length = in.Count();
                auto bytes = Buffer(max_length, true);
                char *text = reinterpret_cast<char *>(bytes.get());
                const int32_t result = Ostrel_ReceiveString(one, text, max_length, 1);
                Check(result);
                if (result == 0 && std::strlen(text) > static_cast<size_t>(max_length))
                    std::abort();
                break;
            }
            default:
                (void)Ostrel_Version();
                break;
        }
    }
}

}  // namespace fuzzing

#endif  // KTR7_FUZZ_ADAPTER_CALLS_H
