#include "scripted_console.h"

#include <algorithm>

namespace testsupport {

void ScriptedConsole::Type(const std::string &bytes, uint32_t at_ms) {
    Arrival arrival{at_ms, bytes};
    const auto later =
        std::upper_bound(arrivals_.begin(), arrivals_.end(), at_ms,
                         [](uint32_t at, const Arrival &other) { return at < other.at_ms; });
    arrivals_.insert(later, arrival);
}

bool ScriptedConsole::Available() {
    while (!arrivals_.empty() && arrivals_.front().at_ms <= now_ms) {
        input_ += arrivals_.front().bytes;
        arrivals_.pop_front();
    }
    return !input_.empty();
}

bool ScriptedConsole::WaitForInput() {
    if (Available()) return true;
    if (arrivals_.empty()) return false;
    now_ms = arrivals_.front().at_ms;
    return Available();
}

void ScriptedConsole::Show(std::string_view text) {
    for (const char c : text) {
        if (c == '\n') {
            ++cursor_row;
            cursor_column = 1;
            if (screen.size() <= cursor_row) screen.resize(cursor_row + 1);
        } else if (c == '\r') {
            cursor_column = 1;
        } else {
            std::string &row = screen[cursor_row];
            const auto at = static_cast<std::size_t>(cursor_column - 1);
            if (row.size() <= at) row.resize(at + 1, ' ');
            row[at] = c;
            ++cursor_column;
        }
    }
}

void ScriptedConsole::Write(std::string_view text) {
    out.append(text);
    Show(text);
}

void ScriptedConsole::WriteAtCursor(std::string_view text) {
    Write(text);
}

bool ScriptedConsole::KeyWaiting() {
    return Available() || arrivals_.empty();
}

int ScriptedConsole::ReadKey() {
    if (!WaitForInput()) return ktr7test::kEndOfInput;
    const auto code = static_cast<unsigned char>(input_[0]);
    input_.erase(0, 1);
    return code;
}

bool ScriptedConsole::ReadLine(std::string &line) {
    line.clear();
    for (;;) {
        if (!WaitForInput()) {
            Write(line + "\n");  // the cursor leaves the prompt's line
            return !line.empty();
        }
        const auto end = input_.find('\n');
        line += input_.substr(0, end);
        input_.erase(0, end == std::string::npos ? std::string::npos : end + 1);
        if (end != std::string::npos) break;
    }
    Write(line + "\n");  // echoed as typed
    return true;
}

void ScriptedConsole::MoveToColumn(int column) {
    out += "<col " + std::to_string(column) + ">";
    cursor_column = std::max(column, 1);
}

void ScriptedConsole::ClearToEndOfRow() {
    out += "<clear>";
    std::string &row = screen[cursor_row];
    if (row.size() >= static_cast<std::size_t>(cursor_column)) {
        row.resize(static_cast<std::size_t>(cursor_column - 1));
    }
}

void ScriptedConsole::WaitForKey() {
    ++key_waits;
    WaitForInput();
}

void ScriptedConsole::Sleep1ms() {
    ++sleeps;
    ++now_ms;
}

}  // namespace testsupport
