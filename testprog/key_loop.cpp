#include "key_loop.h"

namespace ktr7test {
namespace {

// Only a to z change case; every other code, an extended key's included, stays as it is.
int UpperCase(int key) {
    return key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key;
}

bool Matches(const KeyBinding &binding, int key) {
    return binding.match == Match::kExact ? key == binding.key : UpperCase(key) == binding.key;
}

}  // namespace

const char kHelpText[] =
    "Press (if not explicitly specified, the case doesn't matter):\n"
    "    'q' to scan QMB for the device,     'o/O' to get/set QMB slot number,\n"
    "    'l/L' to get/set laser state,       'i/I' to get/set laser intensity,\n"
    "    'h/H' to get/set laser duty cycle,  's/S' to get/set laser phase,\n"
    "    'a/A' to get/set PSD amplification, 't/T' to get/set decoder configuration,\n"
    "    'k' to get housekeeping data,       'c' to get clock frequencies,\n"
    "    'd' to get firmware date,           'v' to get firmware version,\n"
    "    'p' to get product identification,  'n' to get product number,\n"
    "    'u/U' to get uptime, U: continuously,\n"
    "    'Esc' to stop,                      '?' for this help...\n"
    "Note:\n"
    "  Integral values can be entered in decimal, hexadecimal, or binary formats.\n"
    "  The hexadecimal format can be specified by the postfix 'h', the binary format\n"
    "  by 'b'. Example: 123, 7Bh, and 1111011b specify the same number.\n";

const KeyBinding *FindBinding(const KeyTable &table, int key) {
    for (std::size_t i = 0; i < table.size; ++i) {
        if (Matches(table.entries[i], key)) return &table.entries[i];
    }
    return nullptr;
}

int ReadKeyCode(Console &console) {
    const int code = console.ReadKey();
    if (code != 0) return code;
    const int extended = console.ReadKey();
    return extended == kEndOfInput ? kEndOfInput : kExtendedKeyBase + (extended & 0xFF);
}

void RunKeyLoop(Program &program, const KeyTable &table) {
    bool pending_help = true;
    for (;;) {
        if (program.quiet()) pending_help = false;
        // Waiting for a key costs no processor time; the key is taken as soon as it comes.
        if (!pending_help && !program.console.KeyWaiting()) {
            program.console.WaitForKey();
            continue;
        }
        const int key = pending_help ? kKeyHelp : ReadKeyCode(program.console);
        pending_help = false;
        if (key == kKeyEsc || key == kEndOfInput) return;
        if (key == kKeyHelp) program.console.Write(kHelpText);
        if (const KeyBinding *binding = FindBinding(table, key)) binding->run(program, key);
    }
}

void EndProgram(Program &program) {
    while (program.console.KeyWaiting()) {
        if (program.console.ReadKey() == kEndOfInput) break;
    }
    if (!program.quiet()) Print(program.console, "Program finished");
}

}  // namespace ktr7test
