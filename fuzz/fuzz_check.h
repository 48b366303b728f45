// The check of a fuzz target: a broken property prints what broke and aborts, which
// libFuzzer reports as a crash and saves the input for.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, ...)                                                                 \
  do {                                                                                             \
    if (!(condition)) {                                                                            \
      std::fprintf(stderr, "property broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);       \
      std::fprintf(stderr, __VA_ARGS__);                                                           \
      std::fprintf(stderr, "\n");                                                                  \
      std::abort();                                                                                \
    }                                                                                              \
  } while (false)
