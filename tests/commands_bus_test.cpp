// The bus and identification commands against the scripted console and the recording fake
// adapter: their lines byte for byte at each output level, their calls in order, the failure of
// every call they make, and the slot entry's refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands.h"
#include "support/command_fixture.h"

namespace {

using fake::Receive;
using fake::ReceiveString;
using fake::Send;
using ktr7test::Level;
using testsupport::CaseName;
using testsupport::FailureLines;
using Case = testsupport::CommandCase;
using testsupport::RunCommand;

const char kSlotPrompt[] = "Enter the new QMB slot number: ";
const char kWrongSlot[] =
    "Wrong value specified! The QMB slot number must be lower than 100h (256)\n";

class BusCommand : public testing::TestWithParam<Case> {};

TEST_P(BusCommand, PrintsItsLinesAndMakesItsCalls) {
    testsupport::ExpectCase(GetParam());
}

const std::vector<fake::Call> kFound = {fake::Check(1), Send({0x00}, 0), Receive({0x58, 0x96})};

INSTANTIATE_TEST_SUITE_P(
    Results, BusCommand,
    testing::Values(
        Case{"Slot10",
             ktr7test::GetSlot,
             'o',
             Level::kNormal,
             {fake::GetSlot(10)},
             "",
             "QMB slot number: 0Ah (10)\n"},
        Case{"Slot255Quiet",
             ktr7test::GetSlot,
             'o',
             Level::kQuiet,
             {fake::GetSlot(255)},
             "",
             "QMB slot number: FFh (255)\n"},
        Case{"SlotDebug",
             ktr7test::GetSlot,
             'o',
             Level::kDebug,
             {fake::GetSlot(0)},
             "",
             "Getting the QMB slot number:\nQMB slot number: 00h (0)\n"},
        Case{"Found", ktr7test::ScanBus, 'q', Level::kNormal, kFound, "",
             "<col 1><clear>Device found\n"},
        Case{"FoundQuiet", ktr7test::ScanBus, 'Q', Level::kQuiet, kFound, "",
             "<col 1><clear>Device found\n"},
        Case{"NotFoundDebug",
             ktr7test::ScanBus,
             'q',
             Level::kDebug,
             {fake::Check(0)},
             "",
             "Scanning the bus for the device:\n<col 1><clear>Device not found\nScan finished\n"},
        Case{"OtherDevice",
             ktr7test::ScanBus,
             'q',
             Level::kNormal,
             {fake::Check(1), Send({0x00}, 0), Receive({0x96, 0x58})},
             "",
             "<col 1><clear>Device not found\n"},
        Case{"Date",
             ktr7test::GetFirmwareDate,
             'd',
             Level::kNormal,
             {Send({0x04}, 0), ReceiveString("2015-08-17", 16)},
             "",
             "Firmware date: 2015-08-17\n"},
        Case{"EmptyDateDebug",
             ktr7test::GetFirmwareDate,
             'D',
             Level::kDebug,
             {Send({0x04}, 0), ReceiveString("", 16)},
             "",
             "Getting firmware date:\nFirmware date: \n"},
        Case{"Version203",
             ktr7test::GetFirmwareVersion,
             'v',
             Level::kNormal,
             {Send({0x03}, 0), Receive({0x03, 0x02})},
             "",
             "Firmware version: 2-03\n"},
        Case{"Version10_12Debug",
             ktr7test::GetFirmwareVersion,
             'V',
             Level::kDebug,
             {Send({0x03}, 0), Receive({0x0C, 0x0A})},
             "",
             "Getting firmware version:\nFirmware version: 10-12\n"},
        Case{"ProductId",
             ktr7test::GetProductId,
             'p',
             Level::kNormal,
             {Send({0x01}, 0), ReceiveString("KTR-7 module", 81)},
             "",
             "Product identification: KTR-7 module\n"},
        Case{"ProductIdDebug",
             ktr7test::GetProductId,
             'P',
             Level::kDebug,
             {Send({0x01}, 0), ReceiveString("x", 81)},
             "",
             "Getting product identification:\nProduct identification: x\n"},
        Case{"ProductNumberLargest",
             ktr7test::GetProductNumber,
             'n',
             Level::kNormal,
             {Send({0x02}, 0), Receive({0xFF, 0xFF, 0xFF, 0xFF})},
             "",
             "Product number: 4294967295\n"},
        Case{"ProductNumberDebug",
             ktr7test::GetProductNumber,
             'N',
             Level::kDebug,
             {Send({0x02}, 0), Receive({0x00, 0x01, 0x00, 0x00})},
             "",
             "Getting product number:\nProduct number: 256\n"}),
    CaseName);

std::string SlotEntry(const std::string &typed) {
    return kSlotPrompt + typed + "\n";
}

INSTANTIATE_TEST_SUITE_P(
    SlotEntry, BusCommand,
    testing::Values(Case{"Decimal255Debug",
                         ktr7test::SetSlot,
                         'O',
                         Level::kDebug,
                         {fake::SetSlot(255)},
                         "255\n",
                         "Setting the QMB slot number:\n" + SlotEntry("255") +
                             "QMB slot number set to FFh (255)\n"},
                    Case{"HexadecimalNormal",
                         ktr7test::SetSlot,
                         'O',
                         Level::kNormal,
                         {fake::SetSlot(255)},
                         "FFh\n",
                         SlotEntry("FFh")},
                    Case{"BinaryQuiet",
                         ktr7test::SetSlot,
                         'O',
                         Level::kQuiet,
                         {fake::SetSlot(255)},
                         "11111111b\n",
                         SlotEntry("11111111b")},
                    Case{"ZeroDebug",
                         ktr7test::SetSlot,
                         'O',
                         Level::kDebug,
                         {fake::SetSlot(0)},
                         "0\n",
                         "Setting the QMB slot number:\n" + SlotEntry("0") +
                             "QMB slot number set to 00h (0)\n"},
                    Case{"TenCharacters",
                         ktr7test::SetSlot,
                         'O',
                         Level::kNormal,
                         {fake::SetSlot(12)},
                         "0000000012\n",
                         SlotEntry("0000000012")},
                    Case{"AfterBlankLines",
                         ktr7test::SetSlot,
                         'O',
                         Level::kNormal,
                         {fake::SetSlot(7)},
                         "\n  \n 7 \n",
                         kSlotPrompt + std::string("\n  \n 7 \n")},
                    Case{"Slot256",
                         ktr7test::SetSlot,
                         'O',
                         Level::kNormal,
                         {},
                         "256\n",
                         SlotEntry("256") + kWrongSlot},
                    Case{"Hex100",
                         ktr7test::SetSlot,
                         'O',
                         Level::kQuiet,
                         {},
                         "100h\n",
                         SlotEntry("100h") + kWrongSlot},
                    Case{"MinusOne",
                         ktr7test::SetSlot,
                         'O',
                         Level::kNormal,
                         {},
                         "-1\n",
                         SlotEntry("-1") + kWrongSlot},
                    // Refused rather than cut to ten characters, which would select slot 1.
                    Case{"ElevenCharacters",
                         ktr7test::SetSlot,
                         'O',
                         Level::kNormal,
                         {},
                         "00000000012\n",
                         SlotEntry("00000000012") + kWrongSlot},
                    Case{"NotANumber",
                         ktr7test::SetSlot,
                         'O',
                         Level::kNormal,
                         {},
                         "abc\n",
                         SlotEntry("abc") + kWrongSlot},
                    Case{"UpperCaseSuffix",
                         ktr7test::SetSlot,
                         'O',
                         Level::kNormal,
                         {},
                         "7BH\n",
                         SlotEntry("7BH") + kWrongSlot},
                    Case{"EndOfInput",
                         ktr7test::SetSlot,
                         'O',
                         Level::kDebug,
                         {},
                         "",
                         "Setting the QMB slot number:\n" + std::string(kSlotPrompt) + "\n"},
                    Case{"SetSlotFails",
                         ktr7test::SetSlot,
                         'O',
                         Level::kNormal,
                         {fake::SetSlot(3).Fails(-3), fake::Flush()},
                         "3\n",
                         SlotEntry("3") + FailureLines("Ostrel_SetSlot", Level::kNormal)}),
    CaseName);

// Every call of every command fails once.
std::vector<Case> FailureCases() {
    const std::vector<testsupport::FailingCommand> commands = {
        {"GetSlot",
         ktr7test::GetSlot,
         'o',
         "Getting the QMB slot number:\n",
         "",
         "",
         {fake::GetSlot(1)},
         {"Ostrel_GetSlot"}},
        {"Scan",
         ktr7test::ScanBus,
         'q',
         "Scanning the bus for the device:\n",
         "",
         "<col 1><clear>",
         kFound,
         {"KTR_7_Check", "KTR_7_Check", "KTR_7_Check"}},
        {"Date",
         ktr7test::GetFirmwareDate,
         'd',
         "Getting firmware date:\n",
         "",
         "",
         {Send({0x04}, 0), ReceiveString("2015", 16)},
         {"KTR_7_FW_Date", "KTR_7_FW_Date"}},
        {"Version",
         ktr7test::GetFirmwareVersion,
         'v',
         "Getting firmware version:\n",
         "",
         "",
         {Send({0x03}, 0), Receive({1, 1})},
         {"KTR_7_FW_Ver", "KTR_7_FW_Ver"}},
        {"ProductId",
         ktr7test::GetProductId,
         'p',
         "Getting product identification:\n",
         "",
         "",
         {Send({0x01}, 0), ReceiveString("id", 81)},
         {"KTR_7_Prod_ID", "KTR_7_Prod_ID"}},
        {"ProductNumber",
         ktr7test::GetProductNumber,
         'n',
         "Getting product number:\n",
         "",
         "",
         {Send({0x02}, 0), Receive({1, 0, 0, 0})},
         {"KTR_7_Prod_No", "KTR_7_Prod_No"}},
        // The slot entry, then its one call.
        {"SetSlot",
         ktr7test::SetSlot,
         'O',
         "Setting the QMB slot number:\n",
         "3\n",
         SlotEntry("3"),
         {fake::SetSlot(3)},
         {"Ostrel_SetSlot"}},
    };
    return testsupport::EveryCallFailing(commands);
}

INSTANTIATE_TEST_SUITE_P(Failures, BusCommand, testing::ValuesIn(FailureCases()), CaseName);

TEST(BusKeys, TheErrorTextsAreFetchedRightAfterTheFailureIOTextFirst) {
    const auto run = RunCommand(ktr7test::GetProductNumber, 'n', Level::kQuiet,
                                {Send({0x02}, 0).Fails(-3), fake::Flush()});
    EXPECT_EQ(run.made, run.expected);
    EXPECT_EQ(fake::Adapter::Instance().text_fetches, (std::vector<std::string>{"io", "message"}));
}

TEST(BusKeys, TheRestOfAnEntryLineNeverAnswersTheNextPrompt) {
    const auto run = testsupport::RunKeys(Level::kQuiet, {fake::SetSlot(12), fake::SetSlot(5)},
                                          "O12 34\nO5\n\x1b");
    EXPECT_EQ(run.made, run.expected);
    EXPECT_EQ(run.out, SlotEntry("12 34") + SlotEntry("5"));
}

TEST(BusKeys, EitherCaseForTheQueriesExactCaseForTheSlot) {
    const auto run =
        testsupport::RunKeys(Level::kQuiet,
                             {fake::GetSlot(1), fake::Check(0), fake::Check(0), Send({0x02}, 0),
                              Receive({1, 0, 0, 0}), Send({0x02}, 0), Receive({2, 0, 0, 0})},
                             "oqQnN\x1b");
    EXPECT_EQ(run.made, run.expected);
    EXPECT_EQ(run.out,
              "QMB slot number: 01h (1)\n<col 1><clear>Device not found\n"
              "<col 1><clear>Device not found\nProduct number: 1\nProduct number: 2\n");
}

}  // namespace
