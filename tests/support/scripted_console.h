// A console for tests: keys and lines come from a script, each part arriving at a set time on
// a clock that only the program's own waiting moves on; everything shown is kept as text, with
// the cursor operations marked in it, and on a small screen of rows.
#ifndef KTR7_TESTS_SCRIPTED_CONSOLE_H
#define KTR7_TESTS_SCRIPTED_CONSOLE_H

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "console/console.h"

namespace testsupport {

class ScriptedConsole final : public ktr7test::Console {
  public:
    // bytes become readable at the clock time at_ms. Bytes are what ReadKey returns, one per
    // call: an extended key is written as "\0" followed by its code, e.g. std::string("\0H", 2).
    void Type(const std::string &bytes, uint32_t at_ms = 0);

    // What was written: Write and WriteAtCursor text, entries echoed as a terminal shows them,
    // "<col N>" for MoveToColumn(N) and "<clear>" for ClearToEndOfRow.
    std::string out;
    // The screen the output would leave (no wrapping, no scrolling).
    std::vector<std::string> screen{1};
    int cursor_column = 1;
    std::size_t cursor_row = 0;

    std::string degree_sign = "\xF8";
    uint32_t now_ms = 0;
    uint32_t sleeps = 0;
    uint32_t key_waits = 0;

    void Write(std::string_view text) override;
    void WriteAtCursor(std::string_view text) override;
    bool KeyWaiting() override;
    int ReadKey() override;
    bool ReadLine(std::string &line) override;
    int CursorColumn() override { return cursor_column; }
    void MoveToColumn(int column) override;
    void ClearToEndOfRow() override;
    std::string_view DegreeSign() override { return degree_sign; }
    uint32_t Milliseconds() override { return now_ms; }
    void Sleep1ms() override;
    void WaitForKey() override;

  private:
    struct Arrival {
        uint32_t at_ms;
        std::string bytes;
    };
    bool Available();     // moves arrived bytes into the input
    bool WaitForInput();  // moves the clock to the next arrival; false when none is left
    void Show(std::string_view text);

    std::deque<Arrival> arrivals_;
    std::string input_;
};

}  // namespace testsupport

#endif  // KTR7_TESTS_SCRIPTED_CONSOLE_H
