#pragma once
/**
 * @file
 * Recording calls. Every call follows the result convention of emberline.h:
 * `writer` is an open device object, `text` receives at most `size`-1
 * characters of explanation on failure (callers pass 1024), `status` the
 * 32-bit status and `failure` the 64-byte failure record.
 *
 * While a call records, the device object's callback is called with 12
 * (param1: uint64_t* total bytes, param2: uint64_t* bytes done) after every
 * chunk written, and with 13 (param1: uint32_t* drive buffer size, param2:
 * uint32_t* free buffer bytes) about every megabyte. Emberline_CdvdWriter_Cancel
 * from another thread ends the call with EMBERLINE_E_CANCELLED after the
 * medium was left readable (the open track and session closed).
 *
 * Common arguments:
 *  - testMode: 1 simulates the recording (laser off); the disc stays as it
 *    was. Refused on media that cannot simulate (DVD+R, DVD+RW).
 *  - multiSession: 1 leaves the disc appendable for a later session, 0
 *    closes it when the session is closed.
 *  - useBup: 1 enables buffer underrun protection when the drive has it
 *    (callers pass 1); 0 records without it.
 *  - readyMinutes: how long to wait at most for the drive to become ready or
 *    to finish a cache flush or close (callers pass 5; 0 counts as 1).
 */

#include "emberline/emberline.h"

#ifdef __cplusplus
extern "C" {
#endif

/** Size of the session description record of Emberline_CdvdWriter_SessionAtOnce. */
#define EMBERLINE_SESSION_RECORD_SIZE 29108
/** Size of the track list record of the disc-at-once-from-file calls. */
#define EMBERLINE_TRACK_LIST_SIZE 79604

/**
 * Track at once: the built image of a file tree as one Mode 1 track at the
 * disc's next writable address (incremental recording on DVD media).
 * @param tree       a file tree built with Emberline_ISO9660JolietFileTree_BuildImage at the disc's next
 *                   writable address; an image built for another address is refused
 * @param closeTrack 1 closes the track afterwards (callers pass 1); 0 leaves it open
 * @param testMode, multiSession, useBup, readyMinutes  see the file description
 * The session stays open: close it with Emberline_CdvdWriter_CloseSession.
 */
uint8_t Emberline_CdvdWriter_TrackAtOnceFromTree(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                                 EmberlineFailureInfo* failure, EmberlineHandle tree,
                                                 uint8_t closeTrack, uint8_t testMode, uint8_t multiSession,
                                                 uint8_t useBup, uint32_t readyMinutes);

/**
 * Track at once from an ISO image file (2048-byte sectors) as one Mode 1
 * track at the next writable address. Arguments as for
 * Emberline_CdvdWriter_TrackAtOnceFromTree, with `fileName` the image file.
 */
uint8_t Emberline_CdvdWriter_TrackAtOnceFromFile(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                                 EmberlineFailureInfo* failure, const char* fileName,
                                                 uint8_t closeTrack, uint8_t testMode, uint8_t multiSession,
                                                 uint8_t useBup, uint32_t readyMinutes);

/**
 * Session at once onto a blank CD (a cue sheet; every track Mode 1 with a
 * 2-second first pregap), or disc at once onto a blank DVD-R/-RW (one
 * track).
 * @param sessionRecord EMBERLINE_SESSION_RECORD_SIZE bytes: bytes 0-3 the track count (1-101, host
 *        order), then 287-byte entries at 4 + 287*k: entry+15 a zero-terminated image file name
 *        (2048-byte sectors), entry+279 a 32-bit file tree handle. Each tree must be built at the
 *        LBA its track starts at (the first track starts at 0).
 * @param fromTree      1: the entries' tree handles are used; 0: their file names
 * @param closeSession  1 (callers pass 1): the disc is closed with the session; 0: the session is
 *        closed (the drive does so at its end) but the disc stays appendable
 * @param testMode, useBup, readyMinutes  see the file description
 */
uint8_t Emberline_CdvdWriter_SessionAtOnce(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                           EmberlineFailureInfo* failure, const uint8_t* sessionRecord,
                                           uint8_t fromTree, uint8_t testMode, uint8_t closeSession, uint8_t useBup,
                                           uint32_t readyMinutes);

/**
 * Raw disc at once of a file tree's image (built at LBA 0) onto a blank CD;
 * the library encodes every sector and sends 16 bytes of P-Q sub-channel
 * with each.
 * @param closeTrack   unused by disc at once (callers pass 0)
 * @param multiSession 1 leaves the disc appendable (callers pass 0)
 * @param testMode, useBup, readyMinutes  see the file description
 * Refused on DVD media and on a disc that is not blank.
 */
uint8_t Emberline_CdvdWriter_DiscAtOncePQFromTree(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                                  EmberlineFailureInfo* failure, EmberlineHandle tree,
                                                  uint8_t closeTrack, uint8_t testMode, uint8_t multiSession,
                                                  uint8_t useBup, uint32_t readyMinutes);

/** As Emberline_CdvdWriter_DiscAtOncePQFromTree, with 96 bytes of raw P-W sub-channel per sector. */
uint8_t Emberline_CdvdWriter_DiscAtOnceRawPWFromTree(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                                     EmberlineFailureInfo* failure, EmberlineHandle tree,
                                                     uint8_t closeTrack, uint8_t testMode, uint8_t multiSession,
                                                     uint8_t useBup, uint32_t readyMinutes);

/**
 * Raw disc at once of image files onto a blank CD, one data track per file,
 * with 16 bytes of P-Q sub-channel per sector.
 * @param trackList EMBERLINE_TRACK_LIST_SIZE bytes: bytes 0-3 the track count (1-100, host order);
 *        track k's zero-terminated file name at byte 13 + 796*k
 * @param audio     0: data tracks (callers pass 0); audio tracks are not supported
 * @param rawInput  0: the files hold 2048-byte sectors, encoded as Mode 1 here (callers pass 0);
 *                  1: they hold whole 2352-byte sectors, sent as they are
 * @param multiSession 1 leaves the disc appendable (callers pass 0)
 * @param testMode, useBup, readyMinutes  see the file description
 */
uint8_t Emberline_CdvdWriter_DiscAtOncePQFromFile(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                                  EmberlineFailureInfo* failure, const uint8_t* trackList,
                                                  uint8_t audio, uint8_t testMode, uint8_t multiSession,
                                                  uint8_t rawInput, uint8_t useBup, uint32_t readyMinutes);

/** As Emberline_CdvdWriter_DiscAtOncePQFromFile, with 96 bytes of raw P-W sub-channel per sector. */
uint8_t Emberline_CdvdWriter_DiscAtOnceRawPWFromFile(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                                     EmberlineFailureInfo* failure, const uint8_t* trackList,
                                                     uint8_t audio, uint8_t testMode, uint8_t multiSession,
                                                     uint8_t rawInput, uint8_t useBup, uint32_t readyMinutes);

/**
 * A Video CD 2.0 onto a blank CD-R or CD-RW, session at once: the MPEG-1
 * program stream in `sourceFile` becomes the disc's one MPEG track, with the
 * file system and information files in track 1. The stream is checked before
 * anything is written; a stream a Video CD cannot carry, a medium that is not
 * a blank CD or a disc too small is refused with a text saying which.
 * @param sourceFile  the MPEG file; only read
 * @param albumId     the album identifier recorded in the information file (at most 16 characters)
 * @param volumeCount number of discs of the album (callers pass 1)
 * @param volumeNumber this disc's number within the album, 1 to volumeCount (callers pass 1)
 * @param testMode, useBup, readyMinutes  see the file description
 * The session is closed by the drive; a test-mode recording leaves the disc blank.
 */
uint8_t Emberline_CdvdWriter_VideoCD(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                     EmberlineFailureInfo* failure, const char* sourceFile, const char* albumId,
                                     uint16_t volumeCount, uint16_t volumeNumber, uint8_t testMode, uint8_t useBup,
                                     uint32_t readyMinutes);

/** As Emberline_CdvdWriter_VideoCD, a Super Video CD 1.0 from an MPEG-2 program stream. */
uint8_t Emberline_CdvdWriter_SuperVideoCD(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                          EmberlineFailureInfo* failure, const char* sourceFile, const char* albumId,
                                          uint16_t volumeCount, uint16_t volumeNumber, uint8_t testMode, uint8_t useBup,
                                          uint32_t readyMinutes);

/**
 * Reads back what the last successful recording on this device object wrote
 * and compares it with its sources, opened again (file trees, image files,
 * the MPEG file of a Video CD): nothing of the recording is kept meanwhile,
 * so the sources and trees must still be there, unchanged.
 * Data and DVD-Video blocks are read with READ(10); the sectors of a Video CD
 * or Super Video CD with READ CD, comparing subheaders and Form 1 and Form 2
 * user data. A read that fails is tried 4 times. Progress goes to callback 12
 * (bytes to compare, bytes compared); Emberline_CdvdWriter_Cancel ends it.
 * @param sectorsCompared  may be null; set to the sectors compared
 * @return EMBERLINE_E_VERIFY_MISMATCH naming the first differing sector, the
 *         file that lies there and the byte offset in it; the drive's failure
 *         (EMBERLINE_E_CHECK_CONDITION, sense in status) for a sector that
 *         stays unreadable, named the same way; EMBERLINE_E_INVALID_ARGUMENT
 *         when this object has recorded nothing to compare (or only in test mode).
 */
uint8_t Emberline_CdvdWriter_Verify(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                    EmberlineFailureInfo* failure, uint64_t* sectorsCompared);

/**
 * Reads the disc in the drive from the address @p tree's image was built
 * for and compares it with that image, streamed again from its sources: a
 * disc written earlier, or by another program, checked against the folders
 * it was made from. The image must be built as the disc's was (the same
 * sources, options, label and creation time: see
 * Emberline_ISO9660JolietFileTree_SetCreationTime and
 * Emberline_CdvdWriter_GetVolumeCreationTime). Reads, retries, progress,
 * cancel and failures as Emberline_CdvdWriter_Verify; a differing sector is
 * named with the file that lies there by its path on the disc, or the
 * directory or other structure of the file system.
 */
uint8_t Emberline_CdvdWriter_VerifyTree(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                        EmberlineFailureInfo* failure, EmberlineHandle tree, uint64_t* sectorsCompared);

#ifdef __cplusplus
}
#endif
