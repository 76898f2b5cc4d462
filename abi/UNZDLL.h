/*
 * UNZDLL.h: the command record of UNZDLL.DLL (extract and test) and the
 * types of its two entry points.
 *
 * Plain C, shared by the archive engine and the library. Address-sized
 * fields (WindowHandle, Caller, CallbackAddress, PasswordText, ArchiveName,
 * every SpecTexts entry) are pointer-sized; every other field is a 32-bit
 * integer; flags are 0 (false) or -1 (true). The offsets are checked below for
 * the 64-bit layout and, in a 32-bit build, for the original 32-bit layout.
 * This header holds no code.
 *
 * UnzCommandRecord, 64-bit layout (32-bit offsets in brackets):
 *
 *   offset  width  field
 *      0      8    WindowHandle     owner window, 0 when unattended   [0]
 *      8      8    Caller           handed back in every callback     [4]
 *     16      4    RecordVersion    140                               [8]
 *     24      8    CallbackAddress  ZCallbackFunction                 [12]
 *     32      4    TraceOn                                            [16]
 *     36      4    Reserved20       always 0                          [20]
 *     40      8    PasswordText     81-byte buffer                    [24]
 *     48      4    TestOn                                             [28]
 *     52      4    Reserved32       fixed 0                           [32]
 *     56      4    ToStdoutOn       0; -1: data to standard output    [36]
 *     60      4    Reserved40       fixed -1                          [40]
 *     64      4    VerboseOn                                          [44]
 *     68      4    UpdateOn                                           [48]
 *     72      4    FreshenOn                                          [52]
 *     76      4    DirNamesOn                                         [56]
 *     80      4    OverwriteOn                                        [60]
 *     84      4    SpecCount        entries of SpecTexts in use       [64]
 *     88      8    ArchiveName      ZREC_TEXT_CAPACITY bytes          [68]
 *     96      4    TrailerMark      7                                 [72]
 *    104   8x4097  SpecTexts        ZREC_TEXT_CAPACITY bytes each     [76]
 *   size 32880                                                        [16464]
 *
 * ToStdoutOn (the window always sends 0; fernpack-cli's extract -p sets
 * it): the selected members' data goes to standard output (descriptor 1),
 * one member after the other in archive order, as it is decoded; nothing
 * is written to the disk and DirNamesOn, OverwriteOn, UpdateOn and
 * FreshenOn do not apply. Standard output closed by its reader ends the
 * batch with an information message (code 0); the caller ignores SIGPIPE
 * if it wants that rather than the signal's default end.
 */
#ifndef FERNPACK_UNZDLL_H
#define FERNPACK_UNZDLL_H

#include "ZCallBck.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct UnzCommandRecord {
    void* WindowHandle;
    void* Caller;
    int32_t RecordVersion;
    ZCallbackFunction CallbackAddress;
    int32_t TraceOn;
    int32_t Reserved20;
    const char* PasswordText;
    int32_t TestOn;
    int32_t Reserved32;
    int32_t ToStdoutOn;
    int32_t Reserved40;
    int32_t VerboseOn;
    int32_t UpdateOn;
    int32_t FreshenOn;
    int32_t DirNamesOn;
    int32_t OverwriteOn;
    int32_t SpecCount;
    const char* ArchiveName;
    int32_t TrailerMark;
    const char* SpecTexts[ZREC_MAX_SPECS];
} UnzCommandRecord;

/* Extracts (or, with TestOn, tests) the selected entries; returns the count
   of entries handled successfully. */
typedef int32_t(ZREC_CALL* UnzDllExecFunction)(UnzCommandRecord* record);
/* The library's version: the project's version (fernpack/Version.h) as
   major * 100 + minor, so 2.0.0 gives 200 and 2.1.3 would give 201; the
   patch level is not carried. */
typedef int32_t(ZREC_CALL* GetUnzDllVersionFunction)(void);

#define UNZ_OFFSET_CHECK(field, off) \
    ZREC_STATIC_ASSERT(offsetof(UnzCommandRecord, field) == (off), "UnzCommandRecord." #field)

#if UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
UNZ_OFFSET_CHECK(WindowHandle, 0);
UNZ_OFFSET_CHECK(Caller, 8);
UNZ_OFFSET_CHECK(RecordVersion, 16);
UNZ_OFFSET_CHECK(CallbackAddress, 24);
UNZ_OFFSET_CHECK(TraceOn, 32);
UNZ_OFFSET_CHECK(Reserved20, 36);
UNZ_OFFSET_CHECK(PasswordText, 40);
UNZ_OFFSET_CHECK(TestOn, 48);
UNZ_OFFSET_CHECK(Reserved32, 52);
UNZ_OFFSET_CHECK(ToStdoutOn, 56);
UNZ_OFFSET_CHECK(Reserved40, 60);
UNZ_OFFSET_CHECK(VerboseOn, 64);
UNZ_OFFSET_CHECK(UpdateOn, 68);
UNZ_OFFSET_CHECK(FreshenOn, 72);
UNZ_OFFSET_CHECK(DirNamesOn, 76);
UNZ_OFFSET_CHECK(OverwriteOn, 80);
UNZ_OFFSET_CHECK(SpecCount, 84);
UNZ_OFFSET_CHECK(ArchiveName, 88);
UNZ_OFFSET_CHECK(TrailerMark, 96);
UNZ_OFFSET_CHECK(SpecTexts, 104);
ZREC_STATIC_ASSERT(sizeof(UnzCommandRecord) == 32880, "UnzCommandRecord size");
#elif UINTPTR_MAX == 0xFFFFFFFFu
UNZ_OFFSET_CHECK(WindowHandle, 0);
UNZ_OFFSET_CHECK(Caller, 4);
UNZ_OFFSET_CHECK(RecordVersion, 8);
UNZ_OFFSET_CHECK(CallbackAddress, 12);
UNZ_OFFSET_CHECK(TraceOn, 16);
UNZ_OFFSET_CHECK(Reserved20, 20);
UNZ_OFFSET_CHECK(PasswordText, 24);
UNZ_OFFSET_CHECK(TestOn, 28);
UNZ_OFFSET_CHECK(Reserved32, 32);
UNZ_OFFSET_CHECK(ToStdoutOn, 36);
UNZ_OFFSET_CHECK(Reserved40, 40);
UNZ_OFFSET_CHECK(VerboseOn, 44);
UNZ_OFFSET_CHECK(UpdateOn, 48);
UNZ_OFFSET_CHECK(FreshenOn, 52);
UNZ_OFFSET_CHECK(DirNamesOn, 56);
UNZ_OFFSET_CHECK(OverwriteOn, 60);
UNZ_OFFSET_CHECK(SpecCount, 64);
UNZ_OFFSET_CHECK(ArchiveName, 68);
UNZ_OFFSET_CHECK(TrailerMark, 72);
UNZ_OFFSET_CHECK(SpecTexts, 76);
ZREC_STATIC_ASSERT(sizeof(UnzCommandRecord) == 16464, "UnzCommandRecord size");
#endif

#undef UNZ_OFFSET_CHECK

#ifdef __cplusplus
}
#endif

#endif
