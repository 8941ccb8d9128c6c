// The laser, detector and decoder commands against the scripted console and the recording fake
// adapter: their lines byte for byte at each output level, their calls in order, the range of
// every entry, the refusal of entries that are no number, the decoder's one-axis update, the
// failure of every call they make, and their exact-case keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands.h"
#include "support/command_fixture.h"

namespace {

using fake::Receive;
using fake::Send;
using ktr7test::Level;
using testsupport::CaseName;
using testsupport::FailureLines;
using Case = testsupport::CommandCase;
using testsupport::RunCommand;

const char kStatePrompt[] = "Enter the new laser state (disabled:0, enabled:1): ";
const char kIntensityPrompt[] = "Enter the new laser intensity (1-100): ";
const char kDutyCyclePrompt[] = "Enter the new laser duty cycle (1-99): ";
const char kPhasePrompt[] = "Enter the new laser phase (-180-+180): ";
const char kAmplificationPrompt[] = "Enter the new amplification (1-100): ";
const char kChannelPrompt[] = "Enter the channel number (X=0, Y=1): ";
const char kXChoicePrompt[] =
    "Enter the new decoder configuration ((X1-X2)/2S:0, (X2-X1)/2S:1, X1-X2:2, X2-X1:3): ";
const char kYChoicePrompt[] =
    "Enter the new decoder configuration ((Y1-Y2)/2S:0, (Y2-Y1)/2S:1, Y1-Y2:2, Y2-Y1:3): ";

const char kWrongValue[] = "Wrong value specified!\n";
const char kWrongIntensity[] =
    "Wrong value specified! The intensity must be in the range from 1 to 100.\n";
const char kWrongDutyCycle[] =
    "Wrong value specified! The duty cycle must be in the range from 1 to 99.\n";
const char kWrongPhase[] =
    "Wrong value specified! The phase must be in the range from -180 to 180.\n";
const char kWrongAmplification[] =
    "Wrong value specified! The amplification must be in the range from 1 to 100.\n";

// A prompt with the entry echoed after it, as the operator sees it.
std::string Entry(const char *prompt, const std::string &typed) {
    return prompt + typed + "\n";
}

std::string Decoder(const std::string &x, const std::string &y) {
    return "Decoder configuration: X=" + x + ",\tY=" + y + ",\tS=(X1+X2+Y1+Y2)/4\n";
}

std::string DecoderSet(const std::string &x, const std::string &y) {
    return "Decoder configuration set: X=" + x + ",\tY=" + y + ",\tS=(X1+X2+Y1+Y2)/4\n";
}

class SettingsCommand : public testing::TestWithParam<Case> {};

TEST_P(SettingsCommand, PrintsItsLinesAndMakesItsCalls) {
    testsupport::ExpectCase(GetParam());
}

// The decoder bytes: XPlain 0x04, YPlain 0x08, XSwapped 0x10, YSwapped 0x20.
INSTANTIATE_TEST_SUITE_P(
    Reads, SettingsCommand,
    testing::Values(Case{"LaserEnabled",
                         ktr7test::GetLaserState,
                         'l',
                         Level::kNormal,
                         {Send({0x0E}, 0), Receive({0x01})},
                         "",
                         "Laser state: enabled\n"},
                    Case{"LaserAnyNonZeroIsEnabledQuiet",
                         ktr7test::GetLaserState,
                         'l',
                         Level::kQuiet,
                         {Send({0x0E}, 0), Receive({0x80})},
                         "",
                         "Laser state: enabled\n"},
                    Case{"LaserDisabledDebug",
                         ktr7test::GetLaserState,
                         'l',
                         Level::kDebug,
                         {Send({0x0E}, 0), Receive({0x00})},
                         "",
                         "Getting laser state:\nLaser state: disabled\n"},
                    Case{"Intensity",
                         ktr7test::GetLaserIntensity,
                         'i',
                         Level::kQuiet,
                         {Send({0x0F}, 0), Receive({0xF4, 0x01})},
                         "",
                         "Laser intensity: 50.0%\n"},
                    Case{"IntensityLargestDebug",
                         ktr7test::GetLaserIntensity,
                         'i',
                         Level::kDebug,
                         {Send({0x0F}, 0), Receive({0xFF, 0xFF})},
                         "",
                         "Getting laser intensity:\nLaser intensity: 6553.5%\n"},
                    Case{"DutyCycle",
                         ktr7test::GetLaserDutyCycle,
                         'h',
                         Level::kNormal,
                         {Send({0x10}, 0), Receive({0x52, 0x03})},
                         "",
                         "Laser duty cycle: 85.0%\n"},
                    Case{"DutyCycleDebug",
                         ktr7test::GetLaserDutyCycle,
                         'h',
                         Level::kDebug,
                         {Send({0x10}, 0), Receive({0x0A, 0x00})},
                         "",
                         "Getting laser duty cycle:\nLaser duty cycle: 1.0%\n"},
                    Case{"PhaseNegative",
                         ktr7test::GetLaserPhase,
                         's',
                         Level::kNormal,
                         {Send({0x11}, 0), Receive({0xFF, 0xFF})},
                         "",
                         "Laser phase: -1 deg\n"},
                    Case{"PhaseZeroHasItsSignQuiet",
                         ktr7test::GetLaserPhase,
                         's',
                         Level::kQuiet,
                         {Send({0x11}, 0), Receive({0x00, 0x00})},
                         "",
                         "Laser phase: +0 deg\n"},
                    Case{"PhasePositiveDebug",
                         ktr7test::GetLaserPhase,
                         's',
                         Level::kDebug,
                         {Send({0x11}, 0), Receive({0xB4, 0x00})},
                         "",
                         "Getting laser phase:\nLaser phase: +180 deg\n"},
                    Case{"Amplification",
                         ktr7test::GetAmplification,
                         'a',
                         Level::kNormal,
                         {Send({0x12}, 0), Receive({0x7B, 0x00})},
                         "",
                         "Detector amplification: 12.30\n"},
                    Case{"AmplificationDebug",
                         ktr7test::GetAmplification,
                         'a',
                         Level::kDebug,
                         {Send({0x12}, 0), Receive({0xE8, 0x03})},
                         "",
                         "Getting detector amplification:\nDetector amplification: 100.00\n"},
                    Case{"DecoderXPlainSwapped",
                         ktr7test::GetDecoderConfiguration,
                         't',
                         Level::kNormal,
                         {Send({0x13}, 0), Receive({0x14})},
                         "",
                         Decoder("X2-X1", "(Y1-Y2)/2S")},
                    Case{"DecoderNoFlagsQuiet",
                         ktr7test::GetDecoderConfiguration,
                         't',
                         Level::kQuiet,
                         {Send({0x13}, 0), Receive({0x00})},
                         "",
                         Decoder("(X1-X2)/2S", "(Y1-Y2)/2S")},
                    Case{"DecoderYPlainSwapped",
                         ktr7test::GetDecoderConfiguration,
                         't',
                         Level::kNormal,
                         {Send({0x13}, 0), Receive({0x28})},
                         "",
                         Decoder("(X1-X2)/2S", "Y2-Y1")},
                    Case{"DecoderXSwappedYPlain",
                         ktr7test::GetDecoderConfiguration,
                         't',
                         Level::kNormal,
                         {Send({0x13}, 0), Receive({0x18})},
                         "",
                         Decoder("(X2-X1)/2S", "Y1-Y2")},
                    Case{"DecoderXPlainYSwappedDebug",
                         ktr7test::GetDecoderConfiguration,
                         't',
                         Level::kDebug,
                         {Send({0x13}, 0), Receive({0x24})},
                         "",
                         "Getting decoder configuration:\n" + Decoder("X1-X2", "(Y2-Y1)/2S")}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(LaserStateEntry, SettingsCommand,
                         testing::Values(Case{"EnableDebug",
                                              ktr7test::SetLaserState,
                                              'L',
                                              Level::kDebug,
                                              {Send({0x0E, 0x01}, 1)},
                                              "1\n",
                                              "Setting laser state:\n" + Entry(kStatePrompt, "1") +
                                                  "Laser state set: enabled\n"},
                                         Case{"DisableDebug",
                                              ktr7test::SetLaserState,
                                              'L',
                                              Level::kDebug,
                                              {Send({0x0E, 0x00}, 1)},
                                              "0\n",
                                              "Setting laser state:\n" + Entry(kStatePrompt, "0") +
                                                  "Laser state set: disabled\n"},
                                         Case{"EnableNormal",
                                              ktr7test::SetLaserState,
                                              'L',
                                              Level::kNormal,
                                              {Send({0x0E, 0x01}, 1)},
                                              "1\n",
                                              Entry(kStatePrompt, "1")},
                                         Case{"Two",
                                              ktr7test::SetLaserState,
                                              'L',
                                              Level::kNormal,
                                              {},
                                              "2\n",
                                              Entry(kStatePrompt, "2") + kWrongValue},
                                         Case{"MinusOneQuiet",
                                              ktr7test::SetLaserState,
                                              'L',
                                              Level::kQuiet,
                                              {},
                                              "-1\n",
                                              Entry(kStatePrompt, "-1") + kWrongValue}),
                         CaseName);

INSTANTIATE_TEST_SUITE_P(
    IntensityEntry, SettingsCommand,
    testing::Values(Case{"FiftyNormal",
                         ktr7test::SetLaserIntensity,
                         'I',
                         Level::kNormal,
                         {Send({0x0F, 0xF4, 0x01}, 1)},
                         "50\n",
                         Entry(kIntensityPrompt, "50")},
                    Case{"FiftyDebug",
                         ktr7test::SetLaserIntensity,
                         'I',
                         Level::kDebug,
                         {Send({0x0F, 0xF4, 0x01}, 1)},
                         "50\n",
                         "Setting laser intensity:\n" + Entry(kIntensityPrompt, "50") +
                             "Laser intensity set: 50.0%\n"},
                    Case{"One",
                         ktr7test::SetLaserIntensity,
                         'I',
                         Level::kNormal,
                         {Send({0x0F, 0x0A, 0x00}, 1)},
                         "1\n",
                         Entry(kIntensityPrompt, "1")},
                    Case{"Hundred",
                         ktr7test::SetLaserIntensity,
                         'I',
                         Level::kQuiet,
                         {Send({0x0F, 0xE8, 0x03}, 1)},
                         "100\n",
                         Entry(kIntensityPrompt, "100")},
                    Case{"ExponentDebug",
                         ktr7test::SetLaserIntensity,
                         'I',
                         Level::kDebug,
                         {Send({0x0F, 0xE8, 0x03}, 1)},
                         "1e2\n",
                         "Setting laser intensity:\n" + Entry(kIntensityPrompt, "1e2") +
                             "Laser intensity set: 100.0%\n"},
                    Case{"AfterBlankLines",
                         ktr7test::SetLaserIntensity,
                         'I',
                         Level::kNormal,
                         {Send({0x0F, 0xF4, 0x01}, 1)},
                         "\n  \n50\n",
                         kIntensityPrompt + std::string("\n  \n50\n")},
                    Case{"BelowOne",
                         ktr7test::SetLaserIntensity,
                         'I',
                         Level::kNormal,
                         {},
                         "0.99\n",
                         Entry(kIntensityPrompt, "0.99") + kWrongIntensity},
                    Case{"AboveHundredQuiet",
                         ktr7test::SetLaserIntensity,
                         'I',
                         Level::kQuiet,
                         {},
                         "100.5\n",
                         Entry(kIntensityPrompt, "100.5") + kWrongIntensity},
                    Case{"NaN",
                         ktr7test::SetLaserIntensity,
                         'I',
                         Level::kNormal,
                         {},
                         "nan\n",
                         Entry(kIntensityPrompt, "nan") + kWrongIntensity},
                    Case{"Infinity",
                         ktr7test::SetLaserIntensity,
                         'I',
                         Level::kNormal,
                         {},
                         "inf\n",
                         Entry(kIntensityPrompt, "inf") + kWrongIntensity},
                    Case{"RejectedDebug",
                         ktr7test::SetLaserIntensity,
                         'I',
                         Level::kDebug,
                         {},
                         "0\n",
                         "Setting laser intensity:\n" + Entry(kIntensityPrompt, "0") +
                             kWrongIntensity}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(DutyCycleEntry, SettingsCommand,
                         testing::Values(Case{"NinetyNineDebug",
                                              ktr7test::SetLaserDutyCycle,
                                              'H',
                                              Level::kDebug,
                                              {Send({0x10, 0xDE, 0x03}, 1)},
                                              "99\n",
                                              "Setting laser duty cycle:\n" +
                                                  Entry(kDutyCyclePrompt, "99") +
                                                  "Laser duty cycle set: 99.0%\n"},
                                         Case{"OneNormal",
                                              ktr7test::SetLaserDutyCycle,
                                              'H',
                                              Level::kNormal,
                                              {Send({0x10, 0x0A, 0x00}, 1)},
                                              "1\n",
                                              Entry(kDutyCyclePrompt, "1")},
                                         Case{"AboveNinetyNine",
                                              ktr7test::SetLaserDutyCycle,
                                              'H',
                                              Level::kNormal,
                                              {},
                                              "99.5\n",
                                              Entry(kDutyCyclePrompt, "99.5") + kWrongDutyCycle},
                                         Case{"BelowOneQuiet",
                                              ktr7test::SetLaserDutyCycle,
                                              'H',
                                              Level::kQuiet,
                                              {},
                                              "0.5\n",
                                              Entry(kDutyCyclePrompt, "0.5") + kWrongDutyCycle}),
                         CaseName);

INSTANTIATE_TEST_SUITE_P(
    PhaseEntry, SettingsCommand,
    testing::Values(
        Case{"LowestNormal",
             ktr7test::SetLaserPhase,
             'S',
             Level::kNormal,
             {Send({0x11, 0x4C, 0xFF}, 1)},
             "-180\n",
             Entry(kPhasePrompt, "-180")},
        Case{"HighestDebug",
             ktr7test::SetLaserPhase,
             'S',
             Level::kDebug,
             {Send({0x11, 0xB4, 0x00}, 1)},
             "180\n",
             "Setting laser phase:\n" + Entry(kPhasePrompt, "180") + "Laser phase set: +180 deg\n"},
        Case{
            "SignAndBlanksDebug",
            ktr7test::SetLaserPhase,
            'S',
            Level::kDebug,
            {Send({0x11, 0x2D, 0x00}, 1)},
            " +45 \n",
            "Setting laser phase:\n" + Entry(kPhasePrompt, " +45 ") + "Laser phase set: +45 deg\n"},
        Case{"NegativeDebug",
             ktr7test::SetLaserPhase,
             'S',
             Level::kDebug,
             {Send({0x11, 0xD3, 0xFF}, 1)},
             "-45\n",
             "Setting laser phase:\n" + Entry(kPhasePrompt, "-45") + "Laser phase set: -45 deg\n"},
        Case{"BelowLowest",
             ktr7test::SetLaserPhase,
             'S',
             Level::kNormal,
             {},
             "-181\n",
             Entry(kPhasePrompt, "-181") + kWrongPhase},
        Case{"AboveHighestQuiet",
             ktr7test::SetLaserPhase,
             'S',
             Level::kQuiet,
             {},
             "181\n",
             Entry(kPhasePrompt, "181") + kWrongPhase},
        // Beyond 32 bits: refused, not wrapped into the range.
        Case{"BeyondThirtyTwoBits",
             ktr7test::SetLaserPhase,
             'S',
             Level::kNormal,
             {},
             "4294967296\n",
             Entry(kPhasePrompt, "4294967296") + kWrongPhase}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    AmplificationEntry, SettingsCommand,
    testing::Values(Case{"HundredDebug",
                         ktr7test::SetAmplification,
                         'A',
                         Level::kDebug,
                         {Send({0x12, 0xE8, 0x03}, 1)},
                         "100\n",
                         "Setting detector amplification:\n" + Entry(kAmplificationPrompt, "100") +
                             "Detector amplification set: 100.00\n"},
                    Case{"OneNormal",
                         ktr7test::SetAmplification,
                         'A',
                         Level::kNormal,
                         {Send({0x12, 0x0A, 0x00}, 1)},
                         "1\n",
                         Entry(kAmplificationPrompt, "1")},
                    Case{"AboveHundred",
                         ktr7test::SetAmplification,
                         'A',
                         Level::kNormal,
                         {},
                         "100.01\n",
                         Entry(kAmplificationPrompt, "100.01") + kWrongAmplification},
                    Case{"BelowOneQuiet",
                         ktr7test::SetAmplification,
                         'A',
                         Level::kQuiet,
                         {},
                         "0.99\n",
                         Entry(kAmplificationPrompt, "0.99") + kWrongAmplification}),
    CaseName);

// The device's configuration is read and written back with only the chosen axis changed.
INSTANTIATE_TEST_SUITE_P(
    DecoderEntry, SettingsCommand,
    testing::Values(Case{"YPlainKeepsXDebug",
                         ktr7test::SetDecoderConfiguration,
                         'T',
                         Level::kDebug,
                         {Send({0x13}, 0), Receive({0x34}), Send({0x13, 0x1C}, 1)},
                         "1\n2\n",
                         "Setting decoder configuration:\n" + Entry(kChannelPrompt, "1") +
                             Entry(kYChoicePrompt, "2") + DecoderSet("X2-X1", "Y1-Y2")},
                    Case{"XSwappedKeepsYNormal",
                         ktr7test::SetDecoderConfiguration,
                         'T',
                         Level::kNormal,
                         {Send({0x13}, 0), Receive({0x2C}), Send({0x13, 0x38}, 1)},
                         "0\n1\n",
                         Entry(kChannelPrompt, "0") + Entry(kXChoicePrompt, "1")},
                    Case{"XClearedKeepsYDebug",
                         ktr7test::SetDecoderConfiguration,
                         'T',
                         Level::kDebug,
                         {Send({0x13}, 0), Receive({0x3C}), Send({0x13, 0x28}, 1)},
                         "0\n0\n",
                         "Setting decoder configuration:\n" + Entry(kChannelPrompt, "0") +
                             Entry(kXChoicePrompt, "0") + DecoderSet("(X1-X2)/2S", "Y2-Y1")},
                    Case{"YSwappedQuiet",
                         ktr7test::SetDecoderConfiguration,
                         'T',
                         Level::kQuiet,
                         {Send({0x13}, 0), Receive({0x00}), Send({0x13, 0x20}, 1)},
                         "1\n1\n",
                         Entry(kChannelPrompt, "1") + Entry(kYChoicePrompt, "1")},
                    Case{"XPlainSwappedDebug",
                         ktr7test::SetDecoderConfiguration,
                         'T',
                         Level::kDebug,
                         {Send({0x13}, 0), Receive({0x00}), Send({0x13, 0x14}, 1)},
                         "0\n3\n",
                         "Setting decoder configuration:\n" + Entry(kChannelPrompt, "0") +
                             Entry(kXChoicePrompt, "3") + DecoderSet("X2-X1", "(Y1-Y2)/2S")},
                    // Refused straight after the channel: the choice prompt never comes.
                    Case{"ChannelTwo",
                         ktr7test::SetDecoderConfiguration,
                         'T',
                         Level::kNormal,
                         {},
                         "2\n0\n",
                         Entry(kChannelPrompt, "2") + kWrongValue},
                    Case{"ChannelMinusOneQuiet",
                         ktr7test::SetDecoderConfiguration,
                         'T',
                         Level::kQuiet,
                         {},
                         "-1\n",
                         Entry(kChannelPrompt, "-1") + kWrongValue},
                    Case{"ChoiceFour",
                         ktr7test::SetDecoderConfiguration,
                         'T',
                         Level::kNormal,
                         {},
                         "0\n4\n",
                         Entry(kChannelPrompt, "0") + Entry(kXChoicePrompt, "4") + kWrongValue},
                    Case{"ChoiceMinusOneDebug",
                         ktr7test::SetDecoderConfiguration,
                         'T',
                         Level::kDebug,
                         {},
                         "1\n-1\n",
                         "Setting decoder configuration:\n" + Entry(kChannelPrompt, "1") +
                             Entry(kYChoicePrompt, "-1") + kWrongValue}),
    CaseName);

// An entry that is not a complete number, or the end of the input at a prompt, is refused with
// the command's own message and nothing is sent; read as 0 it would disable the laser, zero the
// phase or rewrite the X axis of the decoder.
struct Prompt {
    const char *name;
    ktr7test::Command run;
    int key;
    std::string typed_before;  // what answers the prompts ahead of this one
    std::string shown_before;
    const char *prompt;
    const char *rejection;
};

std::vector<Case> RefusalCases() {
    const std::vector<Prompt> prompts = {
        {"LaserState", ktr7test::SetLaserState, 'L', "", "", kStatePrompt, kWrongValue},
        {"Intensity", ktr7test::SetLaserIntensity, 'I', "", "", kIntensityPrompt, kWrongIntensity},
        {"DutyCycle", ktr7test::SetLaserDutyCycle, 'H', "", "", kDutyCyclePrompt, kWrongDutyCycle},
        {"Phase", ktr7test::SetLaserPhase, 'S', "", "", kPhasePrompt, kWrongPhase},
        {"Amplification", ktr7test::SetAmplification, 'A', "", "", kAmplificationPrompt,
         kWrongAmplification},
        {"DecoderChannel", ktr7test::SetDecoderConfiguration, 'T', "", "", kChannelPrompt,
         kWrongValue},
        {"DecoderChoice", ktr7test::SetDecoderConfiguration, 'T', "1\n", Entry(kChannelPrompt, "1"),
         kYChoicePrompt, kWrongValue},
    };
    struct Word {
        const char *name;
        const char *typed;  // without its line end; nullptr: the input ends at the prompt
    };
    const std::vector<Word> words = {{"Letters", "abc"},
                                     {"TrailingLetters", "12abc"},
                                     {"TwoPoints", "1.5.2"},
                                     {"HexadecimalSuffix", "7Bh"},
                                     {"EndOfInput", nullptr}};
    std::vector<Case> cases;
    for (const Prompt &prompt : prompts) {
        for (const Word &word : words) {
            const std::string typed = word.typed ? std::string(word.typed) + "\n" : "";
            const std::string echoed = word.typed ? word.typed : "";
            cases.push_back(
                {std::string(prompt.name) + word.name,
                 prompt.run,
                 prompt.key,
                 Level::kNormal,
                 {},
                 prompt.typed_before + typed,
                 prompt.shown_before + Entry(prompt.prompt, echoed) + prompt.rejection});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(NotANumber, SettingsCommand, testing::ValuesIn(RefusalCases()), CaseName);

// Every call of every command fails once, at every level: the header (debug mode) and what was
// entered, then only the error line with the failing function's name and the flush; nothing of
// the result and no further call.
std::vector<Case> FailureCases() {
    const std::vector<testsupport::FailingCommand> commands = {
        {"GetLaserState",
         ktr7test::GetLaserState,
         'l',
         "Getting laser state:\n",
         "",
         "",
         {Send({0x0E}, 0), Receive({0x01})},
         {"KTR_7_GetLaserState", "KTR_7_GetLaserState"}},
        {"SetLaserState",
         ktr7test::SetLaserState,
         'L',
         "Setting laser state:\n",
         "1\n",
         Entry(kStatePrompt, "1"),
         {Send({0x0E, 0x01}, 1)},
         {"KTR_7_SetLaserState"}},
        {"GetIntensity",
         ktr7test::GetLaserIntensity,
         'i',
         "Getting laser intensity:\n",
         "",
         "",
         {Send({0x0F}, 0), Receive({0xF4, 0x01})},
         {"KTR_7_GetLaserIntensity", "KTR_7_GetLaserIntensity"}},
        {"SetIntensity",
         ktr7test::SetLaserIntensity,
         'I',
         "Setting laser intensity:\n",
         "50\n",
         Entry(kIntensityPrompt, "50"),
         {Send({0x0F, 0xF4, 0x01}, 1)},
         {"KTR_7_SetLaserIntensity"}},
        {"GetDutyCycle",
         ktr7test::GetLaserDutyCycle,
         'h',
         "Getting laser duty cycle:\n",
         "",
         "",
         {Send({0x10}, 0), Receive({0xF4, 0x01})},
         {"KTR_7_GetLaserDC", "KTR_7_GetLaserDC"}},
        {"SetDutyCycle",
         ktr7test::SetLaserDutyCycle,
         'H',
         "Setting laser duty cycle:\n",
         "50\n",
         Entry(kDutyCyclePrompt, "50"),
         {Send({0x10, 0xF4, 0x01}, 1)},
         {"KTR_7_SetLaserDC"}},
        {"GetPhase",
         ktr7test::GetLaserPhase,
         's',
         "Getting laser phase:\n",
         "",
         "",
         {Send({0x11}, 0), Receive({0x2D, 0x00})},
         {"KTR_7_GetLaserPhase", "KTR_7_GetLaserPhase"}},
        {"SetPhase",
         ktr7test::SetLaserPhase,
         'S',
         "Setting laser phase:\n",
         "45\n",
         Entry(kPhasePrompt, "45"),
         {Send({0x11, 0x2D, 0x00}, 1)},
         {"KTR_7_SetLaserPhase"}},
        {"GetAmplification",
         ktr7test::GetAmplification,
         'a',
         "Getting detector amplification:\n",
         "",
         "",
         {Send({0x12}, 0), Receive({0xF4, 0x01})},
         {"KTR_7_GetDetectorAmplification", "KTR_7_GetDetectorAmplification"}},
        {"SetAmplification",
         ktr7test::SetAmplification,
         'A',
         "Setting detector amplification:\n",
         "50\n",
         Entry(kAmplificationPrompt, "50"),
         {Send({0x12, 0xF4, 0x01}, 1)},
         {"KTR_7_SetDetectorAmplification"}},
        {"GetDecoder",
         ktr7test::GetDecoderConfiguration,
         't',
         "Getting decoder configuration:\n",
         "",
         "",
         {Send({0x13}, 0), Receive({0x14})},
         {"KTR_7_GetDecoderConfiguration", "KTR_7_GetDecoderConfiguration"}},
        // A failed read writes nothing.
        {"SetDecoder",
         ktr7test::SetDecoderConfiguration,
         'T',
         "Setting decoder configuration:\n",
         "1\n2\n",
         Entry(kChannelPrompt, "1") + Entry(kYChoicePrompt, "2"),
         {Send({0x13}, 0), Receive({0x34}), Send({0x13, 0x1C}, 1)},
         {"KTR_7_GetDecoderConfiguration", "KTR_7_GetDecoderConfiguration",
          "KTR_7_SetDecoderConfiguration"}},
    };
    return testsupport::EveryCallFailing(commands);
}

INSTANTIATE_TEST_SUITE_P(Failures, SettingsCommand, testing::ValuesIn(FailureCases()), CaseName);

// With the rest of a line left in the input, "i" after the phase would run as a key and the
// choice prompt would answer itself with 2.
TEST(SettingsKeys, TheRestOfAnEntryLineNeverAnswersTheNextPrompt) {
    const auto run = testsupport::RunKeys(
        Level::kQuiet,
        {Send({0x11, 0x0A, 0x00}, 1), Send({0x13}, 0), Receive({0x00}), Send({0x13, 0x28}, 1)},
        "S10 i\nT1 2\n3\n\x1b");
    EXPECT_EQ(run.made, run.expected);
    EXPECT_EQ(run.out, Entry(kPhasePrompt, "10 i") + Entry(kChannelPrompt, "1 2") +
                           Entry(kYChoicePrompt, "3"));
}

// Each lower-case key reads and each upper-case key sets; the Up cursor key (0, 72), Page Up
// (0, 73) and Delete (0, 83) share the codes of "H", "I" and "S" and run nothing.
TEST(SettingsKeys, EachKeyRunsItsOwnCommandInItsOwnCase) {
    const std::string up("\0H", 2);
    const std::string page_up("\0I", 2);
    const std::string del("\0S", 2);
    const auto run = testsupport::RunKeys(
        Level::kQuiet,
        {Send({0x0E}, 0),      Receive({0x01}),       Send({0x0E, 0x00}, 1),        // l L
         Send({0x0F}, 0),      Receive({0xF4, 0x01}), Send({0x0F, 0xC8, 0x00}, 1),  // i I
         Send({0x10}, 0),      Receive({0xF4, 0x01}), Send({0x10, 0xC8, 0x00}, 1),  // h H
         Send({0x11}, 0),      Receive({0x2D, 0x00}), Send({0x11, 0xD3, 0xFF}, 1),  // s S
         Send({0x12}, 0),      Receive({0x7B, 0x00}), Send({0x12, 0xC8, 0x00}, 1),  // a A
         Send({0x13}, 0),      Receive({0x00}),       Send({0x13}, 0),
         Receive({0x00}),  // t T
         Send({0x13, 0x14}, 1)},
        "lL0\n" + page_up + "iI20\n" + up + "hH20\n" + del + "sS-45\naA20\ntT0\n3\n\x1b");
    EXPECT_EQ(run.made, run.expected);
    EXPECT_EQ(run.out, "Laser state: enabled\n" + Entry(kStatePrompt, "0") +
                           "Laser intensity: 50.0%\n" + Entry(kIntensityPrompt, "20") +
                           "Laser duty cycle: 50.0%\n" + Entry(kDutyCyclePrompt, "20") +
                           "Laser phase: +45 deg\n" + Entry(kPhasePrompt, "-45") +
                           "Detector amplification: 12.30\n" + Entry(kAmplificationPrompt, "20") +
                           Decoder("(X1-X2)/2S", "(Y1-Y2)/2S") + Entry(kChannelPrompt, "0") +
                           Entry(kXChoicePrompt, "3"));
}

}  // namespace
