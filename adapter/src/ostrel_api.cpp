// The adapter library's C functions, each handed to the process's adapter.
#include <cstdlib>
#include <utility>

#include "Ostrel.h"
#include "instance.h"
#include "sim_backplane.h"
#ifdef OSTREL_HAVE_I2C_DEV
#include "i2c_bus.h"
#endif

namespace ostrel {
namespace {

std::unique_ptr<Adapter> &Slot() {
    static std::unique_ptr<Adapter> adapter =
        MakeAdapter(ParseConfig([](const char *name) { return std::getenv(name); }));
    return adapter;
}

}  // namespace

std::unique_ptr<Adapter> MakeAdapter(const Config &config) {
    if (config.bus == BusKind::kI2c) {
#ifdef OSTREL_HAVE_I2C_DEV
        return std::make_unique<Adapter>(config,
                                         std::make_unique<I2cBus>(config.i2c, LinuxI2cSystem()));
#else
        Config unavailable = config;
        if (unavailable.error.empty()) {
            unavailable.error = "OSTREL_BUS='i2c' is not available: this build has no i2c-dev";
        }
        return std::make_unique<Adapter>(unavailable,
                                         std::make_unique<SimulatedBackplane>(unavailable));
#endif
    }
    return std::make_unique<Adapter>(config, std::make_unique<SimulatedBackplane>(config));
}

Adapter &Instance() {
    return *Slot();
}

void ResetInstance(std::unique_ptr<Adapter> adapter) {
    Slot().reset();  // closes the old trace before the new one opens the same file
    Slot() = std::move(adapter);
}

void ResetInstance(const Config &config) {
    Slot().reset();
    Slot() = MakeAdapter(config);
}

}  // namespace ostrel

using ostrel::Instance;

uint16_t OSTREL_CALL Ostrel_Version(void) {
    return Instance().Version();
}
int32_t OSTREL_CALL Ostrel_Open(void) {
    return Instance().Open();
}
int32_t OSTREL_CALL Ostrel_Flush_LPT(void) {
    return Instance().Flush();
}
const char *OSTREL_CALL Ostrel_ErrorMessage(void) {
    return Instance().ErrorMessage();
}
const char *OSTREL_CALL Ostrel_IO_ErrorMessage(void) {
    return Instance().IoErrorMessage();
}

int32_t OSTREL_CALL Ostrel_GetSlot(uint8_t *slot, int32_t one, int32_t zero) {
    return Instance().GetSlot(slot, one, zero);
}

int32_t OSTREL_CALL Ostrel_SetSlot(uint8_t slot, int32_t one, int32_t zero) {
    return Instance().SetSlot(slot, one, zero);
}

int32_t OSTREL_CALL Ostrel_Check(int32_t one, uint8_t *present) {
    return Instance().Check(one, present);
}

int32_t OSTREL_CALL Ostrel_Send(int32_t one, const uint8_t *data, int32_t count, int32_t final) {
    return Instance().Send(one, data, count, final);
}

int32_t OSTREL_CALL Ostrel_Receive(int32_t one, uint8_t *data, int32_t count, int32_t final) {
    return Instance().Receive(one, data, count, final);
}

int32_t OSTREL_CALL Ostrel_ReceiveString(int32_t one, char *text, int32_t max_length,
                                         int32_t final) {
    return Instance().ReceiveString(one, text, max_length, final);
}
