// printf-style formatting into a string, for tests that render values to compare.
#ifndef KTR7_TESTS_TEXT_H
#define KTR7_TESTS_TEXT_H

#include <cstdarg>
#include <cstdio>
#include <string>

namespace testsupport {

inline std::string Text(const char *format, ...) __attribute__((format(printf, 1, 2)));
inline std::string Text(const char *format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

}  // namespace testsupport

#endif  // KTR7_TESTS_TEXT_H
