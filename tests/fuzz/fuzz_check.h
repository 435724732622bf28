// A broken invariant is a finding: print what broke and abort, so that the
// fuzzer keeps the input that did it.
#ifndef QUILLET_TESTS_FUZZ_FUZZ_CHECK_H
#define QUILLET_TESTS_FUZZ_FUZZ_CHECK_H

#include <stdio.h>
#include <stdlib.h>

#define FUZZ_CHECK(condition)                                                   \
  do {                                                                          \
    if (!(condition)) {                                                         \
      fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
      abort();                                                                  \
    }                                                                           \
  } while (0)

#endif
