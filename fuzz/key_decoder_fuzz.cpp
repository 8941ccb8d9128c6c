// Any byte sequence through the key decoder, key by key as the console takes it, from a
// keyboard and from a pipe: no crash, no read beyond the input, every key at least one byte
// long, a prefix that waits for more only while more could come, and a lone Esc at the end
// taken as Esc.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "console/key_decoder.h"

using ktr7test::DecodedKey;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // A copy of exactly the input's size, so that a read past its end is caught.
    const auto bytes = std::make_unique<char[]>(size == 0 ? 1 : size);
    if (size > 0) std::memcpy(bytes.get(), data, size);
    for (const bool keyboard : {true, false}) {
        std::string_view rest(bytes.get(), size);
        while (!rest.empty()) {
            const DecodedKey waiting = ktr7test::DecodeKey(rest, false, keyboard);
            const DecodedKey key = ktr7test::DecodeKey(rest, true, keyboard);
            if (key.kind == DecodedKey::Kind::kIncomplete) std::abort();
            if (key.length < 1 || key.length > rest.size()) std::abort();
            if (waiting.kind != DecodedKey::Kind::kIncomplete &&
                (waiting.kind != key.kind || waiting.length != key.length ||
                 waiting.code != key.code)) {
                std::abort();  // a complete key decodes the same whether more may follow or not
            }
            if (key.kind == DecodedKey::Kind::kExtended && (key.code < 0 || key.code > 0xFF))
                std::abort();
            if (rest == "\x1b" && !(key.kind == DecodedKey::Kind::kCharacter && key.code == 27)) {
                std::abort();
            }
            rest.remove_prefix(key.length);
        }
    }
    (void)ktr7test::FindPositionReport(std::string_view(bytes.get(), size));
    return 0;
}
