/* The C++ interface's four functions behind C signatures, so that the C interface's test can
 * compare both boundaries bit for bit. The library's exceptions become codes of their own. */
#ifndef KORVAN_TESTS_CPP_REFERENCE_H
#define KORVAN_TESTS_CPP_REFERENCE_H

#include <stddef.h>
#include <stdint.h>

#include "KorvanCalcValueProviderC.h"

#define REFERENCE_OUT_OF_RANGE (-1)
#define REFERENCE_OTHER_EXCEPTION (-2)

#if defined(__cplusplus)
extern "C" {
#endif

/* GenerateSolutionVector on a vector holding entries[0 .. *entryCount); afterwards entries holds
 * the vector (up to `capacity`) and *entryCount its size, whatever the outcome. */
int32_t ReferenceGenerate(int32_t count, const uint32_t* types, const double* inputValues,
                          KorvanSolutionEntry* entries, size_t capacity, size_t* entryCount,
                          KorvanSolutionTotals* totals);

/* FillSolutionVector on a vector holding entries[0 .. entryCount), copied back afterwards. */
int32_t ReferenceFill(KorvanSolutionEntry* entries, size_t entryCount,
                      KorvanSolutionTotals* totals);

/* GetSmallestPossibleValves: `sizes` copied back sorted; `smallest` receives what was appended
 * (at most `count` values) and *appended how many. */
int32_t ReferenceSmallest(double* sizes, size_t count, double* smallest, size_t* appended);

#if defined(__cplusplus)
}
#endif

#endif /* KORVAN_TESTS_CPP_REFERENCE_H */
