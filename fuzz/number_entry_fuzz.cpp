// Any word through the number entries, each against a model built another way:
//   String2ULong   against the C library's 64-bit unsigned conversion, cut to 32 bits by the
//                  rules of the entry (a run beyond 4294967295 saturates; "-" negates modulo 2^32);
//   ParseInteger   against strtoll on words of the form [+-]digits;
//   ParseFloat     against strtof on words of the decimal form or nan/inf/infinity.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "number_entry.h"

namespace {

bool Space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// String2ULong's model: strtoull does the digits, the prefix and where it stops; the sign is
// taken off first, so that the size of the digit run is seen before any negation.
int ReferenceString2ULong(const std::string &word, uint32_t &number) {
    if (word.empty()) return ktr7test::kEntryEmpty;
    const char suffix = word.back();
    const int radix = suffix == 'h' ? 16 : suffix == 'b' ? 2 : 10;
    std::size_t i = 0;
    while (i < word.size() && Space(word[i]))
        ++i;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
    // strtoull would take a second sign or more blanks; the entry does not.
    if (i >= word.size() || word[i] == '+' || word[i] == '-' || Space(word[i])) {
        return ktr7test::kEntryNotANumber;
    }
    const char *start = word.c_str() + i;
    char *end = nullptr;
    errno = 0;
    const unsigned long long magnitude = std::strtoull(start, &end, radix);
    if (end == start) return ktr7test::kEntryNotANumber;
    const auto consumed = static_cast<std::size_t>(end - word.c_str());
    if (consumed != (radix == 10 ? word.size() : word.size() - 1))
        return ktr7test::kEntryNotANumber;
    if (errno == ERANGE || magnitude > 0xFFFFFFFFull) {
        number = 0xFFFFFFFFu;
    } else {
        const auto value = static_cast<uint32_t>(magnitude);
        number = negative ? static_cast<uint32_t>(0u - value) : value;
    }
    return 0;
}

std::optional<int32_t> ReferenceInteger(const std::string &word) {
    std::size_t i = word.empty() ? 0 : (word[0] == '+' || word[0] == '-') ? 1 : 0;
    if (i == word.size()) return std::nullopt;
    for (; i < word.size(); ++i) {
        if (!Digit(word[i])) return std::nullopt;
    }
    errno = 0;
    const long long value = std::strtoll(word.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

bool DecimalForm(const std::string &word) {
    std::size_t i = 0;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) ++i;
    std::string rest = word.substr(i);
    for (char &c : rest)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (rest == "nan" || rest == "inf" || rest == "infinity") return true;
    std::size_t digits = 0;
    while (i < word.size() && Digit(word[i]))
        ++i, ++digits;
    if (i < word.size() && word[i] == '.') {
        ++i;
        while (i < word.size() && Digit(word[i]))
            ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < word.size() && (word[i] == 'e' || word[i] == 'E')) {
        ++i;
        if (i < word.size() && (word[i] == '+' || word[i] == '-')) ++i;
        std::size_t exponent = 0;
        while (i < word.size() && Digit(word[i]))
            ++i, ++exponent;
        if (exponent == 0) return false;
    }
    return i == word.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string word(reinterpret_cast<const char *>(data),
                           strnlen(reinterpret_cast<const char *>(data), size));

    uint32_t number = 0x5A5A5A5A;
    uint32_t expected = 0x5A5A5A5A;
    const int result = ktr7test::String2ULong(word.c_str(), number);
    if (result != ReferenceString2ULong(word, expected) || number != expected) std::abort();

    if (ktr7test::ParseInteger(word) != ReferenceInteger(word)) std::abort();

    const std::optional<float> parsed = ktr7test::ParseFloat(word);
    if (parsed.has_value() != DecimalForm(word)) std::abort();
    if (parsed) {
        const float reference = std::strtof(word.c_str(), nullptr);
        if (std::isnan(reference) ? !std::isnan(*parsed)
                                  : std::memcmp(&reference, &*parsed, sizeof reference) != 0) {
            std::abort();
        }
    }
    return 0;
}
