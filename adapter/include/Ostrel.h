/*
 * Ostrel.h - the functions of the Ostrel adapter library (a bridge from the PC to the I2C bus of a
 * QMB backplane), declared as the KTR-7 tools call them.
 *
 * The adapter library keeps the open port and the selected QMB slot between calls; no call takes
 * a port handle or a slot. Every function returning int32_t returns 0 on success and a non-zero
 * result on failure; after a failure Ostrel_IO_ErrorMessage() and Ostrel_ErrorMessage() describe
 * it. Those texts belong to the adapter library: print them, never free them.
 *
 * Transfers. The first argument of every transfer call is the constant 1. A device read is one
 * Ostrel_Send of the command code alone with final flag 0, followed at once by one Ostrel_Receive
 * or Ostrel_ReceiveString with final flag 1. A device write is one Ostrel_Send of the code and
 * its payload with final flag 1.
 *
 * Text length. The max_length of Ostrel_ReceiveString counts characters and does NOT include the
 * terminating zero: the adapter stores at most max_length characters followed by a zero, so it
 * writes at most max_length + 1 bytes. A caller passing 16 provides at least 17 bytes.
 */
#ifndef OSTREL_H
#define OSTREL_H

#include <stdint.h>

/* OSTREL_CALL: the calling convention of the adapter library's functions. It matters on 32-bit
 * Windows only, where it must be the one the adapter library was built with: __cdecl unless
 * defined otherwise before this header, e.g. -DOSTREL_CALL=__stdcall. Elsewhere it is empty. */
#ifndef OSTREL_CALL
#if defined(_WIN32) && !defined(_WIN64)
#define OSTREL_CALL __cdecl
#else
#define OSTREL_CALL
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Version word: high byte major, low byte minor in hundredths (0x0102 is 1.02). */
uint16_t OSTREL_CALL Ostrel_Version(void);

/* Opens the adapter's port; later calls use it. */
int32_t OSTREL_CALL Ostrel_Open(void);

/* Empties the adapter's communication buffers and abandons a read transaction under way. */
int32_t OSTREL_CALL Ostrel_Flush_LPT(void);

/* Zero-terminated text on the last error. */
const char *OSTREL_CALL Ostrel_ErrorMessage(void);

/* Zero-terminated text on the last I/O error. */
const char *OSTREL_CALL Ostrel_IO_ErrorMessage(void);

/* Stores the selected QMB slot (0 to 255) in *slot. Called as (&slot, 1, 0). */
int32_t OSTREL_CALL Ostrel_GetSlot(uint8_t *slot, int32_t one, int32_t zero);

/* Selects the QMB slot that later transfers go to. Called as (slot, 1, 0). */
int32_t OSTREL_CALL Ostrel_SetSlot(uint8_t slot, int32_t one, int32_t zero);

/* Probes the selected slot: *present becomes non-zero when a device answers, 0 otherwise.
 * Called as (1, &flag). */
int32_t OSTREL_CALL Ostrel_Check(int32_t one, uint8_t *present);

/* Sends count bytes (1 to 3) to the device at the selected slot. final 0 keeps the transaction
 * open for the receive that follows; final 1 ends it. */
int32_t OSTREL_CALL Ostrel_Send(int32_t one, const uint8_t *data, int32_t count, int32_t final);

/* Receives exactly count bytes (1, 2, 4 or 6) of the answer into data; final 1 ends the
 * transaction. */
int32_t OSTREL_CALL Ostrel_Receive(int32_t one, uint8_t *data, int32_t count, int32_t final);

/* Receives a text answer of at most max_length characters into text and terminates it with a
 * zero (max_length + 1 bytes at most, see above); final 1 ends the transaction. */
int32_t OSTREL_CALL Ostrel_ReceiveString(int32_t one, char *text, int32_t max_length,
                                         int32_t final);

#ifdef __cplusplus
}
#endif

#endif /* OSTREL_H */
