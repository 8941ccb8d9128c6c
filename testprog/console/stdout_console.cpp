#include "stdout_console.h"

#include <cstdio>

namespace ktr7test {

void StdoutConsole::Write(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace ktr7test
