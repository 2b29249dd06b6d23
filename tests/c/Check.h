/* The check of the C test programs: a failed one is reported with its place and counted in
 * `failures`, and the program goes on, so that one run shows every failure. */
#ifndef KORVAN_TESTS_C_CHECK_H
#define KORVAN_TESTS_C_CHECK_H

#include <stdio.h>

static int failures = 0;

#define CHECK(condition)                                                                  \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                                                   \
        }                                                                                 \
    } while (0)

#endif /* KORVAN_TESTS_C_CHECK_H */
