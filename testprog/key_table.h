// The program's key dispatch table: which key runs which command.
#ifndef KTR7TEST_KEY_TABLE_H
#define KTR7TEST_KEY_TABLE_H

#include "key_loop.h"

namespace ktr7test {

KeyTable ProgramKeys();

}  // namespace ktr7test

#endif  // KTR7TEST_KEY_TABLE_H
