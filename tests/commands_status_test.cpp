// Housekeeping, clock and uptime commands against the scripted console and the recording fake
// adapter: result lines byte for byte, n/a for missing readings, every call's failure, and the
// continuous uptime display on the scripted clock (columns, values in place, the rate after
// 100 ms, failed queries, keys, the uptime shown last kept from one run to the next).
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
using testsupport::RunKeys;

std::vector<uint8_t> U16(unsigned v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
}
std::vector<uint8_t> S32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
            static_cast<uint8_t>(u >> 24)};
}

std::vector<fake::Call> Housekeeping(unsigned mv5, unsigned mv3, unsigned centikelvin) {
    return {Send({0x06}, 0),   Receive(U16(mv5)), Send({0x07}, 0),
            Receive(U16(mv3)), Send({0x08}, 0),   Receive(U16(centikelvin))};
}

std::vector<fake::Call> Clocks(int32_t cpu, int32_t per, int32_t adc, int32_t dac, int32_t mem) {
    return {Send({0x09}, 0), Receive(S32(cpu)), Send({0x0A}, 0), Receive(S32(per)),
            Send({0x0B}, 0), Receive(S32(adc)), Send({0x0C}, 0), Receive(S32(dac)),
            Send({0x0D}, 0), Receive(S32(mem))};
}

// One uptime query answering whole seconds and 1/1024 s.
std::vector<fake::Call> UptimeQuery(uint32_t seconds, unsigned counts = 0) {
    std::vector<uint8_t> answer = S32(static_cast<int32_t>(seconds));
    answer.push_back(static_cast<uint8_t>(counts));
    answer.push_back(static_cast<uint8_t>(counts >> 8));
    return {Send({0x05}, 0), Receive(answer)};
}

void Append(std::vector<fake::Call> &script, const std::vector<fake::Call> &more, int times = 1) {
    for (int i = 0; i < times; ++i)
        script.insert(script.end(), more.begin(), more.end());
}

class StatusCommand : public testing::TestWithParam<Case> {};

TEST_P(StatusCommand, PrintsItsLineAndMakesItsCalls) {
    testsupport::ExpectCase(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Results, StatusCommand,
    testing::Values(
        Case{"Housekeeping", ktr7test::GetHousekeeping, 'k', Level::kNormal,
             Housekeeping(5012, 3301, 29815), "",
             "5V: +5.012V,\t3V: +3.301V,\tTemperature: +25.00\xF8"
             "C\n"},
        Case{"HousekeepingDebugUtf8", ktr7test::GetHousekeeping, 'K', Level::kDebug,
             Housekeeping(5012, 3301, 29815), "",
             "Getting housekeeping data:\n5V: +5.012V,\t3V: +3.301V,\tTemperature: +25.00\xC2\xB0"
             "C\n",
             "\xC2\xB0"},
        Case{"Missing5V", ktr7test::GetHousekeeping, 'k', Level::kQuiet,
             Housekeeping(0x8000, 3301, 29815), "",
             "5V: n/a,\t3V: +3.301V,\tTemperature: +25.00\xF8"
             "C\n"},
        Case{"MissingTemperature", ktr7test::GetHousekeeping, 'k', Level::kNormal,
             Housekeeping(5012, 0x8000, 0xFFFF), "", "5V: +5.012V,\t3V: n/a,\tTemperature: n/a\n"},
        Case{"ZeroKelvin", ktr7test::GetHousekeeping, 'k', Level::kNormal, Housekeeping(0, 0, 0),
             "",
             "5V: +0.000V,\t3V: +0.000V,\tTemperature: -273.15\xF8"
             "C\n"},
        // The temperature's marker is no voltage marker: 0x8000 is 327.68 K.
        Case{"TemperatureOf0x8000", ktr7test::GetHousekeeping, 'k', Level::kNormal,
             Housekeeping(0xFFFF, 0xFFFF, 0x8000), "",
             "5V: +65.535V,\t3V: +65.535V,\tTemperature: +54.53\xF8"
             "C\n"},
        Case{"Clocks", ktr7test::GetClockFrequencies, 'c', Level::kNormal,
             Clocks(12000000, 24000000, 6000000, 1000000, 96000000), "",
             "CPU: +1.20e+07Hz,\tPeriph.: +2.40e+07Hz,\tADC: +6.00e+06Hz,\tDAC: +1.00e+06Hz,"
             "\tMemory: +9.60e+07Hz\n"},
        Case{"ClocksNegativeFirstAndLast", ktr7test::GetClockFrequencies, 'C', Level::kDebug,
             Clocks(-1, 0, INT32_MAX, 5, INT32_MIN), "",
             "Getting clock frequencies:\nCPU: n/a,\tPeriph.: +0.00e+00Hz,\tADC: +2.15e+09Hz,"
             "\tDAC: +5.00e+00Hz,\tMemory: n/a\n"},
        Case{"UptimeOnce", ktr7test::Uptime, 'u', Level::kNormal, UptimeQuery(61, 512), "",
             "Uptime: 1:01.50\n"},
        Case{"UptimeOnceDebug", ktr7test::Uptime, 'u', Level::kDebug, UptimeQuery(3661, 256), "",
             "Getting uptime:\nUptime: 1:01:01.25\n"}),
    CaseName);

// Every call failing once.
std::vector<Case> FailureCases() {
    const std::vector<testsupport::FailingCommand> commands = {
        {"Housekeeping",
         ktr7test::GetHousekeeping,
         'k',
         "Getting housekeeping data:\n",
         "",
         "",
         Housekeeping(5000, 3300, 30000),
         {"KTR_7_Get5V", "KTR_7_Get5V", "KTR_7_Get3V", "KTR_7_Get3V", "KTR_7_GetTemp",
          "KTR_7_GetTemp"}},
        {"Clocks",
         ktr7test::GetClockFrequencies,
         'c',
         "Getting clock frequencies:\n",
         "",
         "",
         Clocks(1, 2, 3, 4, 5),
         {"KTR_7_GetClkCPU", "KTR_7_GetClkCPU", "KTR_7_GetClkPer", "KTR_7_GetClkPer",
          "KTR_7_GetClkADC", "KTR_7_GetClkADC", "KTR_7_GetClkDAC", "KTR_7_GetClkDAC",
          "KTR_7_GetClkMem", "KTR_7_GetClkMem"}},
        {"Uptime",
         ktr7test::Uptime,
         'u',
         "Getting uptime:\n",
         "",
         "",
         UptimeQuery(1),
         {"KTR_7_GetUptime", "KTR_7_GetUptime"}},
    };
    return testsupport::EveryCallFailing(commands);
}

INSTANTIATE_TEST_SUITE_P(Failures, StatusCommand, testing::ValuesIn(FailureCases()), CaseName);

// The continuous display. On the scripted clock only the display's own 1 ms pauses move time,
// so a pass happens at every millisecond and the Esc arriving at t ms ends the display at the
// first pass at t.
const std::string kHint = "Press 'Esc' to quit\n";
const std::string kLabels =
    "Device uptime:                Diff. to PC/s:                Queries/s: ";

struct Display {
    std::string out;
    std::vector<std::string> screen;
    uint32_t sleeps;
};

Display RunDisplay(Level level, const std::vector<fake::Call> &script,
                   const std::vector<std::pair<std::string, uint32_t>> &keys) {
    fake::Adapter::Instance().Script(script);
    testsupport::ScriptedConsole console;
    for (const auto &[bytes, at] : keys)
        console.Type(bytes, at);
    ktr7test::Program program{console, level};
    ktr7test::Uptime(program, 'U');
    EXPECT_EQ(fake::Adapter::Instance().Made(), fake::Adapter::Instance().Expected());
    return {console.out, console.screen, console.sleeps};
}

TEST(UptimeDisplay, WritesUptimeAndDifferenceInPlaceAtTheColumnsAfterTheLabels) {
    std::vector<fake::Call> script;
    Append(script, UptimeQuery(10, 0));   // t=0: first sample, written
    Append(script, UptimeQuery(10, 5));   // t=1: 0.0049 s later, not written
    Append(script, UptimeQuery(10, 21));  // t=2: 0.0205 s later, written over the first
    const Display display = RunDisplay(Level::kNormal, script, {{"\x1b", 2}});
    EXPECT_EQ(display.out, kHint + kLabels +
                               "<col 16>10.00s<col 46> 0.00s"    // 0 - 0 ms
                               "<col 16>10.02s<col 46> 0.02s\n"  // 0.0205 - 0.002
    );
    EXPECT_EQ(display.screen[1],
              "Device uptime: 10.02s         Diff. to PC/s:  0.02s         Queries/s: ");
}

TEST(UptimeDisplay, QuietModeHasNoHintAndDebugModeAHeader) {
    const std::vector<fake::Call> script = UptimeQuery(1, 0);
    EXPECT_EQ(RunDisplay(Level::kQuiet, script, {{"\x1b", 0}}).out,
              kLabels + "<col 16>1.00s<col 46> 0.00s\n");
    EXPECT_EQ(RunDisplay(Level::kDebug, script, {{"\x1b", 0}}).out,
              "Getting uptime:\n" + kHint + kLabels + "<col 16>1.00s<col 46> 0.00s\n");
}

TEST(UptimeDisplay, RateIsFirstWrittenAfterMoreThan100Milliseconds) {
    std::vector<fake::Call> script;
    Append(script, UptimeQuery(10), 102);  // t=0 to t=101
    const Display display = RunDisplay(Level::kQuiet, script, {{"\x1b", 101}});
    // 102 queries in 101 ms; nothing at t=100, which is not more than 100 ms.
    EXPECT_EQ(display.out, kLabels + "<col 16>10.00s<col 46> 0.00s<col 72>1009.90\n");
    EXPECT_EQ(display.sleeps, 101u);
}

TEST(UptimeDisplay, FailedQueriesReportPauseAndTheNextValuesGoBelowTheErrors) {
    std::vector<fake::Call> script;
    Append(script, UptimeQuery(10));                 // t=0
    for (int failure = 0; failure < 2; ++failure) {  // t=1, then t=101: each pauses 100 ms
        script.push_back(Send({0x05}, 0));
        script.push_back(Receive({0, 0, 0, 0, 0, 0}).Fails(-3));
        script.push_back(fake::Flush());
    }
    Append(script, UptimeQuery(10, 512));  // t=201
    const Display display = RunDisplay(Level::kNormal, script, {{"\x1b", 201}});
    const std::string failed = FailureLines("KTR_7_GetUptime", Level::kNormal);
    EXPECT_EQ(display.out, kHint + kLabels + "<col 16>10.00s<col 46> 0.00s" + failed + failed +
                               "<col 16>10.50s<col 46> 0.30s<col 72>9.95\n");
    EXPECT_EQ(display.screen[5],
              "               10.50s                         0.30s                    9.95");
}

TEST(UptimeDisplay, EscEndsItWhileTheDeviceDoesNotAnswer) {
    std::vector<fake::Call> script;
    script.push_back(Send({0x05}, 0).Fails(-3));
    script.push_back(fake::Flush());
    const Display display = RunDisplay(Level::kQuiet, script, {{"\x1b", 50}});
    EXPECT_EQ(display.out, kLabels + testsupport::ErrorLine("KTR_7_GetUptime") + "\n");
    EXPECT_EQ(display.sleeps, 50u);
}

TEST(UptimeDisplay, OtherKeysAreTakenAndTheKeyLoopNeverSeesTheEsc) {
    std::vector<fake::Call> script;
    // Passes at t=0 to t=20, and one more for each code taken: x at 5, an extended key (two
    // codes, the second 27) at 10; the Esc at 20 ends the display.
    Append(script, UptimeQuery(10), 21 + 3);
    Append(script, {Send({0x03}, 0), Receive({0x03, 0x02})});  // "v" after the display
    fake::Adapter::Instance().Script(script);
    testsupport::ScriptedConsole console;
    console.Type("U", 0);
    console.Type("x", 5);
    console.Type(std::string("\0\x1b", 2), 10);
    console.Type("\x1b", 20);
    console.Type("v", 30);
    ktr7test::Program program{console, Level::kQuiet};
    ktr7test::RunKeyLoop(program, ktr7test::ProgramKeys());
    EXPECT_EQ(fake::Adapter::Instance().Made(), fake::Adapter::Instance().Expected());
    EXPECT_EQ(console.out, kLabels + "<col 16>10.00s<col 46> 0.00s\nFirmware version: 2-03\n");
}

TEST(UptimeDisplay, TheUptimeShownLastIsKeptFromOneRunToTheNext) {
    std::vector<fake::Call> script;
    Append(script, UptimeQuery(20), 3);   // first run, t=0 to 2
    Append(script, UptimeQuery(5), 102);  // the device restarted: second run, t=10 to 111
    fake::Adapter::Instance().Script(script);
    testsupport::ScriptedConsole console;
    console.Type("U", 0);
    console.Type("\x1b", 2);
    console.Type("U", 10);
    console.Type("\x1b", 111);
    ktr7test::Program program{console, Level::kQuiet};
    ktr7test::RunKeyLoop(program, ktr7test::ProgramKeys());
    EXPECT_EQ(fake::Adapter::Instance().Made(), fake::Adapter::Instance().Expected());
    // The second run writes no uptime and no difference (5 s is below the 20 s shown), but
    // its rate as usual.
    EXPECT_EQ(console.out,
              kLabels + "<col 16>20.00s<col 46> 0.00s\n" + kLabels + "<col 72>1009.90\n");
    EXPECT_EQ(program.last_shown_uptime, 20.0);
    EXPECT_EQ(program.uptime_sample, 5.0);
}

TEST(StatusKeys, EitherCaseExceptThatUStartsTheDisplay) {
    std::vector<fake::Call> script = Housekeeping(1, 1, 1);
    Append(script, Housekeeping(1, 1, 1));
    Append(script, UptimeQuery(2));
    const auto run = RunKeys(Level::kQuiet, script, "kKu\x1b");
    EXPECT_EQ(run.made, run.expected);
    const std::string line =
        "5V: +0.001V,\t3V: +0.001V,\tTemperature: -273.14\xF8"
        "C\n";
    EXPECT_EQ(run.out, line + line + "Uptime: 2.00s\n");
}

}  // namespace
