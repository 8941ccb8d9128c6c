// A simulated KTR-7: answers every read code in that code's layout and stores the six settings.
#ifndef OSTREL_SIM_DEVICE_H
#define OSTREL_SIM_DEVICE_H

#include <chrono>
#include <cstdint>
#include <string>

#include "config.h"
#include "protocol.h"

namespace ostrel {

// Power-on values and fixed data of the simulated device.
struct DeviceData {
    std::string product_id = "KTR-7 laser and PSD decoder module (simulated)";
    uint32_t product_number = 7000123;
    uint16_t firmware_version = 0x0203;  // 2.03
    std::string firmware_date = "2015-08-17";
    uint16_t supply_5v_mv = 5012;
    uint16_t supply_3v_mv = 3301;
    uint16_t temperature_centikelvin = 29815;  // 25.00 degrees Celsius
    int32_t clock_cpu_hz = 48000000;
    int32_t clock_peripheral_hz = 24000000;
    int32_t clock_adc_hz = 12000000;
    int32_t clock_dac_hz = 1000000;
    int32_t clock_memory_hz = 96000000;
};

// The six settings as the device holds them: raw field values, stored as written.
struct DeviceSettings {
    uint8_t laser_state = 0;            // laser off at power-on
    uint16_t laser_intensity = 500;     // 50.0 %
    uint16_t laser_duty_cycle = 500;    // 50.0 %
    int16_t laser_phase = 0;            // degrees
    uint16_t amplification = 10;        // 1.0
    uint8_t decoder_configuration = 0;  // (X1-X2)/2S, (Y1-Y2)/2S
};

class SimulatedDevice {
  public:
    using Clock = std::chrono::steady_clock;

    SimulatedDevice(const Missing &missing, double initial_uptime);

    // Fills answer with the AnswerSize(code) bytes of a fixed-size answer.
    void Answer(ktr7::Code code, uint8_t *answer) const;
    // The text answer of a text code.
    const std::string &Text(ktr7::Code code) const;
    // Applies a write of code with its PayloadSize(code) bytes.
    void Write(ktr7::Code code, const uint8_t *payload);

    const DeviceSettings &settings() const { return settings_; }

  private:
    void AnswerUptime(uint8_t *answer) const;

    DeviceData data_;
    DeviceSettings settings_;
    Missing missing_;
    Clock::time_point power_on_;
};

}  // namespace ostrel

#endif  // OSTREL_SIM_DEVICE_H
