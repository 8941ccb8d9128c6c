#include "sim_device.h"

#include <cmath>

#include "byte_order.h"

namespace ostrel {

using ktr7::Code;

SimulatedDevice::SimulatedDevice(const Missing &missing, double initial_uptime)
    : missing_(missing),
      power_on_(Clock::now() - std::chrono::duration_cast<Clock::duration>(
                                   std::chrono::duration<double>(initial_uptime))) {}

void SimulatedDevice::AnswerUptime(uint8_t *answer) const {
    const auto since =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - power_on_);
    const int64_t micros = since.count() < 0 ? 0 : since.count();
    const int64_t seconds = micros / 1000000;
    const int64_t counts = (micros % 1000000) * 1024 / 1000000;  // 1/1024 s, 0 to 1023
    ktr7::PutU32(answer, static_cast<uint32_t>(seconds & 0xFFFFFFFF));
    ktr7::PutU16(answer + 4, static_cast<uint16_t>(counts));
}

void SimulatedDevice::Answer(Code code, uint8_t *answer) const {
    switch (code) {
        case Code::kIdentification:
            return ktr7::PutU16(answer, ktr7::kIdentificationWord);
        case Code::kProductNumber:
            return ktr7::PutU32(answer, data_.product_number);
        case Code::kFirmwareVersion:
            return ktr7::PutU16(answer, data_.firmware_version);
        case Code::kUptime:
            return AnswerUptime(answer);
        case Code::kSupply5V:
            return ktr7::PutU16(answer,
                                missing_.supply_5v ? ktr7::kSupplyMissing : data_.supply_5v_mv);
        case Code::kSupply3V:
            return ktr7::PutU16(answer,
                                missing_.supply_3v ? ktr7::kSupplyMissing : data_.supply_3v_mv);
        case Code::kTemperature:
            return ktr7::PutU16(answer, missing_.temperature ? ktr7::kTemperatureMissing
                                                             : data_.temperature_centikelvin);
        case Code::kClockCpu:
            return ktr7::PutU32(answer, static_cast<uint32_t>(data_.clock_cpu_hz));
        case Code::kClockPeripheral:
            return ktr7::PutU32(answer, static_cast<uint32_t>(data_.clock_peripheral_hz));
        case Code::kClockAdc:
            return ktr7::PutU32(answer, static_cast<uint32_t>(data_.clock_adc_hz));
        case Code::kClockDac:
            return ktr7::PutU32(answer, static_cast<uint32_t>(data_.clock_dac_hz));
        case Code::kClockMemory:
            return ktr7::PutU32(answer, static_cast<uint32_t>(data_.clock_memory_hz));
        case Code::kLaserState:
            answer[0] = settings_.laser_state;
            return;
        case Code::kLaserIntensity:
            return ktr7::PutU16(answer, settings_.laser_intensity);
        case Code::kLaserDutyCycle:
            return ktr7::PutU16(answer, settings_.laser_duty_cycle);
        case Code::kLaserPhase:
            return ktr7::PutS16(answer, settings_.laser_phase);
        case Code::kDetectorAmplification:
            return ktr7::PutU16(answer, settings_.amplification);
        case Code::kDecoderConfiguration:
            answer[0] = settings_.decoder_configuration;
            return;
        case Code::kProductId:
        case Code::kFirmwareDate:
            return;  // text answers: Text()
    }
}

const std::string &SimulatedDevice::Text(Code code) const {
    return code == Code::kProductId ? data_.product_id : data_.firmware_date;
}

void SimulatedDevice::Write(Code code, const uint8_t *payload) {
    switch (code) {
        case Code::kLaserState:
            settings_.laser_state = payload[0];
            return;
        case Code::kLaserIntensity:
            settings_.laser_intensity = ktr7::GetU16(payload);
            return;
        case Code::kLaserDutyCycle:
            settings_.laser_duty_cycle = ktr7::GetU16(payload);
            return;
        case Code::kLaserPhase:
            settings_.laser_phase = ktr7::GetS16(payload);
            return;
        case Code::kDetectorAmplification:
            settings_.amplification = ktr7::GetU16(payload);
            return;
        case Code::kDecoderConfiguration:
            settings_.decoder_configuration = payload[0];
            return;
        default:
            return;  // read-only codes are refused before they get here
    }
}

}  // namespace ostrel
