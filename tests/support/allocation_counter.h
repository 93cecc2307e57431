#pragma once

// Counting the heap allocations of a program, to show that a per-frame path makes none. Linking
// kavelune_allocation_counter replaces the program's global operator new and delete with ones
// that count; only the programs that ask for counts link it.
namespace kavelune::testing {

// How many times operator new has run in this program so far (from any thread). Take it before
// and after the code under watch: the difference is what that code allocated.
long allocationsSoFar();

}  // namespace kavelune::testing
