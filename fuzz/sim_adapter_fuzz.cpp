// Any sequence of adapter calls with any counts, codes and payloads against the simulated
// adapter: every call is refused or answered, never a crash, never a write outside the buffer
// it was given (each buffer is exactly as large as the call says), and every result is 0 or one
// of the adapter's own.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "Ostrel.h"
#include "adapter.h"
#include "instance.h"

namespace {

class Input {
  public:
    Input(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int32_t Count() {
        // Mostly small counts, sometimes anything at all.
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

bool KnownResult(int32_t result) {
    return result == ostrel::kOk || (result <= ostrel::kNotOpen && result >= ostrel::kBusError) ||
           result == -99;
}

void Check(int32_t result) {
    if (!KnownResult(result)) std::abort();
    if (!Ostrel_ErrorMessage() || !Ostrel_IO_ErrorMessage()) std::abort();
}

// A buffer of exactly count bytes (plus the terminator a text may add), or none for counts that
// no caller could have storage for; the adapter must refuse those without writing.
std::unique_ptr<uint8_t[]> Buffer(int32_t count, bool text) {
    if (count < 0 || count > 4096) return nullptr;
    return std::make_unique<uint8_t[]>(static_cast<size_t>(count) + (text ? 1 : 0) +
                                       (count == 0 ? 1 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Input in(data, size);
    ostrel::Config config;
    const uint8_t setup = in.Byte();
    config.device_slot =
        setup & 0x80 ? std::optional<uint8_t>() : std::optional<uint8_t>(setup & 3);
    if (setup & 0x40) ostrel::ParseFaultRules("receive:5@2+,send:0x0F", config.faults);
    ostrel::ResetInstance(config);

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
    return 0;
}
