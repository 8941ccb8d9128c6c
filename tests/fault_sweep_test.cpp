// Every command key, and every adapter call that command makes, failed once through the
// simulated adapter's fault injection, with the real program: exactly one error line naming
// the function that failed, the flush right after it, nothing of the command's result, no device
// write after a failed read, and the key loop carrying on.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

const char kProgram[] = KTR7_TEST_PROGRAM;

struct Fault {
    const char *keys;      // what the operator types for the command
    const char *rule;      // the adapter call that fails: its first occurrence
    const char *function;  // the name the error line must give
    const char *result;    // a line the command prints only when it succeeds (a regular expression)
};

void PrintTo(const Fault &f, std::ostream *os) {
    *os << f.keys << " " << f.rule;
}

const Fault kFaults[] = {
    {"o", "getslot", "Ostrel_GetSlot", "^QMB slot number: [0-9A-F]"},
    {"O5\n", "setslot", "Ostrel_SetSlot", "^QMB slot number set"},
    {"q", "check", "KTR_7_Check", "^Device (found|not found)|^Scan finished"},
    {"q", "send:0x00", "KTR_7_Check", "^Device (found|not found)|^Scan finished"},
    {"q", "receive:0x00", "KTR_7_Check", "^Device (found|not found)|^Scan finished"},
    {"d", "send:0x04", "KTR_7_FW_Date", "^Firmware date:"},
    {"D", "receive:0x04", "KTR_7_FW_Date", "^Firmware date:"},
    {"v", "send:0x03", "KTR_7_FW_Ver", "^Firmware version:"},
    {"V", "receive:0x03", "KTR_7_FW_Ver", "^Firmware version:"},
    {"p", "send:0x01", "KTR_7_Prod_ID", "^Product identification:"},
    {"P", "receive:0x01", "KTR_7_Prod_ID", "^Product identification:"},
    {"n", "send:0x02", "KTR_7_Prod_No", "^Product number:"},
    {"N", "receive:0x02", "KTR_7_Prod_No", "^Product number:"},
    {"u", "send:0x05", "KTR_7_GetUptime", "^Uptime:"},
    {"u", "receive:0x05", "KTR_7_GetUptime", "^Uptime:"},
    {"U\x1b", "send:0x05", "KTR_7_GetUptime", "^Device uptime: [0-9]"},
    {"U\x1b", "receive:0x05", "KTR_7_GetUptime", "^Device uptime: [0-9]"},
    {"k", "send:0x06", "KTR_7_Get5V", "^5V:"},
    {"k", "receive:0x06", "KTR_7_Get5V", "^5V:"},
    {"k", "send:0x07", "KTR_7_Get3V", "^5V:"},
    {"k", "receive:0x07", "KTR_7_Get3V", "^5V:"},
    {"K", "send:0x08", "KTR_7_GetTemp", "^5V:"},
    {"K", "receive:0x08", "KTR_7_GetTemp", "^5V:"},
    {"c", "send:0x09", "KTR_7_GetClkCPU", "^CPU:"},
    {"c", "receive:0x09", "KTR_7_GetClkCPU", "^CPU:"},
    {"c", "send:0x0A", "KTR_7_GetClkPer", "^CPU:"},
    {"c", "receive:0x0A", "KTR_7_GetClkPer", "^CPU:"},
    {"c", "send:0x0B", "KTR_7_GetClkADC", "^CPU:"},
    {"c", "receive:0x0B", "KTR_7_GetClkADC", "^CPU:"},
    {"c", "send:0x0C", "KTR_7_GetClkDAC", "^CPU:"},
    {"c", "receive:0x0C", "KTR_7_GetClkDAC", "^CPU:"},
    {"C", "send:0x0D", "KTR_7_GetClkMem", "^CPU:"},
    {"C", "receive:0x0D", "KTR_7_GetClkMem", "^CPU:"},
    {"l", "send:0x0E", "KTR_7_GetLaserState", "^Laser state:"},
    {"l", "receive:0x0E", "KTR_7_GetLaserState", "^Laser state:"},
    {"L1\n", "send:0x0E", "KTR_7_SetLaserState", "^Laser state set"},
    {"i", "send:0x0F", "KTR_7_GetLaserIntensity", "^Laser intensity:"},
    {"i", "receive:0x0F", "KTR_7_GetLaserIntensity", "^Laser intensity:"},
    {"I50\n", "send:0x0F", "KTR_7_SetLaserIntensity", "^Laser intensity set"},
    {"h", "send:0x10", "KTR_7_GetLaserDC", "^Laser duty cycle:"},
    {"h", "receive:0x10", "KTR_7_GetLaserDC", "^Laser duty cycle:"},
    {"H20\n", "send:0x10", "KTR_7_SetLaserDC", "^Laser duty cycle set"},
    {"s", "send:0x11", "KTR_7_GetLaserPhase", "^Laser phase:"},
    {"s", "receive:0x11", "KTR_7_GetLaserPhase", "^Laser phase:"},
    {"S-45\n", "send:0x11", "KTR_7_SetLaserPhase", "^Laser phase set"},
    {"a", "send:0x12", "KTR_7_GetDetectorAmplification", "^Detector amplification:"},
    {"a", "receive:0x12", "KTR_7_GetDetectorAmplification", "^Detector amplification:"},
    {"A10\n", "send:0x12", "KTR_7_SetDetectorAmplification", "^Detector amplification set"},
    {"t", "send:0x13", "KTR_7_GetDecoderConfiguration", "^Decoder configuration:"},
    {"t", "receive:0x13", "KTR_7_GetDecoderConfiguration", "^Decoder configuration:"},
    {"T0\n2\n", "send:0x13@1", "KTR_7_GetDecoderConfiguration", "^Decoder configuration set"},
    {"T0\n2\n", "receive:0x13", "KTR_7_GetDecoderConfiguration", "^Decoder configuration set"},
    {"T1\n3\n", "send:0x13@2", "KTR_7_SetDecoderConfiguration", "^Decoder configuration set"},
};

class FaultSweep : public testing::TestWithParam<Fault> {};

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST_P(FaultSweep, OneErrorLineThenTheFlushAndTheKeyLoopGoesOn) {
    const Fault &fault = GetParam();
    const std::string trace =
        testing::TempDir() + "fault_sweep_" + std::to_string(getpid()) + ".txt";
    std::string rule = fault.rule;
    if (rule.find('@') == std::string::npos) rule += "@1";
    // Debug mode, so that the confirmations of the set commands count as results too; "?"
    // afterwards shows that the key loop goes on.
    const auto run = testsupport::RunProcess(
        kProgram, {kProgram, "-d"},
        {{"OSTREL_FAULT", rule}, {"OSTREL_FAULT_MESSAGE", "Injected"}, {"OSTREL_TRACE", trace}},
        std::string(fault.keys) + "?");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");

    const std::vector<std::string> lines = Lines(run.out);
    std::vector<std::size_t> errors;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("Error at ") != std::string::npos) errors.push_back(i);
    }
    ASSERT_EQ(errors.size(), 1u) << run.out;
    const std::string &error = lines[errors[0]];
    const std::string expected = "Error at " + std::string(fault.function) +
                                 ": Injected, I/O Error Message: injected failure of ";
    EXPECT_NE(error.find(expected), std::string::npos) << error;
    ASSERT_LT(errors[0] + 2, lines.size());
    EXPECT_EQ(lines[errors[0] + 1], "Flushing communication buffers of the Ostrel adapter...");
    EXPECT_EQ(lines[errors[0] + 2], "Communication buffers of the Ostrel adapter were flushed");

    const std::regex result(fault.result);
    for (const std::string &line : lines)
        EXPECT_FALSE(std::regex_search(line, result)) << line;

    // The help a second time: the "?" after the command was taken.
    const std::string help = "Press (if not explicitly specified";
    const auto first = run.out.find(help);
    EXPECT_NE(run.out.find(help, first + 1), std::string::npos);
    EXPECT_NE(run.out.find("Program finished"), std::string::npos);

    // After a failed read of the decoder's configuration nothing is written to it.
    std::ifstream file(trace);
    std::stringstream calls;
    calls << file.rdbuf();
    std::remove(trace.c_str());
    if (std::string(fault.function) == "KTR_7_GetDecoderConfiguration") {
        EXPECT_EQ(calls.str().find("Ostrel_Send(1, [13 "), std::string::npos) << calls.str();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCall, FaultSweep, testing::ValuesIn(kFaults),
                         [](const testing::TestParamInfo<Fault> &info) {
                             std::string name =
                                 std::string(info.param.keys) + "_" + info.param.rule;
                             for (char &c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name + "_" + std::to_string(info.index);
                         });

}  // namespace
