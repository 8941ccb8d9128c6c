// The console on a POSIX terminal (or on pipes and files, where the terminal's parts degrade):
// the one reader of standard input, which key reads and line entries share.
#ifndef KTR7TEST_POSIX_CONSOLE_H
#define KTR7TEST_POSIX_CONSOLE_H

#include <chrono>

#include "console.h"

namespace ktr7test {

class PosixConsole final : public Console {
  public:
    PosixConsole();
    ~PosixConsole() override;
    PosixConsole(const PosixConsole &) = delete;
    PosixConsole &operator=(const PosixConsole &) = delete;

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
    enum class Read { kData, kNothing, kEnded };
    // Waits up to timeout_ms (-1: without limit) for input and appends what arrived.
    Read Fill(int timeout_ms);
    void DropLatePositionReport();
    bool InputWaiting() const { return pending_code_ >= 0 || !buffer_.empty() || ended_; }
    void Output(std::string_view text, bool tracked);
    void Echo(std::string_view typed);
    std::size_t ReadRestOfLine();

    const bool input_is_terminal_;
    const bool output_is_terminal_;
    std::string buffer_;     // input bytes not taken yet: keys typed ahead, the line being read
    int pending_code_ = -1;  // the extended code that follows a 0 from ReadKey
    bool ended_ = false;     // the input has ended for good
    int column_ = 1;         // where the output left the cursor, as far as it can tell
    bool position_reports_ = true;       // the terminal answered (or may answer) position queries
    bool late_report_possible_ = false;  // the position query timed out; its answer may follow
    bool utf8_ = false;                  // the terminal's character set is UTF-8
    std::chrono::steady_clock::time_point start_;
    std::chrono::nanoseconds lateness_{0};  // how much later than asked the recent waits ended
};

}  // namespace ktr7test

#endif  // KTR7TEST_POSIX_CONSOLE_H
