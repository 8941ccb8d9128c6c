// Turns the bytes a terminal sends for one key into the PC keyboard's key codes: a character
// (1 to 255), or an extended key (a key without a character) that the console delivers as 0
// followed by its extended code.
//
// Sequences understood (ESC is 0x1B; parameters such as "1;5" for modifiers are ignored):
//   ESC [ A/B/C/D, ESC O A/B/C/D       Up 72, Down 80, Right 77, Left 75
//   ESC [ H/F, ESC O H/F               Home 71, End 79
//   ESC [ E, ESC O E                   keypad centre 76
//   ESC [ Z                            Shift+Tab 15
//   ESC [ n ~ (also $ ^ @ for rxvt)    1/7 Home, 2 Insert 82, 3 Delete 83, 4/8 End, 5 Page Up 73,
//                                      6 Page Down 81, 11-15 F1-F5 59-63, 17-21 F6-F10 64-68,
//                                      23 F11 133, 24 F12 134
//   ESC O P/Q/R/S, ESC [ 1;m P/Q/R/S   F1-F4 59-62
//   ESC [ [ A-E                        F1-F5 (Linux console)
//   ESC c (c not [ or O, not ESC)      Alt with that key: the PC's Alt code for letters, digits,
//                                      - and =, kUnknownExtendedKey otherwise
//   ESC ESC [ ..., ESC ESC O ...       Alt with the key of that sequence, as rxvt-like terminals
//                                      send it; ESC ESC otherwise is Esc, then what follows
// Any other CSI (ESC [ parameters intermediates final) or SS3 sequence is consumed whole and
// becomes kUnknownExtendedKey, which no command matches. A NUL byte (Ctrl+@) is the extended
// key 3, as on the PC, so that it cannot be mistaken for the start of an extended key.
//
// A lone ESC is the Esc key only once no more bytes can belong to it: the caller passes
// complete = true after a short wait without further input, or at the end of input.
//
// Only a keyboard sends Alt as an ESC prefix. Input from a pipe or a file has no timing to tell
// the two apart and no Alt key: there, with alt_prefix false, an ESC that does not start a CSI
// or SS3 sequence is the Esc key, and the byte after it is a key of its own.
#ifndef KTR7TEST_KEY_DECODER_H
#define KTR7TEST_KEY_DECODER_H

#include <cstddef>
#include <string_view>

namespace ktr7test {

inline constexpr int kUnknownExtendedKey = 0xFF;
inline constexpr int kCtrlAtExtendedKey = 3;

struct DecodedKey {
    enum class Kind { kIncomplete, kCharacter, kExtended };
    Kind kind = Kind::kIncomplete;
    std::size_t length = 0;  // bytes the key takes up; at least 1 unless kIncomplete
    int code = 0;            // the character, or the extended code
};

// Decodes the key at the start of input (not empty). With complete false, a prefix that more
// bytes could extend into a longer sequence gives kIncomplete.
DecodedKey DecodeKey(std::string_view input, bool complete, bool alt_prefix = true);

// The terminal's answer to a cursor position query (ESC [ 6 n): ESC [ row ; column R.
struct PositionReport {
    std::size_t offset = 0;  // where the answer starts in the input
    std::size_t length = 0;  // 0: no complete answer in the input
    int row = 0;
    int column = 0;
};
PositionReport FindPositionReport(std::string_view input);

}  // namespace ktr7test

#endif  // KTR7TEST_KEY_DECODER_H
