// The adapter API library (libcanapi.so, loaded by the module name "CANAPI.DLL"): the 14 functions
// the interface library binds by name, with plain C signatures. Every function returns a 32-bit
// result; non-zero means success.
//
// Records are arrays of 16 little-endian 32-bit words (CanapiRecord):
//   transmit record (ca_TransmitCanCard_1): word 0 COB-ID (11 bits), word 1 DLC (0..8),
//     words 2..9 data bytes 0..7 (one byte per word), word 10 zero, word 11 remote-request flag
//     (0 or 1), words 12..15 zero. A record with an identifier above 0x7FF or a DLC above 8 is
//     refused (result 0).
//   receive record (ca_GetData_1): word 0 kind (kCanapiKind...), word 1 COB-ID (for a status
//     record: the status code kCanapiStatus...), word 2 DLC, words 3..10 data bytes, rest zero.
//
// Backend: chosen by the environment variable CANAPI_CHANNEL when ca_InitApi_1 runs:
//   "vbus:<name>"         the loopback virtual bus <name> (the default: "vbus:default")
//   "socketcan:<ifname>"  a Linux SocketCAN interface
//   "record"              records every call for tests, see recorder.h
// A channel that cannot be opened makes ca_ResetCanCard_1 and ca_InitCanCard_1 return 0; the reason
// goes to the debug output, as does the channel a session opened ("canapi: using ...").
//
// ca_InitApi_1 creates the named kernel event "Global\AdapterUSBInput64" (kernel::CreateEvent,
// manual reset) and holds it until ca_CloseApi; the event is set whenever a record is queued for
// ca_GetData_1. Callers open it by name, wait on it and reset it themselves.
//
// Threads: any function may be called from any thread; the library serialises transmit and
// receive calls with its own lock anyway. ca_CloseApi stops the stand-in's receive thread.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(CANAPI_BUILDING)
#define CANAPI_EXPORT __attribute__((visibility("default")))
#else
#define CANAPI_EXPORT
#endif

// One transmit, receive, initialisation or instruction record: 16 32-bit words.
enum { kCanapiRecordWords = 16 };
typedef uint32_t CanapiRecord[kCanapiRecordWords];

// Receive record kinds (word 0).
enum {
    kCanapiKindStandardData = 0x7001,
    kCanapiKindStandardRemote = 0x7002,
    kCanapiKindExtendedData = 0x7003,
    kCanapiKindExtendedRemote = 0x7004,
    // A status record: (kind & 0xF000) == 0x8000, code in word 1.
    kCanapiKindStatus = 0x8000,
};

// Status codes of a status record (word 1).
enum {
    kCanapiStatusBusOff = 2,
    kCanapiStatusTransmitQueueFull = 6,
    kCanapiStatusRestart = 7,
    kCanapiStatusTransmitError = 8,
    // Any other adapter error (reported by SocketCAN error frames the codes above do not cover).
    kCanapiStatusOtherError = 0xFF,
};

// The named event signalling queued receive records.
#define CANAPI_INPUT_EVENT_NAME "Global\\AdapterUSBInput64"

// Opens the API session and its backend (see above). Arguments are logged, otherwise unused.
CANAPI_EXPORT int32_t ca_InitApi_1(int32_t mode, int32_t version);
// Clears the receive queue. 0 when the backend is not open.
CANAPI_EXPORT int32_t ca_ResetCanCard_1(void);
// 0 when the backend is not open. The block (16 words) and the other arguments are logged only.
CANAPI_EXPORT int32_t ca_InitCanCard_1(int32_t card, int32_t a1, int32_t a2, int32_t a3, const uint32_t* init_block,
                                       int32_t a5, int32_t a6, int32_t a7, int32_t a8, int32_t a9);
// Queues one frame on the bus, waiting up to the transmit time-out while the adapter's transmit
// queue is full. 0 when refused: backend not open, bad record, the queue stayed full for the
// whole time-out (a caller may retry), or the interface is down or gone.
CANAPI_EXPORT int32_t ca_TransmitCanCard_1(int32_t card, int32_t channel, const uint32_t* record);
// Takes the oldest queued receive record into `record` (16 words). 0 when none is queued.
CANAPI_EXPORT int32_t ca_GetData_1(uint32_t* record);
// The seven functions below exist because the library binds them; they do nothing and return 1.
CANAPI_EXPORT int32_t ca_ResetSoftwareFilterMask_1(int32_t channel);
CANAPI_EXPORT int32_t ca_SetAllId_1(int32_t channel, int32_t state);
CANAPI_EXPORT int32_t ca_SetFilterId_1(int32_t channel, int32_t id, int32_t state);
// Runs one instruction block. Instruction 101 sets the transmit time-out: word 2 its high byte,
// word 3 its low byte, in milliseconds (until set it is 0: a full queue refuses at once). Other
// instructions are logged only. 0 when the backend is not open.
CANAPI_EXPORT int32_t ca_Instruction_1(const uint32_t* instruction_block);
CANAPI_EXPORT int32_t ca_GetCharData_1(uint8_t* buffer, int32_t length);
CANAPI_EXPORT int32_t ca_GetCharCplxData_1(uint8_t* buffer, int32_t length);
CANAPI_EXPORT int32_t ca_ClearFifo_1(int32_t channel);
CANAPI_EXPORT int32_t ca_SetFilterVar_1(int32_t channel, int32_t variable, int32_t value);
// Stops the receive thread, closes the backend and drops the event. Always 1.
CANAPI_EXPORT int32_t ca_CloseApi(void);

// Function-pointer types for binding by name.
typedef int32_t (*ca_InitApi_1_t)(int32_t, int32_t);
typedef int32_t (*ca_ResetCanCard_1_t)(void);
typedef int32_t (*ca_InitCanCard_1_t)(int32_t, int32_t, int32_t, int32_t, const uint32_t*, int32_t, int32_t, int32_t,
                                      int32_t, int32_t);
typedef int32_t (*ca_TransmitCanCard_1_t)(int32_t, int32_t, const uint32_t*);
typedef int32_t (*ca_GetData_1_t)(uint32_t*);
typedef int32_t (*ca_ResetSoftwareFilterMask_1_t)(int32_t);
typedef int32_t (*ca_SetAllId_1_t)(int32_t, int32_t);
typedef int32_t (*ca_SetFilterId_1_t)(int32_t, int32_t, int32_t);
typedef int32_t (*ca_Instruction_1_t)(const uint32_t*);
typedef int32_t (*ca_GetCharData_1_t)(uint8_t*, int32_t);
typedef int32_t (*ca_GetCharCplxData_1_t)(uint8_t*, int32_t);
typedef int32_t (*ca_ClearFifo_1_t)(int32_t);
typedef int32_t (*ca_SetFilterVar_1_t)(int32_t, int32_t, int32_t);
typedef int32_t (*ca_CloseApi_t)(void);

#ifdef __cplusplus
}
#endif
