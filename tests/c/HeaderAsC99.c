/* The C interface's header compiles as C99 too, with its layout checks. */
#include "KorvanCalcValueProviderC.h"

int KorvanHeaderCompilesAsC99(void) {
    KorvanSolutionEntry entry = {0};
    return (int)sizeof entry;
}
