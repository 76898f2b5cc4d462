/*
 * SfxHeader.h: the 256-byte settings header that stands between the
 * self-extractor stub ZIPSFX.BIN and the archive in a self-extracting
 * program. The engine writes it when it converts an archive; the stub reads
 * it when the program runs. Both take the layout from here.
 *
 * Plain C like the command records beside it, all single bytes, so there is
 * no padding and no byte order to agree on. This header holds no code.
 *
 *   offset  width  field
 *      0      3    Signature          "MPU"
 *      3      1    Options            SFXH_* bits below
 *      4      1    CaptionLength
 *      5      1    DefaultDirLength
 *      6      1    CommandLineLength
 *      7    249    Texts              caption, default folder, command line,
 *                                     one after the other, then zeros
 *   size 256
 */
#ifndef FERNPACK_SFXHEADER_H
#define FERNPACK_SFXHEADER_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#define SFXH_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define SFXH_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

#define SFXH_SIZE 256
#define SFXH_SIGNATURE "MPU"
#define SFXH_SIGNATURE_LENGTH 3
/* Room for the three texts together. */
#define SFXH_TEXTS_CAPACITY 249

/* Option bits. At most one of the two overwrite bits is set; with neither,
   the user is asked. */
#define SFXH_ASK_COMMAND_LINE 1  /* the user may skip the command line */
#define SFXH_ASK_FILES 2         /* the user may pick the files */
#define SFXH_HIDE_OVERWRITE 4    /* the overwrite mode is not offered */
#define SFXH_OVERWRITE_ALWAYS 8
#define SFXH_OVERWRITE_NEVER 16

typedef struct SfxHeader {
    char Signature[SFXH_SIGNATURE_LENGTH];
    uint8_t Options;
    uint8_t CaptionLength;
    uint8_t DefaultDirLength;
    uint8_t CommandLineLength;
    char Texts[SFXH_TEXTS_CAPACITY];
} SfxHeader;

SFXH_STATIC_ASSERT(offsetof(SfxHeader, Options) == 3, "SfxHeader.Options");
SFXH_STATIC_ASSERT(offsetof(SfxHeader, CaptionLength) == 4, "SfxHeader.CaptionLength");
SFXH_STATIC_ASSERT(offsetof(SfxHeader, DefaultDirLength) == 5, "SfxHeader.DefaultDirLength");
SFXH_STATIC_ASSERT(offsetof(SfxHeader, CommandLineLength) == 6, "SfxHeader.CommandLineLength");
SFXH_STATIC_ASSERT(offsetof(SfxHeader, Texts) == 7, "SfxHeader.Texts");
SFXH_STATIC_ASSERT(sizeof(SfxHeader) == SFXH_SIZE, "SfxHeader size");

#ifdef __cplusplus
}
#endif

#endif
