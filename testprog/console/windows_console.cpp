#include "windows_console.h"

#include <conio.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace ktr7test {
namespace {

// _getch delivers a key without a character as 0, or as 224 for the grey cursor and editing
// keys, followed by its code. Both prefixes count alike: otherwise the grey Up key would arrive
// as "H" and set the laser duty cycle.
constexpr int kExtendedPrefix = 0;
constexpr int kGreyKeyPrefix = 224;
constexpr unsigned kTimerResolutionMs = 1;  // Sleep(1) sleeps about 1 ms, not a 15.6 ms tick
constexpr int kTabWidth = 8;

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

bool ScreenInfo(HANDLE output, CONSOLE_SCREEN_BUFFER_INFO &info) {
    return GetConsoleScreenBufferInfo(output, &info) != 0;
}

int AdvanceColumn(int column, std::string_view text) {
    for (const char c : text) {
        if (c == '\n' || c == '\r') {
            column = 1;
        } else if (c == '\t') {
            column = ((column - 1) / kTabWidth + 1) * kTabWidth + 1;
        } else if (static_cast<unsigned char>(c) >= 0x20) {
            ++column;
        }
    }
    return column;
}

}  // namespace

WindowsConsole::WindowsConsole()
    : input_(GetStdHandle(STD_INPUT_HANDLE)),
      output_(GetStdHandle(STD_OUTPUT_HANDLE)),
      output_is_console_(IsConsole(output_)),
      input_is_console_(IsConsole(input_)),
      start_(std::chrono::steady_clock::now()) {
    timeBeginPeriod(kTimerResolutionMs);
}

WindowsConsole::~WindowsConsole() {
    std::fflush(stdout);
    timeEndPeriod(kTimerResolutionMs);
}

void WindowsConsole::Output(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    column_ = AdvanceColumn(column_, text);
}

void WindowsConsole::Write(std::string_view text) {
    Output(text);
}

// Directly to the console, past standard output's buffer; into standard output when that is not
// the console.
void WindowsConsole::WriteAtCursor(std::string_view text) {
    if (!output_is_console_) return Output(text);
    std::fflush(stdout);
    DWORD written = 0;
    WriteConsoleA(output_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool WindowsConsole::KeyWaiting() {
    return pending_code_ >= 0 || _kbhit() != 0;
}

int WindowsConsole::ReadKey() {
    if (pending_code_ >= 0) {
        const int code = pending_code_;
        pending_code_ = -1;
        return code;
    }
    std::fflush(stdout);
    const int code = _getch();
    if (code == kExtendedPrefix || code == kGreyKeyPrefix) {
        pending_code_ = _getch();
        return 0;
    }
    return code;
}

bool WindowsConsole::ReadLine(std::string &line) {
    pending_code_ = -1;
    std::fflush(stdout);
    line.clear();
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, stdin) != nullptr) {
        line += chunk;
        if (!line.empty() && line.back() == '\n') break;
    }
    if (line.empty()) return false;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    if (!input_is_console_) Output(line + "\n");  // nobody else shows an entry from a file
    column_ = 1;
    return true;
}

int WindowsConsole::CursorColumn() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!output_is_console_ || !ScreenInfo(output_, info)) return column_;
    return info.dwCursorPosition.X + 1;
}

void WindowsConsole::MoveToColumn(int column) {
    if (column < 1) column = 1;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (output_is_console_ && ScreenInfo(output_, info)) {
        std::fflush(stdout);
        COORD position = info.dwCursorPosition;
        position.X = static_cast<SHORT>(column - 1);
        SetConsoleCursorPosition(output_, position);
        return;
    }
    // Written to a file or pipe: a later column on a new line, so that nothing is lost.
    if (column < column_) Output("\n");
    Output(std::string(static_cast<std::size_t>(column - column_), ' '));
}

void WindowsConsole::ClearToEndOfRow() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!output_is_console_ || !ScreenInfo(output_, info)) return;
    std::fflush(stdout);
    const DWORD length = static_cast<DWORD>(info.dwSize.X - info.dwCursorPosition.X);
    DWORD done = 0;
    FillConsoleOutputCharacterA(output_, ' ', length, info.dwCursorPosition, &done);
    FillConsoleOutputAttribute(output_, info.wAttributes, length, info.dwCursorPosition, &done);
}

// The degree sign of the console's code page: 0xF8 in the PC's 437 and 850, or UTF-8.
std::string_view WindowsConsole::DegreeSign() {
    return GetConsoleOutputCP() == CP_UTF8 ? "\xC2\xB0" : "\xF8";
}

uint32_t WindowsConsole::Milliseconds() {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    return static_cast<uint32_t>(static_cast<uint64_t>(elapsed.count()));
}

void WindowsConsole::Sleep1ms() {
    if (!KeyWaiting()) Sleep(1);
}

// The console's input handle is signalled while input events wait. Events that _kbhit does not
// count as a key (mouse, focus, key releases, Shift alone) are taken out, or the wait would
// return at once again.
void WindowsConsole::WaitForKey() {
    while (!KeyWaiting()) {
        if (!input_is_console_) {
            Sleep(1);
            continue;
        }
        WaitForSingleObject(input_, INFINITE);
        INPUT_RECORD record;
        DWORD count = 0;
        if (!_kbhit() && PeekConsoleInputA(input_, &record, 1, &count) && count == 1) {
            ReadConsoleInputA(input_, &record, 1, &count);
        }
    }
}

}  // namespace ktr7test
