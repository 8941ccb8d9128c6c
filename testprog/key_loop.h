// The key loop: single key presses, each running the command its key is bound to, until Esc.
#ifndef KTR7TEST_KEY_LOOP_H
#define KTR7TEST_KEY_LOOP_H

#include <cstddef>

#include "program.h"

namespace ktr7test {

inline constexpr int kKeyEsc = 27;
inline constexpr int kKeyHelp = '?';
// A key without a character has the code 256 plus its extended code (256 to 511), so that it
// never equals a character's code.
inline constexpr int kExtendedKeyBase = 256;

enum class Match {
    kExact,       // the key code equals the bound character
    kEitherCase,  // the key code, upper-cased, equals the bound capital letter
};

// A command; key is the code of the key that started it.
using Command = void (*)(Program &program, int key);

struct KeyBinding {
    int key;
    Match match;
    Command run;
};

struct KeyTable {
    const KeyBinding *entries;
    std::size_t size;
};

extern const char kHelpText[];

// The first binding of table that matches key, or nullptr.
const KeyBinding *FindBinding(const KeyTable &table, int key);

// Takes one key press: a character's code, an extended key's 256 + code, or kEndOfInput.
int ReadKeyCode(Console &console);

// Shows the help once at start (not in quiet mode), then runs the bound command of every key
// until Esc or the end of input.
void RunKeyLoop(Program &program, const KeyTable &table);

// The end after Esc: discards the keys still waiting and says goodbye (not in quiet mode).
void EndProgram(Program &program);

}  // namespace ktr7test

#endif  // KTR7TEST_KEY_LOOP_H
