/*
 * KTR-7.h - the KTR-7 device library: one function per command of the KTR-7 laser-and-detector
 * device, reached through the Ostrel adapter library.
 *
 * Every function but KTR_7_Version runs one complete exchange with the device in the QMB slot
 * that the adapter currently addresses, and returns the result code: 0 when every adapter call of
 * the exchange succeeded, otherwise the non-zero result of the first adapter call that failed,
 * unchanged. The library makes no result codes of its own, keeps no state, never retries, flushes
 * or prints. Open the adapter's port (Ostrel_Open) before the first device call.
 *
 * Results travel through out-parameters into the caller's storage. After a failure the
 * out-values carry no information: functions marked "local" leave them untouched; functions
 * marked "direct" hand the caller's storage to the adapter, which may have written to it.
 *
 * Settings are clamped into their legal range, never rejected. A flag is one byte: 0 = false,
 * any other value = true. Pointers are not checked: pass valid storage of the stated size.
 */
#ifndef KTR_7_H
#define KTR_7_H

#include <stdint.h>

/* KTR_7_CALL: the calling convention of the library's functions. It matters on 32-bit Windows
 * only: __cdecl unless defined otherwise, in the library's build and in the caller's alike
 * (e.g. -DKTR_7_CALL=__stdcall). Elsewhere it is empty. */
#ifndef KTR_7_CALL
#if defined(_WIN32) && !defined(_WIN64)
#define KTR_7_CALL __cdecl
#else
#define KTR_7_CALL
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Version word of this library: 0x0114 (1.20). Makes no adapter call. */
uint16_t KTR_7_CALL KTR_7_Version(void);

/* Presence check: *present becomes 1 when a KTR-7 answers at the selected slot, 0 when no device
 * answers or another device does (result 0 in both cases). On a failure of the identification
 * read the flag can still hold the adapter's non-zero probe result. */
int32_t KTR_7_CALL KTR_7_Check(uint8_t *present);

/* Laser state: enabled non-zero switches the laser on; the byte is sent unchanged. */
int32_t KTR_7_CALL KTR_7_SetLaserState(uint8_t enabled);
/* Direct: the device's state byte lands unchanged in *enabled (0 = disabled). */
int32_t KTR_7_CALL KTR_7_GetLaserState(uint8_t *enabled);

/* Laser intensity in percent, clamped to 1.0..200.0 (NaN becomes 1.0), sent in tenths. */
int32_t KTR_7_CALL KTR_7_SetLaserIntensity(float percent);
/* Local: intensity in percent, 0.0 to 6553.5, not clamped. */
int32_t KTR_7_CALL KTR_7_GetLaserIntensity(float *percent);

/* Laser duty cycle in percent, clamped to 1.0..99.0 (NaN becomes 1.0), sent in tenths. */
int32_t KTR_7_CALL KTR_7_SetLaserDC(float percent);
/* Local: duty cycle in percent, 0.0 to 6553.5, not clamped. */
int32_t KTR_7_CALL KTR_7_GetLaserDC(float *percent);

/* Laser phase in degrees, clamped to -180..180. */
int32_t KTR_7_CALL KTR_7_SetLaserPhase(int32_t degrees);
/* Local: phase in degrees, -32768 to 32767, not clamped. */
int32_t KTR_7_CALL KTR_7_GetLaserPhase(int32_t *degrees);

/* Detector (PSD) amplification factor, clamped to 1.0..100.0 (NaN becomes 1.0), sent in tenths. */
int32_t KTR_7_CALL KTR_7_SetDetectorAmplification(float factor);
/* Local: amplification factor, 0.0 to 6553.5, not clamped. */
int32_t KTR_7_CALL KTR_7_GetDetectorAmplification(float *factor);

/* Decoder configuration, all four flags at once. Per axis: Plain gives the plain difference
 * instead of the difference divided by 2S (S = (X1+X2+Y1+Y2)/4); Swapped gives X2-X1 (Y2-Y1)
 * instead of X1-X2 (Y1-Y2). To change one axis, read first and write the other axis back. */
int32_t KTR_7_CALL KTR_7_SetDecoderConfiguration(uint8_t XPlain, uint8_t YPlain, uint8_t XSwapped,
                                                 uint8_t YSwapped);
/* Local: each flag becomes exactly 0 or 1. */
int32_t KTR_7_CALL KTR_7_GetDecoderConfiguration(uint8_t *XPlain, uint8_t *YPlain,
                                                 uint8_t *XSwapped, uint8_t *YSwapped);

/* Direct: firmware version word, high byte major, low byte minor. */
int32_t KTR_7_CALL KTR_7_FW_Ver(uint16_t *version);
/* Direct: firmware date as a zero-terminated text; date holds at least 17 bytes. */
int32_t KTR_7_CALL KTR_7_FW_Date(char *date);
/* Direct: product identification as a zero-terminated text; id holds at least 82 bytes. */
int32_t KTR_7_CALL KTR_7_Prod_ID(char *id);
/* Direct: product number. */
int32_t KTR_7_CALL KTR_7_Prod_No(uint32_t *number);

/* Local: supply voltages in volts (0.0 to 65.535), -1.0 when the device has no reading. */
int32_t KTR_7_CALL KTR_7_Get5V(float *volts);
int32_t KTR_7_CALL KTR_7_Get3V(float *volts);
/* Local: temperature in kelvin (0.0 to 655.34), -1.0 when the device has no reading. */
int32_t KTR_7_CALL KTR_7_GetTemp(float *kelvin);

/* Local: clock frequencies in hertz, the device's signed 32-bit value as the nearest float
 * (a negative value means the device reports none). */
int32_t KTR_7_CALL KTR_7_GetClkCPU(float *hz);
int32_t KTR_7_CALL KTR_7_GetClkPer(float *hz);
int32_t KTR_7_CALL KTR_7_GetClkADC(float *hz);
int32_t KTR_7_CALL KTR_7_GetClkDAC(float *hz);
int32_t KTR_7_CALL KTR_7_GetClkMem(float *hz);

/* Local: time since the device started, in seconds, exact to 1/1024 s. */
int32_t KTR_7_CALL KTR_7_GetUptime(double *seconds);

#ifdef __cplusplus
}
#endif

#endif /* KTR_7_H */
