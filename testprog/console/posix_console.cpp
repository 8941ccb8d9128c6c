// Terminal control used here (ECMA-48, as xterm-compatible terminals, tmux and the Linux console
// understand it):
//   ESC [ 6 n        cursor position query; the terminal answers ESC [ row ; column R
//   ESC [ column G   cursor to a column of its row
//   ESC [ K          clear from the cursor to the end of the row
// Keys arrive as bytes and escape sequences; key_decoder.h turns them into key codes.
#include "posix_console.h"

#include <poll.h>
#include <unistd.h>

#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <ctime>

#ifdef __linux__
#include <sys/prctl.h>
#endif

#include "key_decoder.h"
#include "posix_terminal.h"

namespace ktr7test {
namespace {

using posix::TerminalMode;

constexpr int kInput = 0;
constexpr int kEscapeWaitMs = 30;           // the rest of a key's sequence arrives within this
constexpr int kPositionReportWaitMs = 200;  // a terminal that answers does so within this
constexpr std::size_t kLongestLine = 4096;  // a longer entry line is cut; its rest is dropped
constexpr std::size_t kReadChunk = 4096;
constexpr int kTabWidth = 8;

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// The column after text, starting from column; UTF-8 continuation bytes take no room.
int AdvanceColumn(int column, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n' || c == '\r') {
            column = 1;
        } else if (c == '\t') {
            column = ((column - 1) / kTabWidth + 1) * kTabWidth + 1;
        } else if (c == '\b') {
            column = column > 1 ? column - 1 : 1;
        } else if (byte >= 0x20 && (byte < 0x80 || byte >= 0xC0)) {
            ++column;
        }
    }
    return column;
}

std::size_t FindLineEnd(const std::string &text, std::size_t from) {
    return text.find_first_of("\n\r", from);
}

}  // namespace

PosixConsole::PosixConsole()
    : input_is_terminal_(isatty(kInput) == 1),
      output_is_terminal_(isatty(STDOUT_FILENO) == 1),
      start_(std::chrono::steady_clock::now()) {
#ifdef __linux__
    // The default timer slack makes a 1 ms sleep last about 1.1 ms; the key loop and the uptime
    // display pause that often, so keep the sleeps close to what they ask for.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
    // The character set is the one thing taken from the locale; numbers keep their "." and
    // every other category stays "C".
    if (std::setlocale(LC_CTYPE, "") != nullptr) {
        utf8_ = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    }
    if (input_is_terminal_ && posix::InitTerminal(kInput)) {
        posix::SetTerminalMode(TerminalMode::kKeys);
    }
}

PosixConsole::~PosixConsole() {
    std::fflush(stdout);
    posix::SetTerminalMode(TerminalMode::kOriginal);
}

// An answer to the position query that came after the wait for it was given up is no key.
void PosixConsole::DropLatePositionReport() {
    if (!late_report_possible_) return;
    const PositionReport report = FindPositionReport(buffer_);
    if (report.length == 0) return;
    buffer_.erase(report.offset, report.length);
    late_report_possible_ = false;
}

PosixConsole::Read PosixConsole::Fill(int timeout_ms) {
    if (ended_) return Read::kEnded;
    pollfd input{kInput, POLLIN, 0};
    const int ready = poll(&input, 1, timeout_ms);
    if (ready == 0 || (ready < 0 && errno == EINTR)) return Read::kNothing;
    if (ready < 0 || (input.revents & POLLNVAL)) return Read::kEnded;
    char chunk[kReadChunk];
    const ssize_t n = read(kInput, chunk, sizeof chunk);
    if (n > 0) {
        buffer_.append(chunk, static_cast<std::size_t>(n));
        DropLatePositionReport();
        return Read::kData;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return Read::kNothing;
    return Read::kEnded;
}

void PosixConsole::Output(std::string_view text, bool tracked) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    if (tracked) column_ = AdvanceColumn(column_, text);
}

void PosixConsole::Write(std::string_view text) {
    Output(text, true);
}

void PosixConsole::WriteAtCursor(std::string_view text) {
    Output(text, true);
}

bool PosixConsole::KeyWaiting() {
    if (InputWaiting()) return true;
    if (Fill(0) == Read::kEnded) ended_ = true;
    return InputWaiting();
}

int PosixConsole::ReadKey() {
    if (pending_code_ >= 0) {
        const int code = pending_code_;
        pending_code_ = -1;
        return code;
    }
    for (;;) {
        if (buffer_.empty()) {
            if (ended_) return kEndOfInput;
            if (Fill(-1) == Read::kEnded) ended_ = true;
            continue;
        }
        DecodedKey key = DecodeKey(buffer_, ended_, input_is_terminal_);
        if (key.kind == DecodedKey::Kind::kIncomplete) {
            // A lone ESC, or the start of a sequence: wait briefly for the rest.
            const Read more = Fill(kEscapeWaitMs);
            if (more == Read::kData) continue;
            if (more == Read::kEnded) ended_ = true;
            key = DecodeKey(buffer_, true, input_is_terminal_);
        }
        buffer_.erase(0, key.length);
        if (key.kind == DecodedKey::Kind::kExtended) {
            pending_code_ = key.code;
            return 0;
        }
        return key.code;
    }
}

// What the terminal has not echoed itself: keys typed ahead in key mode, or any input that is
// not a terminal. Only printable characters, so that stray key sequences move nothing.
void PosixConsole::Echo(std::string_view typed) {
    std::string shown;
    for (const char c : typed) {
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) shown += c;
    }
    Output(shown, true);
}

// Reads until a line end arrives and returns where it is, or npos when the input ends first.
// The line starts at the beginning of the buffer; beyond kLongestLine its characters are
// dropped as they come. On a terminal the line is read in line mode, where the terminal echoes
// and edits what is typed.
std::size_t PosixConsole::ReadRestOfLine() {
    if (input_is_terminal_) posix::SetTerminalMode(TerminalMode::kLine);
    std::size_t end = std::string::npos;
    while (end == std::string::npos) {
        const std::size_t before = buffer_.size();
        if (Fill(-1) == Read::kEnded) {
            // On a terminal this is Ctrl+D: the entry ends, the input goes on.
            if (!input_is_terminal_) ended_ = true;
            break;
        }
        end = FindLineEnd(buffer_, before);
        if (end == std::string::npos && buffer_.size() > kLongestLine) buffer_.resize(kLongestLine);
    }
    if (input_is_terminal_) posix::SetTerminalMode(TerminalMode::kKeys);
    return end;
}

bool PosixConsole::ReadLine(std::string &line) {
    pending_code_ = -1;  // half of an extended key is no part of a line
    while (Fill(0) == Read::kData) {
    }
    std::size_t end = FindLineEnd(buffer_, 0);
    bool line_end_echoed = false;
    if (end == std::string::npos) {
        const std::size_t typed_ahead = buffer_.size();
        Echo(buffer_);  // typed in key mode: nobody has shown it yet
        end = ReadRestOfLine();
        const bool found = end != std::string::npos;
        if (!found) end = buffer_.size();
        if (!input_is_terminal_) {
            const std::size_t shown = std::min(typed_ahead, end);  // a long line was cut
            Echo(std::string_view(buffer_).substr(shown, end - shown));
        }
        line_end_echoed = input_is_terminal_ && found;
        if (!found && end == 0) {
            Output("\n", true);
            return false;
        }
    } else {
        Echo(std::string_view(buffer_).substr(0, end));
    }
    line.assign(buffer_, 0, std::min(end, kLongestLine));
    std::size_t taken = end;
    if (taken < buffer_.size()) {
        const bool crlf =
            buffer_[taken] == '\r' && taken + 1 < buffer_.size() && buffer_[taken + 1] == '\n';
        taken += crlf ? 2 : 1;
    }
    buffer_.erase(0, taken);
    if (!line_end_echoed) Output("\n", true);
    column_ = 1;
    return true;
}

int PosixConsole::CursorColumn() {
    if (!input_is_terminal_ || !output_is_terminal_ || !position_reports_) return column_;
    Output("\x1b[6n", false);
    std::string incoming;
    incoming.swap(buffer_);  // keys typed before the query keep their place
    const std::size_t earlier = incoming.size();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kPositionReportWaitMs);
    for (;;) {
        const PositionReport report =
            FindPositionReport(std::string_view(incoming).substr(earlier));
        if (report.length > 0) {
            incoming.erase(earlier + report.offset, report.length);
            buffer_ = std::move(incoming) + buffer_;
            column_ = report.column;
            return column_;
        }
        const int left = MillisecondsUntil(deadline);
        if (left == 0) break;
        const Read got = Fill(left);
        incoming += buffer_;
        buffer_.clear();
        if (got == Read::kEnded) {
            ended_ = true;
            break;
        }
    }
    // No answer: this terminal does not report; go by what was written from now on.
    position_reports_ = false;
    late_report_possible_ = true;
    buffer_ = std::move(incoming);
    return column_;
}

void PosixConsole::MoveToColumn(int column) {
    if (column < 1) column = 1;
    if (output_is_terminal_) {
        char sequence[24];
        std::snprintf(sequence, sizeof sequence, "\x1b[%dG", column);
        Output(sequence, false);
        column_ = column;
        return;
    }
    // Written to a file or pipe: a later column on a new line, so that nothing is lost.
    if (column < column_) Output("\n", true);
    Output(std::string(static_cast<std::size_t>(column - column_), ' '), true);
}

void PosixConsole::ClearToEndOfRow() {
    if (output_is_terminal_) Output("\x1b[K", false);
}

// The degree sign of the PC's code pages 437 and 850 (0xF8), or its UTF-8 form.
std::string_view PosixConsole::DegreeSign() {
    return utf8_ ? "\xC2\xB0" : "\xF8";
}

uint32_t PosixConsole::Milliseconds() {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    return static_cast<uint32_t>(static_cast<uint64_t>(elapsed.count()));
}

void PosixConsole::WaitForKey() {
    while (!InputWaiting()) {
        if (Fill(-1) == Read::kEnded) ended_ = true;
    }
}

// A wait wakes up some tens of microseconds after it was asked to (the time the system takes to
// schedule the program again). The wait asks for 1 ms less that lateness, as measured over the
// last waits, so that on average it lasts the 1 ms it stands for.
void PosixConsole::Sleep1ms() {
    using std::chrono::nanoseconds;
    constexpr nanoseconds kPause = std::chrono::milliseconds(1);
    constexpr nanoseconds kShortestRequest = kPause / 2;
    if (InputWaiting()) return;
    const nanoseconds request = std::max(kPause - lateness_, kShortestRequest);
    pollfd input{kInput, POLLIN, 0};
    const timespec wait{0, static_cast<long>(request.count())};
    const auto start = std::chrono::steady_clock::now();
    const int ready = ppoll(&input, 1, &wait, nullptr);  // returns early when a key arrives
    if (ready != 0) return;
    const auto late = std::chrono::steady_clock::now() - start - request;
    lateness_ += (std::chrono::duration_cast<nanoseconds>(late) - lateness_) / 8;
    lateness_ = std::clamp(lateness_, nanoseconds(0), kPause - kShortestRequest);
}

}  // namespace ktr7test
