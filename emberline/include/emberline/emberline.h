#pragma once
/**
 * @file
 * libemberline: CD/DVD burning library, flat C interface.
 *
 * Result convention of every device call: the return value is an 8-bit
 * exception code (0 = success). On failure the library writes a
 * NUL-terminated English text into the caller's buffer (at most size-1
 * characters; callers pass 1024), a 32-bit status and, where the call takes
 * one, fills the 64-byte failure record.
 *
 * Status: for a drive's CHECK CONDITION it is (sense key << 16) | (ASC << 8) |
 * ASCQ; for a system error it is the errno value; otherwise 0.
 *
 * The library depends on the C++ standard library and the OS only.
 */

#include <stddef.h>
#include <stdint.h>

#include "emberline/disc_type.h"

#ifdef __cplusplus
extern "C" {
#endif

#define EMBERLINE_VERSION 0x20080820u
#define EMBERLINE_TEXT_SIZE 1024
#define EMBERLINE_TRACK_NUMBER_INVISIBLE 255u

/** Exception codes. */
enum EmberlineException {
  EMBERLINE_OK = 0,
  EMBERLINE_E_INVALID_ARGUMENT = 1, /**< a null handle or pointer, a bad value */
  EMBERLINE_E_DEVICE_OPEN = 2,      /**< the device is missing, busy or not permitted */
  EMBERLINE_E_TRANSPORT = 3,        /**< the command did not complete */
  EMBERLINE_E_CHECK_CONDITION = 4,  /**< the drive refused the command; status holds its sense */
  EMBERLINE_E_NOT_READY = 5,        /**< no medium, or the unit is not ready */
  EMBERLINE_E_CANCELLED = 6,        /**< ended by Emberline_CdvdWriter_Cancel */
  EMBERLINE_E_NOT_SUPPORTED = 7,    /**< the drive or medium cannot do this */
  EMBERLINE_E_FILE = 8,             /**< a file could not be read or written */
  EMBERLINE_E_NOT_STARTED = 9,      /**< Emberline_StartUp has not been called */
  EMBERLINE_E_INTERNAL = 10,
  EMBERLINE_E_VERIFY_MISMATCH = 11 /**< the disc read back differs from what was written */
};

/** Opaque library object: a device (writer) or a file tree. */
typedef struct EmberlineObject* EmberlineHandle;

/** The 64-byte failure record handed to device calls after the status. */
typedef struct EmberlineFailureInfo {
  uint8_t exceptionCode; /**< same as the return value */
  uint8_t senseKey;      /**< drive sense, when the drive reported one */
  uint8_t asc;
  uint8_t ascq;
  uint32_t systemError; /**< errno, when the system reported one */
  uint8_t opcode;       /**< SCSI opcode of the failing command, 0 if none */
  uint8_t reserved[55];
} EmberlineFailureInfo;

/** SCSI address of a device, as callback 10 reports it. */
typedef struct TsbDeviceAddress {
  uint8_t Present; /**< non-zero when the address is valid */
  uint8_t PortID;  /**< host adapter */
  uint8_t BusID;   /**< channel */
  uint8_t TargetID;
  uint8_t LUN;
} TsbDeviceAddress;

/** Callback numbers: the first argument of every callback. */
enum EmberlineCallBackNumber {
  EMBERLINE_CALLBACK_NAME_ADDED = 0,     /**< a file tree took a name (param1: tree path, param2: source) */
  EMBERLINE_CALLBACK_NAME_REMOVED = 1,   /**< a file tree dropped a name (as for NAME_ADDED) */
  EMBERLINE_CALLBACK_NAME_IGNORED = 2,   /**< a name was not added (param1: tree path, param2: reason) */
  EMBERLINE_CALLBACK_NAME_COLLISION = 3, /**< two names collide (param1: the collision record) */
  /** a collision is settled (param1: the collision record with the answer taken and, for a rename, the
      entry's name as the image records it) */
  EMBERLINE_CALLBACK_NAME_COLLISION_SETTLED = 4,
  EMBERLINE_CALLBACK_FILE_LEFT_OUT = 5, /**< a file of a DVD-Video folder that belongs to no set is not written
                                             (param1: its name in the folder, param2: its path) */
  EMBERLINE_CALLBACK_DEVICE_FOUND = 10, /**< param1: TsbDeviceAddress*, param2: unused */
  EMBERLINE_CALLBACK_PROGRESS = 12,     /**< param1: uint64_t* total, param2: uint64_t* done */
  EMBERLINE_CALLBACK_BUFFER = 13        /**< param1: uint32_t* size, param2: uint32_t* free */
};

/**
 * The one callback the library calls, with an EmberlineCallBackNumber. It
 * runs on the thread that made the library call.
 */
typedef void (*EmberlineCallBackProc)(uint32_t number, void* context, void* param1, void* param2);

/** Library version; this library returns EMBERLINE_VERSION. */
uint32_t Emberline_GetVersion(void);
/** Starts the library (virtual writers are set up here). Returns an exception code. */
uint8_t Emberline_StartUp(void);
/** Ends the library; device objects still open are destroyed. */
uint8_t Emberline_ShutDown(void);

#ifdef __cplusplus
}
#endif
