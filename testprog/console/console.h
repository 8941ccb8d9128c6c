// The console as the program's logic sees it: standard output, single keys without echo, line
// entries with echo, the cursor's column, a millisecond clock and a short sleep. The logic uses
// nothing else of the terminal, so it runs unchanged on a real terminal and against a scripted
// console in tests. One implementation per platform lives beside this file.
#ifndef KTR7TEST_CONSOLE_H
#define KTR7TEST_CONSOLE_H

#include <cstdint>
#include <string>
#include <string_view>

namespace ktr7test {

// What ReadKey returns once the input has ended (it returns the same from then on).
inline constexpr int kEndOfInput = -1;

class Console {
  public:
    virtual ~Console() = default;

    // Standard output: text appears in the order written, and is on the screen before the
    // console next waits for input.
    virtual void Write(std::string_view text) = 0;

    // Output written directly at the cursor, in order with Write.
    virtual void WriteAtCursor(std::string_view text) = 0;

    // Whether a key press is waiting, without taking it. True as well once the input has ended,
    // so that the next ReadKey reports it.
    virtual bool KeyWaiting() = 0;

    // Takes one key press without echo, waiting for one if none is waiting: a character's code
    // (1 to 255), or for a key without a character 0 and, at the next call, its extended code.
    // kEndOfInput once the input has ended.
    virtual int ReadKey() = 0;

    // Takes one line typed with echo and line editing, without its line end; false when the
    // input ends before anything was typed. Keys typed ahead are part of the line.
    virtual bool ReadLine(std::string &line) = 0;

    // The cursor's column, 1 for the first.
    virtual int CursorColumn() = 0;

    // Moves the cursor to column (1-based) of the row it is in.
    virtual void MoveToColumn(int column) = 0;

    // Clears the cursor's row from the cursor to its end; the cursor stays.
    virtual void ClearToEndOfRow() = 0;

    // The degree sign in the console's character set.
    virtual std::string_view DegreeSign() = 0;

    // Milliseconds since the console was made; differences are taken modulo 2^32.
    virtual uint32_t Milliseconds() = 0;

    // Waits one millisecond, or less when a key press arrives meanwhile.
    virtual void Sleep1ms() = 0;

    // Waits, without a time limit and without using the processor, until a key press is
    // waiting or the input has ended.
    virtual void WaitForKey() = 0;
};

}  // namespace ktr7test

#endif  // KTR7TEST_CONSOLE_H
