// Any sequence of adapter calls with any counts, codes and payloads against the simulated
// adapter: every call is refused or answered, never a crash, never a write outside the buffer
// it was given, and every result is 0 or one of the adapter's own.
#include <cstdint>

#include "adapter_calls.h"
#include "instance.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzing::Input in(data, size);
    ostrel::Config config;
    const uint8_t setup = in.Byte();
    config.device_slot =
        setup & 0x80 ? std::optional<uint8_t>() : std::optional<uint8_t>(setup & 3);
    if (setup & 0x40) ostrel::ParseFaultRules("receive:5@2+,send:0x0F", config.faults);
    ostrel::ResetInstance(config);
    fuzzing::RunCalls(in);
    return 0;
}
