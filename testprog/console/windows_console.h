// The console on Windows: keys from the console's input without echo (_kbhit, _getch), line
// entries from standard input in the console's own line mode, the cursor through the console
// screen buffer.
#ifndef KTR7TEST_WINDOWS_CONSOLE_H
#define KTR7TEST_WINDOWS_CONSOLE_H

#include <chrono>

#include "console.h"

namespace ktr7test {

class WindowsConsole final : public Console {
  public:
    WindowsConsole();
    ~WindowsConsole() override;
    WindowsConsole(const WindowsConsole &) = delete;
    WindowsConsole &operator=(const WindowsConsole &) = delete;

    void Write(std::string_view text) override;
    void WriteAtCursor(std::string_view text) override;
    bool KeyWaiting() override;
    int ReadKey() override;
    bool ReadLine(std::string &line) override;
    int CursorColumn() override;
    void MoveToColumn(int column) override;
    void ClearToEndOfRow() override;
    std::string_view DegreeSign() override;
    uint32_t Milliseconds() override;
    void Sleep1ms() override;
    void WaitForKey() override;

  private:
    void Output(std::string_view text);

    void *input_;  // the console's input and screen buffer handles (HANDLE)
    void *output_;
    bool output_is_console_;
    bool input_is_console_;
    int pending_code_ = -1;  // the extended code that follows a 0 from ReadKey
    int column_ = 1;         // where the output left the cursor, when it is not the console
    std::chrono::steady_clock::time_point start_;
};

}  // namespace ktr7test

#endif  // KTR7TEST_WINDOWS_CONSOLE_H
