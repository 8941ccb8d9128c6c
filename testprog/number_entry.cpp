#include "number_entry.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace ktr7test {
namespace {

constexpr uint64_t kLargestU32 = 0xFFFFFFFFu;

bool IsSpace(char c) {
    return std::strchr(" \t\n\v\f\r", c) != nullptr && c != '\0';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Conversion {
    std::size_t consumed = 0;  // 0: no digit converted
    uint32_t value = 0;
};

// The unsigned conversion of the standard library (strtoul) with 32-bit results on every
// platform: whatever the width of long, a run beyond 4294967295 saturates.
Conversion ConvertUnsigned(const char *text, unsigned radix) {
    const char *p = text;
    while (IsSpace(*p))
        ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    // The 0x prefix counts only when a hexadecimal digit follows it; otherwise the 0 alone is
    // the number and the conversion stops at the x.
    if (radix == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16) p += 2;
    const char *digits = p;
    uint64_t value = 0;
    bool saturated = false;
    for (; static_cast<unsigned>(DigitValue(*p)) < radix; ++p) {
        value = value * radix + static_cast<unsigned>(DigitValue(*p));
        if (value > kLargestU32) {
            saturated = true;
            value = kLargestU32;  // keeps value * radix within 64 bits
        }
    }
    if (p == digits) return {};
    uint32_t result = static_cast<uint32_t>(value);
    if (negative && !saturated) result = static_cast<uint32_t>(0u - result);
    return {static_cast<std::size_t>(p - text), result};
}

}  // namespace

int String2ULong(const char *word, uint32_t &number) {
    const std::size_t length = std::strlen(word);
    if (length == 0) return kEntryEmpty;
    const char suffix = word[length - 1];
    const unsigned radix = suffix == 'h' ? 16 : suffix == 'b' ? 2 : 10;
    const Conversion conversion = ConvertUnsigned(word, radix);
    if (conversion.consumed == 0) return kEntryNotANumber;
    const std::size_t expected = radix == 10 ? length : length - 1;
    if (conversion.consumed != expected) return kEntryNotANumber;
    number = conversion.value;
    return 0;
}

std::optional<int32_t> ParseInteger(std::string_view word) {
    std::size_t i = 0;
    const bool negative = !word.empty() && word[0] == '-';
    if (!word.empty() && (word[0] == '+' || word[0] == '-')) ++i;
    if (i == word.size()) return std::nullopt;
    int64_t value = 0;
    for (; i < word.size(); ++i) {
        if (!IsDigit(word[i])) return std::nullopt;
        value = value * 10 + (word[i] - '0');
        if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
    }
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<float> ParseFloat(std::string_view word) {
    std::size_t i = 0;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) ++i;
    const std::string_view rest = word.substr(i);
    auto same = [](std::string_view a, const char *b) {
        if (a.size() != std::strlen(b)) return false;
        for (std::size_t k = 0; k < a.size(); ++k) {
            const char c =
                (a[k] >= 'A' && a[k] <= 'Z') ? static_cast<char>(a[k] - 'A' + 'a') : a[k];
            if (c != b[k]) return false;
        }
        return true;
    };
    const bool special = same(rest, "nan") || same(rest, "inf") || same(rest, "infinity");
    if (!special) {
        std::size_t digits = 0;
        for (; i < word.size() && IsDigit(word[i]); ++i)
            ++digits;
        if (i < word.size() && word[i] == '.') {
            for (++i; i < word.size() && IsDigit(word[i]); ++i)
                ++digits;
        }
        if (digits == 0) return std::nullopt;
        if (i < word.size() && (word[i] == 'e' || word[i] == 'E')) {
            ++i;
            if (i < word.size() && (word[i] == '+' || word[i] == '-')) ++i;
            std::size_t exponent_digits = 0;
            for (; i < word.size() && IsDigit(word[i]); ++i)
                ++exponent_digits;
            if (exponent_digits == 0) return std::nullopt;
        }
        if (i != word.size()) return std::nullopt;
    }
    // Checked above to be decimal notation only; strtof rounds it to the nearest float (the C
    // locale's decimal point: the program takes nothing but the character set from the locale).
    const std::string text(word);
    return std::strtof(text.c_str(), nullptr);
}

std::optional<std::string> ReadEntryWord(Console &console) {
    std::string line;
    while (console.ReadLine(line)) {
        std::size_t start = 0;
        while (start < line.size() && IsSpace(line[start]))
            ++start;
        if (start == line.size()) continue;  // a blank line: keep waiting
        std::size_t end = start;
        while (end < line.size() && !IsSpace(line[end]))
            ++end;
        return line.substr(start, end - start);
    }
    return std::nullopt;
}

}  // namespace ktr7test
