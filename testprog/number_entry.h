// Numbers the operator types: the QMB slot in decimal, hexadecimal ("h") or binary ("b")
// notation, and the decimal integer and float entries of the set commands.
#ifndef KTR7TEST_NUMBER_ENTRY_H
#define KTR7TEST_NUMBER_ENTRY_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "console/console.h"

namespace ktr7test {

inline constexpr int kEntryEmpty = -1;
inline constexpr int kEntryNotANumber = -2;

// Converts word into an unsigned 32-bit number. A trailing "h" selects hexadecimal, a trailing
// "b" binary, anything else decimal. Leading white space and one sign are allowed, in
// hexadecimal also a 0x prefix; the digits must reach the suffix (or the end, in decimal). A
// digit run beyond 4294967295 gives 4294967295 whatever the sign; otherwise "-" negates modulo
// 2^32. Returns 0, kEntryEmpty or kEntryNotANumber; number is written only on 0.
int String2ULong(const char *word, uint32_t &number);

// A complete decimal integer with an optional sign, within signed 32 bits.
std::optional<int32_t> ParseInteger(std::string_view word);

// A complete decimal number with optional sign, fraction and exponent, or nan or inf(inity),
// as the nearest single-precision float.
std::optional<float> ParseFloat(std::string_view word);

// The first word of the next line that holds one; the rest of that line is dropped. Blank
// lines are passed over. Nothing when the input ends first.
std::optional<std::string> ReadEntryWord(Console &console);

}  // namespace ktr7test

#endif  // KTR7TEST_NUMBER_ENTRY_H
