#pragma once
/**
 * @file
 * DVD-Video file structures: a premastered VIDEO_TS folder laid out as a
 * UDF 1.02 + ISO 9660 bridge image, its files placed where the IFOs say.
 *
 * Create checks the folder and lays the image out; the structure's file tree
 * (GetTreePointer) is then burned with Emberline_CdvdWriter_TrackAtOnceFromTree
 * or read as an image with the Emberline_ISO9660JolietFileTree_ size, seek
 * and read calls. The tree belongs to the structure: it is freed by Destroy,
 * after which its handle is refused by every call; it must not be passed to
 * Emberline_Destroy. Its layout is fixed: the calls that fill a tree or build
 * its image refuse it.
 *
 * The image: ISO 9660 (level 1 names, no Joliet) and UDF 1.02 describing the
 * same extents. VIDEO_TS.IFO starts at the first sector after both file
 * systems' structures that keeps every IFO out of its backup's 16-sector ECC
 * block; every other file lies, in one piece, at the sector the IFOs give
 * counted from there.
 */

#include "emberline/emberline.h"

#ifdef __cplusplus
extern "C" {
#endif

/**
 * Builds the DVD-Video structure of `sourceFolder` (the VIDEO_TS folder or
 * its parent). Nothing in the folder is written to.
 * @param addAudioTs  1: an empty AUDIO_TS folder beside VIDEO_TS (what players expect)
 * @param volumeLabel, publisher, application  written into both file systems
 *        (ISO 9660 reduces them to its d- and a-characters)
 * The date and time (local, as the caller's clock gives them) become the
 * volume's creation time in both file systems and the time of every folder
 * and file; they are recorded to the second.
 * On failure *dvdVideo stays null and the text says what the folder lacks.
 * A folder is refused when its information files point at a cell or VOBU
 * past the VOB bytes present, or place a file more than 15 sectors after
 * the end of the one before it (room the folder does not hold); the text
 * names the file and the bytes in question. Files of the folder that are
 * no part of the structure are left out: Emberline_DVDVideo_ReportLeftOut
 * names them.
 */
uint8_t Emberline_DVDVideo_Create(EmberlineHandle* dvdVideo, const char* sourceFolder, uint8_t addAudioTs, char* text,
                                  int32_t size, uint32_t* status, const char* volumeLabel, const char* publisher,
                                  const char* application, uint16_t year, uint16_t month, uint16_t day, uint16_t hour,
                                  uint16_t minute, uint16_t second, uint16_t millisecond);

/**
 * Names the files of the folder that are not part of the DVD-Video structure
 * and are left off the disc (a thumbnail, a desktop.ini): one callback
 * EMBERLINE_CALLBACK_FILE_LEFT_OUT with `context` for each, in name order,
 * on the calling thread. Returns EMBERLINE_E_INVALID_ARGUMENT for an
 * unknown handle.
 */
uint8_t Emberline_DVDVideo_ReportLeftOut(EmberlineHandle dvdVideo, EmberlineCallBackProc callback, void* context);

/** Fills *tree with the structure's file tree (null, and EMBERLINE_E_INVALID_ARGUMENT, for an unknown handle). */
uint8_t Emberline_DVDVideo_GetTreePointer(EmberlineHandle dvdVideo, EmberlineHandle* tree);

/** Frees the structure and its file tree; a recording still reading the tree finishes first. */
uint8_t Emberline_DVDVideo_Destroy(EmberlineHandle dvdVideo);

#ifdef __cplusplus
}
#endif
