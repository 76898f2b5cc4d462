/*
 * ZIPDLL.h: the command record of ZIPDLL.DLL (add and delete) and the types
 * of its two entry points.
 *
 * Plain C, shared by the archive engine and the library. Address-sized
 * fields (WindowHandle, Caller, CallbackAddress, PasswordText, ArchiveName,
 * every SpecTexts entry) are pointer-sized; the eight zero bytes stay eight;
 * every other field is a 32-bit integer; flags are 0 (false) or -1 (true).
 * The offsets are checked below for the 64-bit layout and, in a 32-bit
 * build, for the original 32-bit layout. This header holds no code.
 *
 * ZipCommandRecord, 64-bit layout (32-bit offsets in brackets):
 *
 *   offset  width  field
 *      0      8    WindowHandle     owner window, 0 when unattended   [0]
 *      8      8    Caller           handed back in every callback     [4]
 *     16      4    RecordVersion    140                               [8]
 *     24      8    CallbackAddress  ZCallbackFunction                 [12]
 *     32      4    TraceOn                                            [16]
 *     40      8    PasswordText     81-byte buffer                    [20]
 *     48      4    Reserved24       always 0                          [24]
 *     52      4    EncryptOn                                          [28]
 *     56      4    HiddenFilesOn                                      [32]
 *     60      4    StdinOn          0; -1: add standard input         [36]
 *     64      4    Reserved40       fixed 0                           [40]
 *     68      4    Reserved44       fixed -1                          [44]
 *     72      4    Reserved48       fixed 0                           [48]
 *     76      4    VerboseOn                                          [52]
 *     80      4    Reserved56       fixed -1                          [56]
 *     84      4    CompressionLevel signed, passed through            [60]
 *     88      4    Reserved64       fixed 0                           [64]
 *     92      4    Reserved68       fixed 0                           [68]
 *     96      4    NoDirNames       inverted flag                     [72]
 *    100      4    RecurseOn                                          [76]
 *    104      4    AddOn            -1 for an add, 0 for a delete     [80]
 *    108      4    ForceDosOn                                         [84]
 *    112      4    MoveOn                                             [88]
 *    116      4    DeleteOn                                           [92]
 *    120      4    UpdateOn                                           [96]
 *    124      4    FreshenOn                                          [100]
 *    128      4    Reserved104      fixed 0                           [104]
 *    132      4    ZipTimeOn                                          [108]
 *    136      8    Reserved112      eight zero bytes                  [112]
 *    144      4    SpecCount        entries of SpecTexts in use       [120]
 *    152      8    ArchiveName      ZREC_TEXT_CAPACITY bytes          [124]
 *    160      4    TrailerMark      7                                 [128]
 *    168   8x4097  SpecTexts        ZREC_TEXT_CAPACITY bytes each     [132]
 *   size 32944                                                        [16520]
 *
 * StdinOn (the window always sends 0; fernpack-cli's add - sets it): the
 * one entry in SpecTexts is the name standard input (descriptor 0)
 * is stored under, and its data is read from there to its end, straight
 * into the new archive; a read error stores nothing. A delete sends 0.
 */
#ifndef FERNPACK_ZIPDLL_H
#define FERNPACK_ZIPDLL_H

#include "ZCallBck.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ZipCommandRecord {
    void* WindowHandle;
    void* Caller;
    int32_t RecordVersion;
    ZCallbackFunction CallbackAddress;
    int32_t TraceOn;
    const char* PasswordText;
    int32_t Reserved24;
    int32_t EncryptOn;
    int32_t HiddenFilesOn;
    int32_t StdinOn;
    int32_t Reserved40;
    int32_t Reserved44;
    int32_t Reserved48;
    int32_t VerboseOn;
    int32_t Reserved56;
    int32_t CompressionLevel;
    int32_t Reserved64;
    int32_t Reserved68;
    int32_t NoDirNames;
    int32_t RecurseOn;
    int32_t AddOn;
    int32_t ForceDosOn;
    int32_t MoveOn;
    int32_t DeleteOn;
    int32_t UpdateOn;
    int32_t FreshenOn;
    int32_t Reserved104;
    int32_t ZipTimeOn;
    unsigned char Reserved112[8];
    int32_t SpecCount;
    const char* ArchiveName;
    int32_t TrailerMark;
    const char* SpecTexts[ZREC_MAX_SPECS];
} ZipCommandRecord;

/* Adds (or, with DeleteOn, deletes) the specified files; returns the count
   of files handled successfully. */
typedef int32_t(ZREC_CALL* ZipDllExecFunction)(ZipCommandRecord* record);
/* The library's version: the project's version (fernpack/Version.h) as
   major * 100 + minor, so 2.0.0 gives 200 and 2.1.3 would give 201; the
   patch level is not carried. */
typedef int32_t(ZREC_CALL* GetZipDllVersionFunction)(void);

#define ZIP_OFFSET_CHECK(field, off) \
    ZREC_STATIC_ASSERT(offsetof(ZipCommandRecord, field) == (off), "ZipCommandRecord." #field)

#if UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
ZIP_OFFSET_CHECK(WindowHandle, 0);
ZIP_OFFSET_CHECK(Caller, 8);
ZIP_OFFSET_CHECK(RecordVersion, 16);
ZIP_OFFSET_CHECK(CallbackAddress, 24);
ZIP_OFFSET_CHECK(TraceOn, 32);
ZIP_OFFSET_CHECK(PasswordText, 40);
ZIP_OFFSET_CHECK(Reserved24, 48);
ZIP_OFFSET_CHECK(EncryptOn, 52);
ZIP_OFFSET_CHECK(HiddenFilesOn, 56);
ZIP_OFFSET_CHECK(StdinOn, 60);
ZIP_OFFSET_CHECK(Reserved40, 64);
ZIP_OFFSET_CHECK(Reserved44, 68);
ZIP_OFFSET_CHECK(Reserved48, 72);
ZIP_OFFSET_CHECK(VerboseOn, 76);
ZIP_OFFSET_CHECK(Reserved56, 80);
ZIP_OFFSET_CHECK(CompressionLevel, 84);
ZIP_OFFSET_CHECK(Reserved64, 88);
ZIP_OFFSET_CHECK(Reserved68, 92);
ZIP_OFFSET_CHECK(NoDirNames, 96);
ZIP_OFFSET_CHECK(RecurseOn, 100);
ZIP_OFFSET_CHECK(AddOn, 104);
ZIP_OFFSET_CHECK(ForceDosOn, 108);
ZIP_OFFSET_CHECK(MoveOn, 112);
ZIP_OFFSET_CHECK(DeleteOn, 116);
ZIP_OFFSET_CHECK(UpdateOn, 120);
ZIP_OFFSET_CHECK(FreshenOn, 124);
ZIP_OFFSET_CHECK(Reserved104, 128);
ZIP_OFFSET_CHECK(ZipTimeOn, 132);
ZIP_OFFSET_CHECK(Reserved112, 136);
ZIP_OFFSET_CHECK(SpecCount, 144);
ZIP_OFFSET_CHECK(ArchiveName, 152);
ZIP_OFFSET_CHECK(TrailerMark, 160);
ZIP_OFFSET_CHECK(SpecTexts, 168);
ZREC_STATIC_ASSERT(sizeof(ZipCommandRecord) == 32944, "ZipCommandRecord size");
#elif UINTPTR_MAX == 0xFFFFFFFFu
ZIP_OFFSET_CHECK(WindowHandle, 0);
ZIP_OFFSET_CHECK(Caller, 4);
ZIP_OFFSET_CHECK(RecordVersion, 8);
ZIP_OFFSET_CHECK(CallbackAddress, 12);
ZIP_OFFSET_CHECK(TraceOn, 16);
ZIP_OFFSET_CHECK(PasswordText, 20);
ZIP_OFFSET_CHECK(Reserved24, 24);
ZIP_OFFSET_CHECK(EncryptOn, 28);
ZIP_OFFSET_CHECK(HiddenFilesOn, 32);
ZIP_OFFSET_CHECK(StdinOn, 36);
ZIP_OFFSET_CHECK(Reserved40, 40);
ZIP_OFFSET_CHECK(Reserved44, 44);
ZIP_OFFSET_CHECK(Reserved48, 48);
ZIP_OFFSET_CHECK(VerboseOn, 52);
ZIP_OFFSET_CHECK(Reserved56, 56);
ZIP_OFFSET_CHECK(CompressionLevel, 60);
ZIP_OFFSET_CHECK(Reserved64, 64);
ZIP_OFFSET_CHECK(Reserved68, 68);
ZIP_OFFSET_CHECK(NoDirNames, 72);
ZIP_OFFSET_CHECK(RecurseOn, 76);
ZIP_OFFSET_CHECK(AddOn, 80);
ZIP_OFFSET_CHECK(ForceDosOn, 84);
ZIP_OFFSET_CHECK(MoveOn, 88);
ZIP_OFFSET_CHECK(DeleteOn, 92);
ZIP_OFFSET_CHECK(UpdateOn, 96);
ZIP_OFFSET_CHECK(FreshenOn, 100);
ZIP_OFFSET_CHECK(Reserved104, 104);
ZIP_OFFSET_CHECK(ZipTimeOn, 108);
ZIP_OFFSET_CHECK(Reserved112, 112);
ZIP_OFFSET_CHECK(SpecCount, 120);
ZIP_OFFSET_CHECK(ArchiveName, 124);
ZIP_OFFSET_CHECK(TrailerMark, 128);
ZIP_OFFSET_CHECK(SpecTexts, 132);
ZREC_STATIC_ASSERT(sizeof(ZipCommandRecord) == 16520, "ZipCommandRecord size");
#endif

#undef ZIP_OFFSET_CHECK

#ifdef __cplusplus
}
#endif

#endif
