// A console that only writes to standard output.
#ifndef KTR7TEST_STDOUT_CONSOLE_H
#define KTR7TEST_STDOUT_CONSOLE_H

#include "console.h"

namespace ktr7test {

class StdoutConsole final : public Console {
  public:
    void Write(std::string_view text) override;
};

}  // namespace ktr7test

#endif  // KTR7TEST_STDOUT_CONSOLE_H
