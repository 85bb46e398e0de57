#pragma once
/**
 * @file
 * Checking the MPEG source of a Video CD or Super Video CD before any
 * writer is involved: the same pass over the stream that
 * Emberline_CdvdWriter_VideoCD and Emberline_CdvdWriter_SuperVideoCD make
 * before they write, and the disc's exact length in sectors as they would
 * lay it out. A front end runs it when the source is chosen, so a stream the
 * disc kind cannot carry is refused before a burn is set up.
 */

#include "emberline/emberline.h"

#ifdef __cplusplus
extern "C" {
#endif

/** What a source that passed the check holds, and the disc it makes. */
typedef struct EmberlineVideoSourceFacts {
  uint8_t systemVersion; /**< 1: MPEG-1 system stream, 2: MPEG-2 program stream */
  uint8_t videoVersion;  /**< 1 or 2: the video's own syntax */
  uint8_t audioStreams;  /**< MPEG audio streams carried */
  uint8_t reserved0;
  uint16_t width; /**< picture size of the first sequence header */
  uint16_t height;
  uint32_t frameRateNumerator; /**< frames per second as a fraction: 25/1, 30000/1001 */
  uint32_t frameRateDenominator;
  uint32_t playingMilliseconds; /**< playing time from the video's presentation times */
  uint32_t muxRate;             /**< bit/s, the highest any pack header gives */
  uint64_t fileSize;            /**< bytes */
  uint32_t discSectors;         /**< the whole disc, LBA 0 to the lead-out, as the burn lays it out */
  uint32_t mpegSectors;         /**< of which the MPEG packs, one sector each */
  uint8_t reserved[32];
} EmberlineVideoSourceFacts;

/**
 * Checks `sourceFile` as the source of a Video CD (`superVideoCd` 0) or a
 * Super Video CD (1). The file is only read. On success *facts describes it;
 * on failure the text names the path and the first fault found ("MPEG-2
 * stream given for a Video CD", ...), EMBERLINE_E_INVALID_ARGUMENT for a
 * stream the kind cannot carry, EMBERLINE_E_FILE for a file that cannot be
 * read (status: errno).
 * @param cancel  may be null; otherwise a flag the caller sets (with an
 *        atomic store) from another thread to stop the check, which then
 *        returns EMBERLINE_E_CANCELLED. It is read between packs.
 * No writer is needed; the library must be started.
 */
uint8_t Emberline_VideoCD_CheckSource(const char* sourceFile, uint8_t superVideoCd, char* text, int32_t size,
                                      uint32_t* status, EmberlineVideoSourceFacts* facts, uint8_t* cancel);

#ifdef __cplusplus
}
#endif
