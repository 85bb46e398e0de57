#pragma once
/**
 * @file
 * Device calls. Every call taking (text, size, status, failure) follows the
 * result convention of emberline.h. Byte booleans are uint8_t: 0 false,
 * 1 true.
 */

#include "emberline/emberline.h"

#ifdef __cplusplus
extern "C" {
#endif

/**
 * Opens the device at a SCSI address (host, channel, target, LUN).
 * @param probe 1 for a short-lived handle used for queries (opened shared),
 *              0 for a burning session's handle (opened exclusively).
 */
uint8_t Emberline_CdvdWriter_Create(EmberlineHandle* handle, char* text, int32_t size, uint32_t* status,
                                    EmberlineFailureInfo* failure, EmberlineCallBackProc callback, void* context,
                                    uint8_t port, uint8_t bus, uint8_t target, uint8_t lun, uint32_t probe);
/** Opens the device by name: "CdRom" N is /dev/srN (virtual writers have names of their own). */
uint8_t Emberline_CdvdWriter_CreateEx(EmberlineHandle* handle, char* text, int32_t size, uint32_t* status,
                                      EmberlineFailureInfo* failure, EmberlineCallBackProc callback, void* context,
                                      const char* name, uint32_t probe);
/** Destroys a device object or a file tree and clears *handle. */
uint8_t Emberline_Destroy(EmberlineHandle* handle);

/** Lists every SCSI device of the given peripheral type (5 = CD/DVD) through callback 10. */
uint8_t Emberline_FindDevice(uint8_t peripheralType, uint32_t flags, EmberlineCallBackProc callback, void* context);
/**
 * Device path of an address, prefixed with the four characters "dev:"
 * (for example "dev:/dev/sr0"). 1024-character buffer.
 */
uint8_t Emberline_GetDeviceNameByDeviceAddress(uint8_t port, uint8_t bus, uint8_t target, uint8_t lun, char* buffer);
/**
 * The disc image the virtual writer of this device object finished last (the
 * .cue of a CD, the .iso of a DVD), into `path` of `size` bytes. EMBERLINE_OK
 * with an empty text when the device is no virtual writer or it has finished
 * none yet: a virtual writer finishes its image when its disc is ejected.
 */
uint8_t Emberline_CdvdWriter_GetVirtualImage(EmberlineHandle handle, char* path, int32_t size);

uint8_t Emberline_CdvdWriter_GetDeviceInformation(EmberlineHandle handle, char* vendor, char* product, char* revision,
                                                  uint32_t* bufferSize);
/** Outputs: CD-R read, CD-RW read, DVD-ROM read, DVD-R read, DVD-RAM read, test write, CD-R write,
 *  CD-RW write, DVD-R write, DVD-RAM write. */
uint8_t Emberline_CdvdWriter_GetSupportedMediaFormats(EmberlineHandle handle, uint8_t* cdrRead, uint8_t* cdrwRead,
                                                      uint8_t* dvdromRead, uint8_t* dvdrRead, uint8_t* dvdramRead,
                                                      uint8_t* testWrite, uint8_t* cdrWrite, uint8_t* cdrwWrite,
                                                      uint8_t* dvdrWrite, uint8_t* dvdramWrite);
/** Outputs: DVD+R read, DVD+RW read, DVD+R write, DVD+RW write, DVD+R DL read, DVD+R DL write. */
uint8_t Emberline_CdvdWriter_GetSupportedMediaFormatsExEx(EmberlineHandle handle, uint8_t* dvdplusrRead,
                                                          uint8_t* dvdplusrwRead, uint8_t* dvdplusrWrite,
                                                          uint8_t* dvdplusrwWrite, uint8_t* dvdplusrDlRead,
                                                          uint8_t* dvdplusrDlWrite);
uint8_t Emberline_CdvdWriter_ProbeSupportedWriteModes(EmberlineHandle handle, char* text, int32_t size,
                                                      uint32_t* status, EmberlineFailureInfo* failure,
                                                      uint8_t* trackAtOnce, uint8_t* sessionAtOnce,
                                                      uint8_t* discAtOncePQ, uint8_t* discAtOnceRawPW);
/** Outputs: Mode 2 Form 1, Mode 2 Form 2, CD-DA read, CD-DA accurate stream, R-W subchannel, C2 pointers. */
uint8_t Emberline_CdvdWriter_ProbeSupportedReadModes(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                                     EmberlineFailureInfo* failure, uint8_t* mode2Form1,
                                                     uint8_t* mode2Form2, uint8_t* cddaRead, uint8_t* cddaAccurate,
                                                     uint8_t* subchannelRW, uint8_t* c2Pointers);
uint8_t Emberline_CdvdWriter_TestUnitReady(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                           EmberlineFailureInfo* failure);
DISC_TYPE Emberline_CdvdWriter_GetInsertedDiscType(EmberlineHandle handle);

/**
 * Disc information record (33 bytes), decoded from READ DISC INFORMATION:
 *  0 valid (1), 1 disc status (0 blank, 1 appendable, 2 complete, 3 other),
 *  2 last session status (0 empty, 1 incomplete, 3 complete), 3 erasable,
 *  4 first track number, 5 number of sessions, 6 first track of the last
 *  session, 7 last track of the last session, 8 disc type byte (00h, 10h CD-I,
 *  20h XA), 9 unrestricted use, 10-13 disc identification, 14-17 last
 *  session lead-in start LBA, 18-21 last possible lead-out LBA,
 *  22 background format status, 23-32 zero. Multi-byte values little-endian.
 */
#define EMBERLINE_DISC_INFORMATION_SIZE 33
uint8_t Emberline_CdvdWriter_GetDiscInformation(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                                EmberlineFailureInfo* failure, uint8_t* discInformation);
/**
 * Track information record (28 bytes), decoded from READ TRACK INFORMATION:
 *  0 valid (1), 1 track number, 2 session number, 3 track mode, 4 data mode,
 *  5 damage, 6 copy, 7 reserved track, 8 packet, 9 blank, 10 fixed packet,
 *  11 next writable address valid, 12-15 track start LBA, 16-19 next
 *  writable address, 20-23 free blocks, 24-27 track size in blocks.
 *  Multi-byte values little-endian. Track 255 is the invisible (next) track.
 */
#define EMBERLINE_TRACK_INFORMATION_SIZE 28
uint8_t Emberline_CdvdWriter_GetTrackInformation(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                                 EmberlineFailureInfo* failure, uint32_t track,
                                                 uint8_t* trackInformation);
/**
 * Table of contents block (13838 bytes): bytes 0-13835 hold the drive's
 * READ TOC response in format 0 (4-byte header, then 8-byte track
 * descriptors, lead-out AAh last), zero-padded; bytes 13836-13837 hold, as a
 * little-endian 16-bit value, how many of the leading bytes are valid (0 when
 * the disc has no TOC). Addresses are LBAs unless fast TOC reading is off, in
 * which case the drive is asked for MSF addresses.
 */
#define EMBERLINE_TOC_INFORMATION_SIZE 13838
uint8_t Emberline_CdvdWriter_GetTOCInformation(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                               EmberlineFailureInfo* failure, uint8_t* tocInformation);
/**
 * Volume label of the inserted disc: the volume identifier of the ISO 9660
 * primary volume descriptor of the last session, trailing blanks removed.
 * Fails when the disc holds no ISO 9660 volume.
 */
uint8_t Emberline_CdvdWriter_GetVolumeLabel(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                            EmberlineFailureInfo* failure, char* label, int32_t labelSize);
/**
 * Creation time of the inserted disc's volume (seconds since 1970, UTC): the
 * one the ISO 9660 primary volume descriptor of the last session records.
 * Fails when the disc holds no ISO 9660 volume or the time is not set.
 */
uint8_t Emberline_CdvdWriter_GetVolumeCreationTime(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                                   EmberlineFailureInfo* failure, int64_t* created);
/** 1: read the TOC with LBA addresses in one command (default); 0: MSF addresses. */
void Emberline_SetFastReadTOC(uint8_t fast);
/** Outputs of REPORT KEY format 08h: type code, vendor resets left, user changes left, region mask,
 *  RPC scheme. */
uint8_t Emberline_CdvdWriter_GetRPC(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                    EmberlineFailureInfo* failure, uint8_t* typeCode, uint8_t* vendorResets,
                                    uint8_t* userChanges, uint8_t* regionMask, uint8_t* rpcScheme);
/**
 * Free space of the inserted medium.
 * @param blockKind 3: count 2048-byte user data blocks (Mode 1 / DVD).
 * @param freeCount blocks that can still be written
 * @param freeSize  bytes that can still be written (freeCount × 2048)
 */
uint8_t Emberline_CdvdWriter_GetDiscFreeSpace(EmberlineHandle handle, uint32_t blockKind, uint32_t* freeCount,
                                              uint64_t* freeSize);
/** Bytes already recorded on the medium (2048 per block). */
uint8_t Emberline_CdvdWriter_GetDiscUsedSpace(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                              EmberlineFailureInfo* failure, uint64_t* usedSize);
/** Speeds in KB/s (1000 bytes); 0xFFFF asks for the fastest the drive allows. */
uint8_t Emberline_CdvdWriter_SetSpeeds(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                       EmberlineFailureInfo* failure, uint32_t readSpeed, uint32_t writeSpeed);
uint8_t Emberline_CdvdWriter_GetSpeeds(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                       EmberlineFailureInfo* failure, uint32_t* currentRead, uint32_t* maximumRead,
                                       uint32_t* currentWrite, uint32_t* maximumWrite);
/** Buffer underrun protection: enabled, then supported. */
uint8_t Emberline_CdvdWriter_GetBUP(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                    EmberlineFailureInfo* failure, uint8_t* enabled, uint8_t* supported);
uint8_t Emberline_CdvdWriter_SetBUP(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                    EmberlineFailureInfo* failure, uint8_t enable);
uint8_t Emberline_CdvdWriter_SendOPC(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                     EmberlineFailureInfo* failure);
/** Locks / unlocks the tray (PREVENT ALLOW MEDIUM REMOVAL). */
uint8_t Emberline_CdvdWriter_Lock(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                  EmberlineFailureInfo* failure);
uint8_t Emberline_CdvdWriter_Release(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                     EmberlineFailureInfo* failure);
uint8_t Emberline_CdvdWriter_Eject(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                   EmberlineFailureInfo* failure);
/** Closes the open session (CD) or finalises the disc as the medium requires. */
uint8_t Emberline_CdvdWriter_CloseSession(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                          EmberlineFailureInfo* failure);
/**
 * Asks the call now running on this device object (on another thread) to
 * end soon with EMBERLINE_E_CANCELLED. Safe to call from any thread.
 */
uint8_t Emberline_CdvdWriter_Cancel(EmberlineHandle handle);

#ifdef __cplusplus
}
#endif
