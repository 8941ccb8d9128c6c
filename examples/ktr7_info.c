/*
 * ktr7_info: opens the adapter, checks for a KTR-7 at the selected QMB slot and prints its
 * identification and housekeeping data through the KTR-7 library.
 *
 *   cc ktr7_info.c $(pkg-config --cflags --libs KTR-7) -o ktr7_info
 */
#include <stdio.h>

#include "KTR-7.h"
#include "Ostrel.h"

/* Prints the adapter's texts for the call that failed and gives the exit status for it. */
static int Failed(const char *call) {
    const char *io_message = Ostrel_IO_ErrorMessage();
    printf("%s failed: %s (%s)\n", call, Ostrel_ErrorMessage(), io_message);
    return 1;
}

int main(void) {
    uint8_t present = 0;
    uint16_t firmware = 0;
    uint32_t number = 0;
    char date[17];
    char id[82];
    float volts5 = 0.0f, volts3 = 0.0f, kelvin = 0.0f;

    printf("KTR-7 library %d.%02d, adapter library %d.%02d\n", KTR_7_Version() >> 8,
           KTR_7_Version() & 0xFF, Ostrel_Version() >> 8, Ostrel_Version() & 0xFF);
    if (Ostrel_Open() != 0) return Failed("Ostrel_Open");
    if (KTR_7_Check(&present) != 0) return Failed("KTR_7_Check");
    if (!present) {
        printf("No KTR-7 at the selected slot\n");
        return 2;
    }
    if (KTR_7_Prod_ID(id) != 0) return Failed("KTR_7_Prod_ID");
    if (KTR_7_Prod_No(&number) != 0) return Failed("KTR_7_Prod_No");
    if (KTR_7_FW_Ver(&firmware) != 0) return Failed("KTR_7_FW_Ver");
    if (KTR_7_FW_Date(date) != 0) return Failed("KTR_7_FW_Date");
    printf("%s, number %lu, firmware %u.%02u of %s\n", id, (unsigned long)number,
           (unsigned)(firmware >> 8), (unsigned)(firmware & 0xFF), date);

    if (KTR_7_Get5V(&volts5) != 0) return Failed("KTR_7_Get5V");
    if (KTR_7_Get3V(&volts3) != 0) return Failed("KTR_7_Get3V");
    if (KTR_7_GetTemp(&kelvin) != 0) return Failed("KTR_7_GetTemp");
    /* A reading the device does not have comes as -1. */
    if (volts5 >= 0.0f) printf("5 V supply: %.3f V\n", volts5);
    if (volts3 >= 0.0f) printf("3 V supply: %.3f V\n", volts3);
    if (kelvin >= 0.0f) printf("Temperature: %.2f K\n", kelvin);
    return 0;
}
