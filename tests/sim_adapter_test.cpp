// The stand-in adapter with its simulated KTR-7, through the Ostrel_* functions: what it answers,
// what it refuses and why, the settings it stores, fault injection, configuration and the trace.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Ostrel.h"
#include "instance.h"

namespace {

using ostrel::Config;

class SimAdapter : public testing::Test {
  protected:
    void SetUp() override { Reset(Config{}); }

    static void Reset(const Config &config, bool open = true) {
        ostrel::ResetInstance(config);
        if (open) {
            ASSERT_EQ(Ostrel_Open(), 0);
        }
    }

    static int32_t SendCode(uint8_t code) { return Ostrel_Send(1, &code, 1, 0); }

    static int32_t Write(std::vector<uint8_t> bytes) {
        return Ostrel_Send(1, bytes.data(), static_cast<int32_t>(bytes.size()), 1);
    }

    // A read transaction of code; the answer's bytes, or the failing result as text.
    static std::vector<uint8_t> Read(uint8_t code, int32_t count) {
        std::vector<uint8_t> answer(static_cast<std::size_t>(count), 0xAA);
        EXPECT_EQ(SendCode(code), 0) << Ostrel_IO_ErrorMessage();
        EXPECT_EQ(Ostrel_Receive(1, answer.data(), count, 1), 0) << Ostrel_IO_ErrorMessage();
        return answer;
    }

    static std::string Texts() {
        return std::string(Ostrel_ErrorMessage()) + " / " + Ostrel_IO_ErrorMessage();
    }
};

struct Layout {
    uint8_t code;
    int32_t size;  // answer bytes, or for a text code its maximum length
    bool text;
};

constexpr std::array<Layout, 20> kLayouts = {{
    {0x00, 2, false}, {0x01, 81, true}, {0x02, 4, false}, {0x03, 2, false}, {0x04, 16, true},
    {0x05, 6, false}, {0x06, 2, false}, {0x07, 2, false}, {0x08, 2, false}, {0x09, 4, false},
    {0x0A, 4, false}, {0x0B, 4, false}, {0x0C, 4, false}, {0x0D, 4, false}, {0x0E, 1, false},
    {0x0F, 2, false}, {0x10, 2, false}, {0x11, 2, false}, {0x12, 2, false}, {0x13, 1, false},
}};

TEST_F(SimAdapter, AnswersEveryCodeInItsLayoutAndRefusesOtherLengths) {
    for (const Layout &layout : kLayouts) {
        SCOPED_TRACE(testing::Message() << "code " << int{layout.code});
        std::vector<char> text(static_cast<std::size_t>(layout.size) + 1);
        std::vector<uint8_t> bytes(static_cast<std::size_t>(layout.size) + 1);
        ASSERT_EQ(SendCode(layout.code), 0);
        if (layout.text) {
            EXPECT_EQ(Ostrel_ReceiveString(1, text.data(), layout.size, 1), 0);
            EXPECT_GT(std::strlen(text.data()), 0u);
            ASSERT_EQ(SendCode(layout.code), 0);
            EXPECT_EQ(Ostrel_Receive(1, bytes.data(), layout.size, 1), ostrel::kWrongLength);
        } else {
            EXPECT_EQ(Ostrel_Receive(1, bytes.data(), layout.size, 1), 0);
            ASSERT_EQ(SendCode(layout.code), 0);
            EXPECT_EQ(Ostrel_Receive(1, bytes.data(), layout.size + 1, 1), ostrel::kWrongLength);
            ASSERT_EQ(SendCode(layout.code), 0);
            EXPECT_EQ(Ostrel_ReceiveString(1, text.data(), 16, 1), ostrel::kWrongLength);
        }
    }
}

TEST_F(SimAdapter, IdentifiesAsKtr7WithPlausibleData) {
    EXPECT_EQ(Read(0x00, 2), (std::vector<uint8_t>{0x58, 0x96}));
    const auto supply5 = Read(0x06, 2);
    const auto supply3 = Read(0x07, 2);
    const auto kelvin = Read(0x08, 2);
    EXPECT_NEAR(supply5[0] | supply5[1] << 8, 5000, 250);
    EXPECT_NEAR(supply3[0] | supply3[1] << 8, 3300, 165);
    EXPECT_NEAR(kelvin[0] | kelvin[1] << 8, 29815, 1000);
    for (uint8_t clock = 0x09; clock <= 0x0D; ++clock) {
        const auto hz = Read(clock, 4);
        EXPECT_GT(hz[0] | hz[1] << 8 | hz[2] << 16 | hz[3] << 24, 0) << int{clock};
    }
}

TEST_F(SimAdapter, TextNeverPassesItsMaximumLengthAndTheTerminator) {
    std::array<char, 24> text;
    text.fill('#');
    ASSERT_EQ(SendCode(0x01), 0);  // the product identification is longer than 5 characters
    ASSERT_EQ(Ostrel_ReceiveString(1, text.data(), 5, 1), 0);
    EXPECT_EQ(std::strlen(text.data()), 5u);
    EXPECT_EQ(text[6], '#');
}

TEST_F(SimAdapter, StoresWhatAWriteSetsAndReadsItBack) {
    const std::vector<std::vector<uint8_t>> writes = {
        {0x0E, 0x80},       {0x0F, 0xD0, 0x07}, {0x10, 0xDE, 0x03},
        {0x11, 0x4C, 0xFF}, {0x12, 0xE8, 0x03}, {0x13, 0xFF},
    };
    for (const auto &write : writes) {
        ASSERT_EQ(Write(write), 0) << Texts();
        const std::vector<uint8_t> payload(write.begin() + 1, write.end());
        EXPECT_EQ(Read(write[0], static_cast<int32_t>(payload.size())), payload) << int{write[0]};
    }
}

TEST_F(SimAdapter, UptimeCountsFromPowerOnInWholeSecondsAnd1024ths) {
    Config config;
    config.initial_uptime = 3600.5;
    Reset(config);
    const auto answer = Read(0x05, 6);
    const uint32_t seconds =
        answer[0] | answer[1] << 8 | answer[2] << 16 | uint32_t{answer[3]} << 24;
    const unsigned counts = answer[4] | answer[5] << 8;
    EXPECT_GE(seconds, 3600u);
    EXPECT_LT(seconds, 3700u);
    EXPECT_LT(counts, 1024u);
    EXPECT_GE(seconds + counts / 1024.0, 3600.5);
}

TEST_F(SimAdapter, ReportsConfiguredReadingsAsMissing) {
    Config config;
    config.missing = {true, true, true};
    Reset(config);
    EXPECT_EQ(Read(0x06, 2), (std::vector<uint8_t>{0x00, 0x80}));
    EXPECT_EQ(Read(0x07, 2), (std::vector<uint8_t>{0x00, 0x80}));
    EXPECT_EQ(Read(0x08, 2), (std::vector<uint8_t>{0xFF, 0xFF}));
}

struct Refusal {
    const char *name;
    std::function<int32_t()> call;
    int32_t result;
};

TEST_F(SimAdapter, RefusesWhatTheProtocolDoesNotAllow) {
    uint8_t buffer[8] = {};
    char text[20] = {};
    const uint8_t code = 0x05;
    const std::vector<Refusal> refusals = {
        {"unknown code read", [] { return SendCode(0x14); }, ostrel::kUnknownCode},
        {"unknown code written",
         [] {
             return Write({0xFF, 0});
         },
         ostrel::kUnknownCode},
        {"payload too short",
         [] {
             return Write({0x0F, 0x01});
         },
         ostrel::kWrongLength},
        {"payload too long",
         [] {
             return Write({0x0E, 1, 2});
         },
         ostrel::kWrongLength},
        {"read-only code written",
         [] {
             return Write({0x05, 0});
         },
         ostrel::kWrongLength},
        {"read-only code alone with final 1", [] { return Write({0x05}); }, ostrel::kWrongLength},
        {"read sends more than the code",
         [] {
             const uint8_t bytes[] = {0x05, 0x00};
             return Ostrel_Send(1, bytes, 2, 0);
         },
         ostrel::kWrongLength},
        {"receive without a code", [&] { return Ostrel_Receive(1, buffer, 6, 1); },
         ostrel::kNoReadPending},
        {"text without a code", [&] { return Ostrel_ReceiveString(1, text, 16, 1); },
         ostrel::kNoReadPending},
        {"first argument not 1", [&] { return Ostrel_Send(0, &code, 1, 0); }, ostrel::kBadArgument},
        {"no bytes", [&] { return Ostrel_Send(1, &code, 0, 0); }, ostrel::kBadArgument},
        {"negative count", [&] { return Ostrel_Send(1, &code, -1, 1); }, ostrel::kBadArgument},
        {"null data", [] { return Ostrel_Send(1, nullptr, 1, 0); }, ostrel::kBadArgument},
        {"final flag 2", [&] { return Ostrel_Send(1, &code, 1, 2); }, ostrel::kBadArgument},
        {"receive final 0",
         [&] {
             SendCode(0x05);
             return Ostrel_Receive(1, buffer, 6, 0);
         },
         ostrel::kBadArgument},
        {"receive count 0",
         [&] {
             SendCode(0x05);
             return Ostrel_Receive(1, buffer, 0, 1);
         },
         ostrel::kBadArgument},
        {"check without flag", [] { return Ostrel_Check(1, nullptr); }, ostrel::kBadArgument},
        {"get slot with other constants", [&] { return Ostrel_GetSlot(buffer, 0, 1); },
         ostrel::kBadArgument},
        {"set slot with other constants", [] { return Ostrel_SetSlot(3, 1, 1); },
         ostrel::kBadArgument},
    };
    for (const Refusal &refusal : refusals) {
        Reset(Config{});
        EXPECT_EQ(refusal.call(), refusal.result) << refusal.name;
        EXPECT_STRNE(Ostrel_ErrorMessage(), "No error") << refusal.name;
        EXPECT_STRNE(Ostrel_IO_ErrorMessage(), "No error") << refusal.name;
    }
}

TEST_F(SimAdapter, ErrorTextsSayWhatWentWrong) {
    Write({0x0F, 0x01});
    EXPECT_EQ(Texts(), "Wrong transfer length / command code 0x0F takes 2 payload bytes, not 1");
    SendCode(0x42);
    EXPECT_EQ(Texts(), "Unknown command code / the KTR-7 does not know command code 0x42");
    Ostrel_SetSlot(9, 1, 0);
    SendCode(0x05);
    EXPECT_EQ(Texts(), "No acknowledge / no device answers at QMB slot 9");
}

TEST_F(SimAdapter, EveryTransferBeforeOpenIsRefused) {
    Reset(Config{}, false);
    uint8_t bytes[6];
    char text[17];
    const uint8_t code = 0x05;
    EXPECT_EQ(Ostrel_Send(1, &code, 1, 0), ostrel::kNotOpen);
    EXPECT_EQ(Ostrel_Receive(1, bytes, 6, 1), ostrel::kNotOpen);
    EXPECT_EQ(Ostrel_ReceiveString(1, text, 16, 1), ostrel::kNotOpen);
    EXPECT_EQ(Ostrel_Check(1, bytes), ostrel::kNotOpen);
    EXPECT_EQ(Ostrel_Flush_LPT(), ostrel::kNotOpen);
    EXPECT_EQ(Texts(), "The port is not open / call Ostrel_Open first");
    EXPECT_EQ(Ostrel_GetSlot(bytes, 1, 0), 0);  // the slot is the adapter's own, not a transfer
}

TEST_F(SimAdapter, ReadTransactionEndsWithItsReceiveAFlushOrASlotChange) {
    uint8_t answer[6];
    ASSERT_EQ(SendCode(0x05), 0);
    ASSERT_EQ(Ostrel_Receive(1, answer, 6, 1), 0);
    EXPECT_EQ(Ostrel_Receive(1, answer, 6, 1), ostrel::kNoReadPending);
    ASSERT_EQ(SendCode(0x05), 0);
    ASSERT_EQ(Ostrel_Flush_LPT(), 0);
    EXPECT_EQ(Ostrel_Receive(1, answer, 6, 1), ostrel::kNoReadPending);
    ASSERT_EQ(SendCode(0x05), 0);
    ASSERT_EQ(Ostrel_SetSlot(0, 1, 0), 0);
    EXPECT_EQ(Ostrel_Receive(1, answer, 6, 1), ostrel::kNoReadPending);
}

TEST_F(SimAdapter, OnlyTheDevicesSlotAnswers) {
    Config config;
    config.device_slot = 17;
    Reset(config);
    uint8_t slot = 0xFF;
    uint8_t present = 0xFF;
    ASSERT_EQ(Ostrel_GetSlot(&slot, 1, 0), 0);
    EXPECT_EQ(slot, 0);  // slot 0 is selected when the library loads
    ASSERT_EQ(Ostrel_Check(1, &present), 0);
    EXPECT_EQ(present, 0);
    EXPECT_EQ(SendCode(0x05), ostrel::kNoAcknowledge);
    EXPECT_EQ(Write({0x0E, 1}), ostrel::kNoAcknowledge);

    ASSERT_EQ(Ostrel_SetSlot(17, 1, 0), 0);
    ASSERT_EQ(Ostrel_GetSlot(&slot, 1, 0), 0);
    EXPECT_EQ(slot, 17);
    ASSERT_EQ(Ostrel_Check(1, &present), 0);
    EXPECT_EQ(present, 1);
    EXPECT_EQ(Read(0x00, 2), (std::vector<uint8_t>{0x58, 0x96}));

    config.device_slot.reset();  // an empty backplane
    Reset(config);
    for (int s = 0; s < 256; ++s) {
        ASSERT_EQ(Ostrel_SetSlot(static_cast<uint8_t>(s), 1, 0), 0);
        ASSERT_EQ(Ostrel_Check(1, &present), 0);
        EXPECT_EQ(present, 0) << s;
    }
}

TEST_F(SimAdapter, InjectsFaultsByCallCodeAndCount) {
    Config config;
    ASSERT_TRUE(ostrel::ParseFaultRules("send:0x05@2=-12, receive:6@2+, check=77, setslot@1",
                                        config.faults));
    config.fault_message = "Bus stuck";
    Reset(config);
    uint8_t answer[6];
    uint8_t flag = 0;
    EXPECT_EQ(SendCode(0x05), 0);
    EXPECT_EQ(Ostrel_Receive(1, answer, 6, 1), 0);
    EXPECT_EQ(SendCode(0x05), -12);
    EXPECT_EQ(Texts(), "Bus stuck / injected failure of Ostrel_Send for command code 0x05");
    EXPECT_EQ(Ostrel_Receive(1, answer, 6, 1), ostrel::kNoReadPending);  // the send did not happen
    EXPECT_EQ(SendCode(0x05), 0);                                        // only the second
    EXPECT_EQ(Ostrel_Receive(1, answer, 6, 1), 0);

    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(SendCode(0x06), 0);
        EXPECT_EQ(Ostrel_Receive(1, answer, 2, 1), i == 0 ? 0 : -99) << i;  // from the second on
    }
    EXPECT_EQ(Ostrel_Check(1, &flag), 77);
    EXPECT_EQ(Ostrel_Check(1, &flag), 77);
    EXPECT_EQ(Ostrel_SetSlot(1, 1, 0), -99);
    EXPECT_EQ(Ostrel_SetSlot(1, 1, 0), 0);
}

TEST_F(SimAdapter, FailsOpenAndFlushOnRequest) {
    Config config;
    ASSERT_TRUE(ostrel::ParseFaultRules("open=5", config.faults));
    config.fault_io_message = "LPT1 busy";
    Reset(config, false);
    EXPECT_EQ(Ostrel_Open(), 5);
    EXPECT_EQ(Texts(), "Injected fault / LPT1 busy");

    ASSERT_TRUE(ostrel::ParseFaultRules("flush@2", config.faults));
    Reset(config);
    EXPECT_EQ(Ostrel_Flush_LPT(), 0);
    EXPECT_EQ(Ostrel_Flush_LPT(), -99);
    EXPECT_EQ(Ostrel_Flush_LPT(), 0);
}

TEST_F(SimAdapter, TracesEveryCallWithItsArgumentsBytesAndResult) {
    const std::string path = testing::TempDir() + "ostrel_trace.txt";
    Config config;
    config.trace_path = path;
    config.version = 0x0105;
    Reset(config, false);
    uint8_t answer[2];
    char text[17];
    uint8_t present = 0;
    Ostrel_Version();
    Ostrel_Open();
    Ostrel_Check(1, &present);
    SendCode(0x0E);
    Ostrel_Receive(1, answer, 1, 1);
    Write({0x0F, 0xF4, 0x01});
    SendCode(0x04);
    Ostrel_ReceiveString(1, text, 16, 1);
    Ostrel_Receive(1, answer, 2, 1);
    Ostrel_IO_ErrorMessage();
    Ostrel_SetSlot(3, 1, 0);
    Ostrel_GetSlot(&present, 1, 0);
    Ostrel_Flush_LPT();
    ostrel::ResetInstance(Config{});  // closes the trace

    std::ifstream file(path);
    std::stringstream trace;
    trace << file.rdbuf();
    EXPECT_EQ(trace.str(),
              "Ostrel_Version() = 0x0105\n"
              "Ostrel_Open() = 0\n"
              "Ostrel_Check(1, -> 1) = 0\n"
              "Ostrel_Send(1, [0E], 1, 0) = 0\n"
              "Ostrel_Receive(1, -> [00], 1, 1) = 0\n"
              "Ostrel_Send(1, [0F F4 01], 3, 1) = 0\n"
              "Ostrel_Send(1, [04], 1, 0) = 0\n"
              "Ostrel_ReceiveString(1, -> \"2015-08-17\", 16, 1) = 0\n"
              "Ostrel_Receive(1, -> [], 2, 1) = -6\n"
              "Ostrel_IO_ErrorMessage() = \"Ostrel_Receive without a preceding Ostrel_Send of a "
              "command code with final flag 0\"\n"
              "Ostrel_SetSlot(3, 1, 0) = 0\n"
              "Ostrel_GetSlot(-> 3, 1, 0) = 0\n"
              "Ostrel_Flush_LPT() = 0\n");
}

// Configuration through the environment.
struct ConfigCase {
    std::map<std::string, std::string> env;
    std::string error;  // empty: accepted
};

Config Parse(const std::map<std::string, std::string> &env) {
    return ostrel::ParseConfig([&env](const char *name) -> const char * {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    });
}

TEST(SimConfig, ParsesEachVariableAndNamesTheOneThatDoesNot) {
    const std::vector<ConfigCase> cases = {
        {{}, ""},
        {{{"OSTREL_SIM_SLOT", "255"}, {"OSTREL_SIM_MISSING", "5v, TEMP"}}, ""},
        {{{"OSTREL_SIM_SLOT", "none"}, {"OSTREL_VERSION", "0x01FF"}, {"OSTREL_BUS_KHZ", "400"}},
         ""},
        {{{"OSTREL_FAULT", "receive:0x13@3+=-4,open"}, {"OSTREL_SIM_UPTIME", "59.5"}}, ""},
        {{{"OSTREL_SIM_SLOT", "256"}},
         "OSTREL_SIM_SLOT='256' is not a QMB slot (0 to 255) or none"},
        {{{"OSTREL_SIM_SLOT", "-1"}}, "OSTREL_SIM_SLOT='-1' is not a QMB slot (0 to 255) or none"},
        {{{"OSTREL_SIM_MISSING", "5V,4V"}},
         "OSTREL_SIM_MISSING='5V,4V' is not a list of 5V, 3V and TEMP"},
        {{{"OSTREL_SIM_UPTIME", "-1"}},
         "OSTREL_SIM_UPTIME='-1' is not a number of seconds from 0 to 4294967295"},
        {{{"OSTREL_VERSION", "0x10000"}},
         "OSTREL_VERSION='0x10000' is not a version word from 0 to 0xFFFF"},
        {{{"OSTREL_BUS_KHZ", "fast"}},
         "OSTREL_BUS_KHZ='fast' is not a bus clock in kHz from 0 (off) to 10000"},
        {{{"OSTREL_FAULT", "send:0x100"}},
         "OSTREL_FAULT='send:0x100' is not a list of rules CALL[:CODE][@N[+]][=RESULT]"},
        {{{"OSTREL_FAULT", "open:5"}},
         "OSTREL_FAULT='open:5' is not a list of rules CALL[:CODE][@N[+]][=RESULT]"},
        {{{"OSTREL_FAULT", "send@0"}},
         "OSTREL_FAULT='send@0' is not a list of rules CALL[:CODE][@N[+]][=RESULT]"},
        {{{"OSTREL_FAULT", "send=0"}},
         "OSTREL_FAULT='send=0' is not a list of rules CALL[:CODE][@N[+]][=RESULT]"},
        {{{"OSTREL_FAULT", "reboot"}},
         "OSTREL_FAULT='reboot' is not a list of rules CALL[:CODE][@N[+]][=RESULT]"},
    };
    for (const ConfigCase &c : cases) {
        EXPECT_EQ(Parse(c.env).error, c.error);
    }
    const Config config = Parse({{"OSTREL_FAULT", "receive:0x13@3+=-4"},
                                 {"OSTREL_SIM_SLOT", "0x10"},
                                 {"OSTREL_SIM_MISSING", "3v"}});
    ASSERT_EQ(config.faults.size(), 1u);
    EXPECT_EQ(config.faults[0].call, ostrel::Call::kReceive);
    EXPECT_EQ(config.faults[0].code, 0x13);
    EXPECT_EQ(config.faults[0].nth, 3u);
    EXPECT_TRUE(config.faults[0].and_later);
    EXPECT_EQ(config.faults[0].result, -4);
    EXPECT_EQ(config.device_slot, 16);
    EXPECT_TRUE(config.missing.supply_3v);
    EXPECT_FALSE(config.missing.supply_5v);
}

TEST(SimConfig, AConfigurationErrorFailsOpenWithItsText) {
    ostrel::ResetInstance(Parse({{"OSTREL_BUS_KHZ", "fast"}}));
    EXPECT_EQ(Ostrel_Open(), ostrel::kConfigError);
    EXPECT_STREQ(Ostrel_ErrorMessage(), "Invalid adapter configuration");
    EXPECT_STREQ(Ostrel_IO_ErrorMessage(),
                 "OSTREL_BUS_KHZ='fast' is not a bus clock in kHz from 0 (off) to 10000");
}

}  // namespace
