#include "program.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "Ostrel.h"

namespace ktr7test {

void Print(Console &console, const char *format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length > 0) {
        std::string text(static_cast<std::size_t>(length), '\0');
        std::vsnprintf(text.data(), text.size() + 1, format, again);
        console.Write(text);
    }
    va_end(again);
}

void ReportError(Program &program, const char *function) {
    // The I/O text is fetched first, right after the failed call.
    const char *io_message = Ostrel_IO_ErrorMessage();
    const char *message = Ostrel_ErrorMessage();
    Print(program.console, "Error at %s: %s, I/O Error Message: %s\n", function, message,
          io_message);
}

void FlushBuffers(Program &program) {
    if (program.debug()) {
        Print(program.console, "Flushing communication buffers of the Ostrel adapter...\n");
    }
    if (Ostrel_Flush_LPT() != 0) {
        ReportError(program, "Ostrel_Flush_LPT");
        return;
    }
    if (program.debug()) {
        Print(program.console, "Communication buffers of the Ostrel adapter were flushed\n");
    } else if (!program.quiet()) {
        Print(program.console, "Buffers flushed\n");
    }
}

void Fail(Program &program, const char *function) {
    ReportError(program, function);
    FlushBuffers(program);
}

}  // namespace ktr7test
