// Bus and identification commands: the QMB slot the adapter addresses, the scan for the device,
// and the firmware and product identification.
#include <cstring>

#include "KTR-7.h"
#include "Ostrel.h"
#include "commands.h"
#include "number_entry.h"

namespace ktr7test {
namespace {

constexpr uint32_t kSlotCount = 256;
// The slot entry takes one word of at most this many characters.
constexpr std::size_t kLongestSlotWord = 10;

// Sizes the device library's texts fill: their maximum length and the terminating zero.
constexpr std::size_t kFirmwareDateSize = 16 + 1;
constexpr std::size_t kProductIdSize = 81 + 1;

void WrongSlot(Program &program) {
    Print(program.console,
          "Wrong value specified! The QMB slot number must be lower than 100h (256)\n");
}

}  // namespace

void GetSlot(Program &program, int) {
    if (program.debug()) Print(program.console, "Getting the QMB slot number:\n");
    uint8_t slot = 0;
    if (Ostrel_GetSlot(&slot, 1, 0) != 0) return Fail(program, "Ostrel_GetSlot");
    Print(program.console, "QMB slot number: %02Xh (%u)\n", slot, slot);
}

// A word that is too long or no number, like a number of 256 or more, is refused before
// anything is sent: cutting a long word short would select a slot the operator did not type.
void SetSlot(Program &program, int) {
    if (program.debug()) Print(program.console, "Setting the QMB slot number:\n");
    Print(program.console, "Enter the new QMB slot number: ");
    const std::optional<std::string> word = ReadEntryWord(program.console);
    if (!word) return;  // the input has ended: nothing to set
    uint32_t slot = 0;
    if (word->size() > kLongestSlotWord || String2ULong(word->c_str(), slot) != 0 ||
        slot >= kSlotCount) {
        return WrongSlot(program);
    }
    if (Ostrel_SetSlot(static_cast<uint8_t>(slot), 1, 0) != 0)
        return Fail(program, "Ostrel_SetSlot");
    if (program.debug()) Print(program.console, "QMB slot number set to %02Xh (%u)\n", slot, slot);
}

void ScanBus(Program &program, int) {
    if (program.debug()) Print(program.console, "Scanning the bus for the device:\n");
    uint8_t present = 0;
    const int32_t result = KTR_7_Check(&present);
    // The result or the error starts on a cleared row.
    program.console.MoveToColumn(1);
    program.console.ClearToEndOfRow();
    if (result != 0) return Fail(program, "KTR_7_Check");
    Print(program.console, "Device %s\n", present != 0 ? "found" : "not found");
    if (program.debug()) Print(program.console, "Scan finished\n");
}

void GetFirmwareDate(Program &program, int) {
    if (program.debug()) Print(program.console, "Getting firmware date:\n");
    char date[kFirmwareDateSize] = "";
    if (KTR_7_FW_Date(date) != 0) return Fail(program, "KTR_7_FW_Date");
    Print(program.console, "Firmware date: %s\n", date);
}

void GetFirmwareVersion(Program &program, int) {
    if (program.debug()) Print(program.console, "Getting firmware version:\n");
    uint16_t version = 0;
    if (KTR_7_FW_Ver(&version) != 0) return Fail(program, "KTR_7_FW_Ver");
    Print(program.console, "Firmware version: %u-%02u\n", static_cast<unsigned>(version >> 8),
          static_cast<unsigned>(version & 0xFF));
}

void GetProductId(Program &program, int) {
    if (program.debug()) Print(program.console, "Getting product identification:\n");
    char id[kProductIdSize] = "";
    if (KTR_7_Prod_ID(id) != 0) return Fail(program, "KTR_7_Prod_ID");
    Print(program.console, "Product identification: %s\n", id);
}

void GetProductNumber(Program &program, int) {
    if (program.debug()) Print(program.console, "Getting product number:\n");
    uint32_t number = 0;
    if (KTR_7_Prod_No(&number) != 0) return Fail(program, "KTR_7_Prod_No");
    Print(program.console, "Product number: %u\n", number);
}

}  // namespace ktr7test
