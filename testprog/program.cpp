#include "program.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "Ostrel.h"

namespace ktr7test {

namespace {

std::string FormatList(const char *format, va_list args) {
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

}  // namespace

std::string Format(const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = FormatList(format, args);
    va_end(args);
    return text;
}

void Print(Console &console, const char *format, ...) {
    va_list args;
    va_start(args, format);
    console.Write(FormatList(format, args));
    va_end(args);
}

void PrintAtCursor(Console &console, const char *format, ...) {
    va_list args;
    va_start(args, format);
    console.WriteAtCursor(FormatList(format, args));
    va_end(args);
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
