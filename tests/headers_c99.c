/* Both public headers compile as strict C99, together, and declare what C callers use. */
#include "KTR-7.h"
#include "Ostrel.h"

int headers_c99_use(void) {
    uint8_t present = 0;
    return (int)KTR_7_Version() + (int)Ostrel_Version() + (int)sizeof present;
}
