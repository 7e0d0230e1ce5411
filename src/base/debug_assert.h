#pragma once
// TORVANE_ASSERT(condition): a promise that the caller keeps (an index in range, a call made
// in the right state). Debug builds check it and stop at the broken promise, naming it, so
// the fault is found where it is made rather than where it does harm; release builds (NDEBUG)
// compile the condition but never evaluate it, and the code after it must stay safe anyway.
// Not for bad input from files or users: those get a message.
#include <cstdio>
#include <cstdlib>

namespace torvane_detail {
[[noreturn]] inline void AssertionFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, condition);
  std::abort();
}
} // namespace torvane_detail

#ifdef NDEBUG
#define TORVANE_ASSERT(condition) ((void)sizeof(!(condition)))
#else
#define TORVANE_ASSERT(condition)                                                              \
  ((condition) ? (void)0 : ::torvane_detail::AssertionFailed(#condition, __FILE__, __LINE__))
#endif
