// Counts the C++ heap allocations (operator new) made while counting is on. A program that
// includes this links new_counter.cpp, which replaces the global operator new and delete;
// the counts tell our code's allocations from the C libraries' own (cairo's mallocs are not
// C++ ones).
#pragma once

namespace panel::bench {

void count_new(bool on);
void reset_new_count();
long new_count();
// Whether the replaced operator new is the one in use: a count of 0 means nothing otherwise.
bool new_counter_works();

}  // namespace panel::bench
