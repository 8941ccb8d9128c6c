// Number entry and the uptime's clock forms, as tables: the slot notation with its 32-bit
// semantics, the decimal integer and float entries, and the rounding and forms of the uptime.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "number_entry.h"
#include "support/scripted_console.h"
#include "uptime_format.h"

namespace {

using ktr7test::kEntryEmpty;
using ktr7test::kEntryNotANumber;

struct WordCase {
    std::string word;
    int result;
    uint32_t number;  // when result is 0
};

TEST(String2ULong, NotationsSignsAndLimits) {
    const WordCase cases[] = {
        {"", kEntryEmpty, 0},
        {"123", 0, 123},
        {"7Bh", 0, 123},
        {"7bh", 0, 123},
        {"1111011b", 0, 123},
        {"0x7Bh", 0, 123},
        {"0X7bh", 0, 123},
        {"+123", 0, 123},
        {"7BH", kEntryNotANumber, 0},  // radix 10 stops at B
        {"h", kEntryNotANumber, 0},
        {"b", kEntryNotANumber, 0},
        {"-b", kEntryNotANumber, 0},
        {"+", kEntryNotANumber, 0},
        {"12b", kEntryNotANumber, 0},   // 2 is no binary digit
        {"1bh", 0, 27},                 // b is a hexadecimal digit
        {"0x10", kEntryNotANumber, 0},  // the prefix only in radix 16
        {"0xh", kEntryNotANumber, 0},   // the 0 alone converts, stopping at x
        {"0xgh", kEntryNotANumber, 0},
        {"-1", 0, 4294967295u},
        {"-4294967295", 0, 1},
        {"-0", 0, 0},
        {"4294967295", 0, 4294967295u},
        {"4294967296", 0, 4294967295u},  // saturates, does not wrap to 0
        {"99999999999999999999999999", 0, 4294967295u},
        {"-4294967296", 0, 4294967295u},  // saturation wins over the sign
        {"FFFFFFFFh", 0, 4294967295u},
        {"100000000h", 0, 4294967295u},
        {"11111111111111111111111111111111b", 0, 4294967295u},
        {"111111111111111111111111111111111b", 0, 4294967295u},
        {" 12", 0, 12},
        {"\t\n\v\f\r12", 0, 12},
        {"12 ", kEntryNotANumber, 0},
        {"1 2", kEntryNotANumber, 0},
        {"--1", kEntryNotANumber, 0},
        {"00000000012", 0, 12},
    };
    for (const WordCase &c : cases) {
        uint32_t number = 0xA5A5A5A5;
        EXPECT_EQ(ktr7test::String2ULong(c.word.c_str(), number), c.result) << "'" << c.word << "'";
        EXPECT_EQ(number, c.result == 0 ? c.number : 0xA5A5A5A5) << "'" << c.word << "'";
    }
}

TEST(IntegerEntry, WholeDecimalWordsWithinSigned32Bits) {
    const std::pair<const char *, std::optional<int32_t>> cases[] = {
        {"0", 0},
        {"1", 1},
        {"+45", 45},
        {"-180", -180},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", {}},
        {"-2147483649", {}},
        {"99999999999", {}},
        {"", {}},
        {"-", {}},
        {"+", {}},
        {"abc", {}},
        {"12abc", {}},
        {"1.5", {}},
        {"1e2", {}},
        {"0x10", {}},
        {"1 2", {}},
    };
    for (const auto &[word, value] : cases)
        EXPECT_EQ(ktr7test::ParseInteger(word), value) << word;
}

TEST(FloatEntry, WholeDecimalNumbersWithFractionAndExponent) {
    const std::pair<const char *, std::optional<float>> cases[] = {
        {"1", 1.0f},       {"1e2", 100.0f},    {"1E+2", 100.0f},  {"100.", 100.0f}, {".5", 0.5f},
        {"-0.99", -0.99f}, {"+50.05", 50.05f}, {"12.24", 12.24f}, {"1e-50", 0.0f},  {"abc", {}},
        {"12abc", {}},     {"1.5.2", {}},      {"", {}},          {".", {}},        {"e5", {}},
        {"1e", {}},        {"1e+", {}},        {"0x1p3", {}},     {"1,5", {}},      {"--1", {}},
    };
    for (const auto &[word, value] : cases)
        EXPECT_EQ(ktr7test::ParseFloat(word), value) << word;
    EXPECT_TRUE(std::isnan(*ktr7test::ParseFloat("nan")));
    EXPECT_TRUE(std::isnan(*ktr7test::ParseFloat("-NaN")));
    EXPECT_EQ(ktr7test::ParseFloat("inf"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(ktr7test::ParseFloat("-Infinity"), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(ktr7test::ParseFloat("1e50"), std::numeric_limits<float>::infinity());
    EXPECT_FALSE(ktr7test::ParseFloat("nanx"));
}

TEST(EntryWord, FirstWordOfTheFirstLineThatHoldsOne) {
    testsupport::ScriptedConsole console;
    console.Type("\n   \t\n  +45  rest of line\nnext\n");
    EXPECT_EQ(ktr7test::ReadEntryWord(console), "+45");
    EXPECT_EQ(ktr7test::ReadEntryWord(console), "next");
    EXPECT_EQ(ktr7test::ReadEntryWord(console), std::nullopt);
}

TEST(PrintUptime, ShortestClockFormRoundedHalfUpToHundredths) {
    const std::pair<double, const char *> cases[] = {
        {0, "0.00s"},
        {0.004, "0.00s"},
        {0.005, "0.01s"},
        {0.006, "0.01s"},
        {59.994, "59.99s"},
        {59.996, "1:00.00"},
        {61.5, "1:01.50"},
        {3599.994, "59:59.99"},
        {3599.996, "1:00:00.00"},
        {3661.25, "1:01:01.25"},
        {360000, "100:00:00.00"},
        {4294967295.0, "1193046:28:15.00"},
        {4294967295.995, "1193046:28:16.00"},         // whole seconds beyond 32 bits keep counting
        {4294967358.9990234375, "1193046:29:19.00"},  // the device's largest uptime
        {1e15, "277777777777:46:40.00"},
        {-1.5, "-1.50s"},
        {-0.004, "0.00s"},
        {1e300, "n/a"},
        {std::numeric_limits<double>::infinity(), "n/a"},
        {std::numeric_limits<double>::quiet_NaN(), "n/a"},
    };
    for (const auto &[seconds, text] : cases) {
        EXPECT_EQ(ktr7test::FormatUptime(seconds), text) << seconds;
    }
}

TEST(PrintUptime, AtTheCursorOrAsALine) {
    testsupport::ScriptedConsole console;
    ktr7test::PrintUptime(console, 61.5, true);
    ktr7test::PrintUptime(console, 61.5, false);
    EXPECT_EQ(console.out, "1:01.501:01.50\n");
}

}  // namespace
