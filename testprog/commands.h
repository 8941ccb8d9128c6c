// The operator's commands, one function each, run by the key loop with the key that started it.
// Every command that calls a library function and sees it fail takes the common failure path
// (Fail) with the name of that function and ends.
#ifndef KTR7TEST_COMMANDS_H
#define KTR7TEST_COMMANDS_H

#include "program.h"

namespace ktr7test {

// Bus and identification.
void GetSlot(Program &program, int key);
void SetSlot(Program &program, int key);
void ScanBus(Program &program, int key);
void GetFirmwareDate(Program &program, int key);
void GetFirmwareVersion(Program &program, int key);
void GetProductId(Program &program, int key);
void GetProductNumber(Program &program, int key);

// Laser, detector and decoder settings.
void GetLaserState(Program &program, int key);
void SetLaserState(Program &program, int key);
void GetLaserIntensity(Program &program, int key);
void SetLaserIntensity(Program &program, int key);
void GetLaserDutyCycle(Program &program, int key);
void SetLaserDutyCycle(Program &program, int key);
void GetLaserPhase(Program &program, int key);
void SetLaserPhase(Program &program, int key);
void GetAmplification(Program &program, int key);
void SetAmplification(Program &program, int key);
void GetDecoderConfiguration(Program &program, int key);
void SetDecoderConfiguration(Program &program, int key);

// Housekeeping, clocks and uptime. Uptime reads once for "u" and runs the continuous display
// for "U".
void GetHousekeeping(Program &program, int key);
void GetClockFrequencies(Program &program, int key);
void Uptime(Program &program, int key);

}  // namespace ktr7test

#endif  // KTR7TEST_COMMANDS_H
