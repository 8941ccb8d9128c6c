// The console as the program's logic sees it. Everything the program shows goes through it, so
// that the logic runs unchanged on a real terminal and against a scripted console in tests.
#ifndef KTR7TEST_CONSOLE_H
#define KTR7TEST_CONSOLE_H

#include <string_view>

namespace ktr7test {

class Console {
  public:
    virtual ~Console() = default;

    // Standard output: text appears in the order written.
    virtual void Write(std::string_view text) = 0;
};

}  // namespace ktr7test

#endif  // KTR7TEST_CONSOLE_H
