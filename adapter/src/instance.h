// The adapter behind the Ostrel_* functions: one per process, configured from the environment
// when first used.
#ifndef OSTREL_INSTANCE_H
#define OSTREL_INSTANCE_H

#include "adapter.h"

namespace ostrel {

Adapter &Instance();

// Replaces the adapter with a fresh one built from config (tests start each case this way).
void ResetInstance(const Config &config);
// Replaces the adapter with the one given (tests and fuzzers with a bus of their own).
void ResetInstance(std::unique_ptr<Adapter> adapter);

std::unique_ptr<Adapter> MakeAdapter(const Config &config);

}  // namespace ostrel

#endif  // OSTREL_INSTANCE_H
