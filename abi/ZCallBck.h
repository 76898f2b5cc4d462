/*
 * ZCallBck.h: the callback record through which ZIPDLL.DLL and UNZDLL.DLL
 * report progress and messages to their caller, the callback's function type,
 * and the constants both command records share.
 *
 * Plain C, included by the archive engine and by both libraries, so the two
 * sides can never disagree about a layout. The records stay in the global
 * namespace rather than one of ours: they are the libraries' exported C
 * interface, which a caller written in C (or a probe such as a test's fake
 * library) must be able to use as it stands. Address-sized fields are
 * pointer-sized; every other field keeps its 32-bit width, and the compiler's
 * natural alignment decides the padding. The offsets are checked below for
 * the 64-bit layout and, in a 32-bit build, for the original 32-bit layout.
 * This header holds no code.
 *
 * CallbackRecord, 64-bit layout (32-bit offsets in brackets):
 *
 *   offset  width  field
 *      0      8    Unused0        not read                          [0, 4]
 *      8      8    Caller         the command record's Caller       [4, 4]
 *     16      8    Unused16       not read, always 8 bytes          [8, 8]
 *     24      4    ActionCode     0 poll, 1 file begins, 2 step,
 *                                 3 batch end, 4 and above a
 *                                 message                           [16]
 *     28      4    ErrorCode      0 and below information,
 *                                 positive error                    [20]
 *     32      4    FileSize       uncompressed size, for action 1   [24]
 *     36   4096    MessageText    NUL-terminated 8-bit text         [28]
 *   size 4136 (8-byte aligned)                                      [4124]
 */
#ifndef FERNPACK_ZCALLBCK_H
#define FERNPACK_ZCALLBCK_H

#include <limits.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#define ZREC_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define ZREC_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/* The libraries' entry points and the callback use the platform's plain C
   calling convention; 32-bit Windows would use the API convention. */
#if defined(_WIN32) && !defined(_WIN64)
#define ZREC_CALL __stdcall
#else
#define ZREC_CALL
#endif

/* Values every command record carries. */
#define ZREC_RECORD_VERSION 140
#define ZREC_TRAILER_MARK 7
#define ZREC_MAX_SPECS 4097
/* Capacities of the caller's text buffers, terminator included. The archive
   name and every pattern get the platform's longest path (PATH_MAX), so any
   path Linux accepts fits; the caller refuses a longer text before the call
   and the library reads no further than this. */
#define ZREC_TEXT_CAPACITY 4096
#define ZREC_PASSWORD_CAPACITY 81
/* Flag values. */
#define ZREC_TRUE (-1)
#define ZREC_FALSE 0

/* Action codes of a callback. A library that waits (for a lock, for
   input) calls with ZCB_POLL now and then: it raises nothing on the
   caller's side and only asks whether to go on. */
#define ZCB_POLL 0
#define ZCB_FILE_BEGIN 1
#define ZCB_FILE_STEP 2
#define ZCB_BATCH_END 3
#define ZCB_MESSAGE 4
/* One progress step per this many bytes of a file (at least one per file;
   abi/ProgressSteps.h counts them). */
#define ZCB_STEP_BYTES 32768

/* Information codes of a message (ErrorCode) beside the plain 0, so that a
   caller can count these outcomes without reading the words: */
/* an entry the library left alone by choice (the file exists and is not to
   be replaced, is not older, or is not there to be freshened) */
#define ZCB_INFO_SKIPPED (-1)
/* an entry extracted over the file an earlier entry of the same call wrote
   (two entries that land on one path, such as one name in two folders
   extracted without folder names) */
#define ZCB_INFO_REPLACED_EARLIER (-2)
/* The one failure code a caller acts on by itself: a member that needs a
   password was not given one, or not the right one (it may ask again). */
#define ZCB_ERROR_PASSWORD 10

/* Capacity of MessageText, terminator included; longer texts are cut. */
#define ZCB_MESSAGE_CAPACITY 4096

typedef struct CallbackRecord {
    void* Unused0;
    void* Caller;
    unsigned char Unused16[8];
    int32_t ActionCode;
    int32_t ErrorCode;
    int32_t FileSize;
    char MessageText[ZCB_MESSAGE_CAPACITY];
} CallbackRecord;

/* The caller's callback: 0 lets the library go on, -1 asks it to stop. */
typedef int32_t(ZREC_CALL* ZCallbackFunction)(CallbackRecord* record);

#ifdef PATH_MAX
ZREC_STATIC_ASSERT(ZREC_TEXT_CAPACITY == PATH_MAX, "text buffers hold a path of any legal length");
#endif

#if UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
ZREC_STATIC_ASSERT(offsetof(CallbackRecord, Caller) == 8, "CallbackRecord.Caller");
ZREC_STATIC_ASSERT(offsetof(CallbackRecord, Unused16) == 16, "CallbackRecord.Unused16");
ZREC_STATIC_ASSERT(offsetof(CallbackRecord, ActionCode) == 24, "CallbackRecord.ActionCode");
ZREC_STATIC_ASSERT(offsetof(CallbackRecord, ErrorCode) == 28, "CallbackRecord.ErrorCode");
ZREC_STATIC_ASSERT(offsetof(CallbackRecord, FileSize) == 32, "CallbackRecord.FileSize");
ZREC_STATIC_ASSERT(offsetof(CallbackRecord, MessageText) == 36, "CallbackRecord.MessageText");
ZREC_STATIC_ASSERT(sizeof(CallbackRecord) == 4136, "CallbackRecord size");
#elif UINTPTR_MAX == 0xFFFFFFFFu
ZREC_STATIC_ASSERT(offsetof(CallbackRecord, Caller) == 4, "CallbackRecord.Caller");
ZREC_STATIC_ASSERT(offsetof(CallbackRecord, Unused16) == 8, "CallbackRecord.Unused16");
ZREC_STATIC_ASSERT(offsetof(CallbackRecord, ActionCode) == 16, "CallbackRecord.ActionCode");
ZREC_STATIC_ASSERT(offsetof(CallbackRecord, ErrorCode) == 20, "CallbackRecord.ErrorCode");
ZREC_STATIC_ASSERT(offsetof(CallbackRecord, FileSize) == 24, "CallbackRecord.FileSize");
ZREC_STATIC_ASSERT(offsetof(CallbackRecord, MessageText) == 28, "CallbackRecord.MessageText");
ZREC_STATIC_ASSERT(sizeof(CallbackRecord) == 4124, "CallbackRecord size");
#endif

#ifdef __cplusplus
}
#endif

#endif
