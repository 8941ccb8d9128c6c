#include "key_decoder.h"

#include <array>
#include <utility>

namespace ktr7test {
namespace {

constexpr char kEsc = '\x1B';

// Final letters of CSI and SS3 sequences.
constexpr std::array<std::pair<char, int>, 12> kFinalLetters = {{
    {'A', 72},
    {'B', 80},
    {'C', 77},
    {'D', 75},
    {'H', 71},
    {'F', 79},
    {'E', 76},
    {'Z', 15},
    {'P', 59},
    {'Q', 60},
    {'R', 61},
    {'S', 62},
}};

// The number of ESC [ n ~.
constexpr std::array<std::pair<int, int>, 20> kTildeNumbers = {{
    {1, 71},  {2, 82},  {3, 83},  {4, 79},  {5, 73},   {6, 81},   {7, 71},
    {8, 79},  {11, 59}, {12, 60}, {13, 61}, {14, 62},  {15, 63},  {17, 64},
    {18, 65}, {19, 66}, {20, 67}, {21, 68}, {23, 133}, {24, 134},
}};

// The PC's Alt codes follow the keyboard's rows: each row's keys have consecutive codes.
struct AltRow {
    std::string_view keys;
    int first_code;
};
constexpr std::array<AltRow, 4> kAltRows = {{
    {"qwertyuiop", 16},
    {"asdfghjkl", 30},
    {"zxcvbnm", 44},
    {"1234567890-=", 120},
}};

template <typename Key, std::size_t N>
int Lookup(const std::array<std::pair<Key, int>, N> &table, Key key) {
    for (const auto &[from, to] : table) {
        if (from == key) return to;
    }
    return kUnknownExtendedKey;
}

DecodedKey Extended(std::size_t length, int code) {
    return {DecodedKey::Kind::kExtended, length, code};
}

DecodedKey Incomplete() {
    return {};
}

int AltCode(unsigned char c) {
    const char key =
        (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
    for (const AltRow &row : kAltRows) {
        const auto at = row.keys.find(key);
        if (at != std::string_view::npos) return row.first_code + static_cast<int>(at);
    }
    return kUnknownExtendedKey;
}

bool IsParameter(unsigned char c) {
    return c >= 0x30 && c <= 0x3F;
}
bool IsIntermediate(unsigned char c) {
    return c >= 0x20 && c <= 0x2F;
}
bool IsFinal(unsigned char c) {
    return c >= 0x40 && c <= 0x7E;
}

// The first number of a parameter string such as "15;2".
int FirstNumber(std::string_view parameters) {
    int number = 0;
    for (const char c : parameters) {
        if (c < '0' || c > '9') break;
        number = number * 10 + (c - '0');
        if (number > 1000) return -1;
    }
    return number;
}

// CSI (introducer "ESC [") or SS3 ("ESC O") with parameters, intermediates and a final byte.
DecodedKey DecodeSequence(std::string_view input, bool complete, bool csi) {
    std::size_t i = 2;
    while (i < input.size() && IsParameter(input[i]))
        ++i;
    const std::size_t parameters_end = i;
    // rxvt ends its modified editing keys with '$', which is an intermediate byte elsewhere.
    if (csi && i < input.size() && input[i] == '$' && i > 2) {
        return Extended(i + 1, Lookup(kTildeNumbers, FirstNumber(input.substr(2))));
    }
    while (i < input.size() && IsIntermediate(input[i]))
        ++i;
    if (i == input.size()) return complete ? Extended(i, kUnknownExtendedKey) : Incomplete();

    const auto final_byte = static_cast<unsigned char>(input[i]);
    if (!IsFinal(final_byte)) return Extended(i, kUnknownExtendedKey);  // malformed: stop before it
    const bool plain = parameters_end == i;                             // no intermediate bytes
    int code = kUnknownExtendedKey;
    if (plain && (final_byte == '~' || final_byte == '^' || final_byte == '@') && csi) {
        code = Lookup(kTildeNumbers, FirstNumber(input.substr(2, parameters_end - 2)));
    } else if (plain) {
        code = Lookup(kFinalLetters, static_cast<char>(final_byte));
    }
    return Extended(i + 1, code);
}

// The Linux console's function keys: ESC [ [ A to ESC [ [ E.
DecodedKey DecodeLinuxFunctionKey(std::string_view input, bool complete) {
    if (input.size() < 4)
        return complete ? Extended(input.size(), kUnknownExtendedKey) : Incomplete();
    const char letter = input[3];
    const bool known = letter >= 'A' && letter <= 'E';
    return Extended(4, known ? 59 + (letter - 'A') : kUnknownExtendedKey);
}

DecodedKey DecodeEscape(std::string_view input, bool complete, bool alt_prefix);

// ESC ESC: Alt with a key that sends a sequence (ESC ESC [ A is Alt+Up in some terminals), or
// Esc pressed before whatever follows.
DecodedKey DecodeDoubleEscape(std::string_view input, bool complete, bool alt_prefix) {
    const DecodedKey esc{DecodedKey::Kind::kCharacter, 1, 27};
    if (!alt_prefix) return esc;
    if (input.size() == 2) return complete ? esc : Incomplete();
    if (input[2] != '[' && input[2] != 'O') return esc;
    const DecodedKey key = DecodeEscape(input.substr(1), complete, alt_prefix);
    if (key.kind == DecodedKey::Kind::kIncomplete) return key;
    if (key.length < 3) return esc;  // no sequence after all: ESC ESC [ alone
    return Extended(key.length + 1, key.code);
}

DecodedKey DecodeEscape(std::string_view input, bool complete, bool alt_prefix) {
    const DecodedKey esc{DecodedKey::Kind::kCharacter, 1, 27};
    if (input.size() == 1) return complete ? esc : Incomplete();
    const auto next = static_cast<unsigned char>(input[1]);
    if (next == kEsc) return DecodeDoubleEscape(input, complete, alt_prefix);
    if (next == '[' || next == 'O') {
        if (input.size() == 2) {
            // Alt+[ or Alt+O, unless the rest of a sequence is still on its way.
            if (!complete) return Incomplete();
            if (!alt_prefix) return esc;
            return Extended(2, next == 'O' ? AltCode('o') : kUnknownExtendedKey);
        }
        if (next == '[' && input[2] == '[') return DecodeLinuxFunctionKey(input, complete);
        return DecodeSequence(input, complete, next == '[');
    }
    return alt_prefix ? Extended(2, AltCode(next)) : esc;
}

}  // namespace

DecodedKey DecodeKey(std::string_view input, bool complete, bool alt_prefix) {
    if (input.empty()) return Incomplete();
    const auto first = static_cast<unsigned char>(input[0]);
    if (first == kEsc) return DecodeEscape(input, complete, alt_prefix);
    if (first == 0) return Extended(1, kCtrlAtExtendedKey);
    return {DecodedKey::Kind::kCharacter, 1, first};
}

PositionReport FindPositionReport(std::string_view input) {
    for (std::size_t start = input.find(kEsc); start != std::string_view::npos;
         start = input.find(kEsc, start + 1)) {
        std::size_t i = start + 1;
        if (i >= input.size() || input[i] != '[') continue;
        int numbers[2] = {0, 0};
        bool valid = true;
        for (int n = 0; n < 2 && valid; ++n) {
            const std::size_t digits = ++i;
            while (i < input.size() && input[i] >= '0' && input[i] <= '9' && i - digits < 5) {
                numbers[n] = numbers[n] * 10 + (input[i] - '0');
                ++i;
            }
            const char expected = n == 0 ? ';' : 'R';
            valid = i > digits && i < input.size() && input[i] == expected;
        }
        if (valid) return {start, i + 1 - start, numbers[0], numbers[1]};
    }
    return {};
}

}  // namespace ktr7test
