#pragma once
/**
 * @file
 * ISO 9660 + Joliet file trees and the images built from them.
 *
 * A tree is filled with folders and files from the local file system, then
 * laid out (BuildImage) and read as a stream of 2048-byte sectors: no call
 * holds the image or any file's data in memory.
 *
 * Callbacks made with the tree's callback and context while it is filled:
 *  0 name added (param1: const char* tree path, param2: the source path),
 *  1 name removed (as 0), 2 name ignored (param1: tree path, param2: why),
 *  3 name collision (param1: EmberlineNameCollision*; the callee rewrites
 *    the name in place and sets the answer),
 *  4 collision settled (param1: EmberlineNameCollision*, read only: the
 *    answer the tree took and, for a rename, the name the image records,
 *    which may differ from the one written back at 3 when that was not a
 *    valid or free name).
 * For 0 to 2 the context is the caller's (the program passes a pointer to a
 * 32-bit node count).
 */

#include "emberline/emberline.h"

#ifdef __cplusplus
extern "C" {
#endif

/** Answers to a name collision. */
enum EmberlineCollisionAnswer {
  EMBERLINE_COLLISION_KEEP_FIRST = 1, /**< ignore the new entry (reported as callback 2) */
  EMBERLINE_COLLISION_RENAME = 2,     /**< add the new entry under the rewritten name */
  EMBERLINE_COLLISION_MERGE = 3       /**< both are folders: merge their contents */
};

#define EMBERLINE_COLLISION_NAME_SIZE 520
#define EMBERLINE_ATTRIBUTE_FOLDER 0x10u

/**
 * Name collision record (callback 3). On a 32-bit build the layout is the
 * classic one: 0 kind, 1 name (520 bytes), 521 first entry, 525 its
 * attributes, 529 second entry, 533 its attributes, 537 answer. Entry
 * pointers take the platform's pointer size, so on 64-bit builds the fields
 * after each pointer move by four bytes. An entry points at one byte of
 * entry kind followed by the entry's NUL-terminated 8-bit path.
 */
#pragma pack(push, 1)
typedef struct EmberlineNameCollision {
  uint8_t joliet; /**< 0: 8-bit ISO 9660 name; non-zero: 16-bit Joliet name (UCS-2, host order) */
  uint8_t name[EMBERLINE_COLLISION_NAME_SIZE]; /**< the colliding name, NUL-terminated */
  const uint8_t* firstEntry;
  uint32_t firstAttributes; /**< EMBERLINE_ATTRIBUTE_FOLDER marks a folder */
  const uint8_t* secondEntry;
  uint32_t secondAttributes;
  uint8_t answer; /**< an EmberlineCollisionAnswer, written by the callee */
} EmberlineNameCollision;
#pragma pack(pop)

uint8_t Emberline_ISO9660JolietFileTree_Create(EmberlineHandle* tree, char* text, int32_t size, uint32_t* status,
                                               EmberlineCallBackProc callback, void* context);
/** Adds a local folder with everything in it under `treeFolder` ("/" is the root). */
uint8_t Emberline_ISO9660JolietFileTree_AddFolder(EmberlineHandle tree, char* text, int32_t size, uint32_t* status,
                                                  const char* treeFolder, const char* sourceFolder);
/** Adds one local file under `treeFolder`, named `name` (its own name when null). */
uint8_t Emberline_ISO9660JolietFileTree_AddFile(EmberlineHandle tree, char* text, int32_t size, uint32_t* status,
                                                const char* treeFolder, const char* sourceFile, const char* name);
/** Removes a file or folder by its tree path. */
uint8_t Emberline_ISO9660JolietFileTree_Remove(EmberlineHandle tree, char* text, int32_t size, uint32_t* status,
                                               const char* treePath);
/**
 * El Torito boot image.
 * @param loadSectors 512-byte sectors the BIOS loads (no emulation only; 6 is common practice here)
 * @param mediaType   0 no emulation, 1 1.2 MB, 2 1.44 MB, 3 2.88 MB floppy, 4 hard disk
 * @param bootable    1: boot indicator 88h, 0: not bootable (00h)
 * @param platform    platform ID: 0 x86, 1 PowerPC, 2 Mac, 0xEF EFI
 * A floppy emulation image must have exactly that floppy's size.
 */
uint8_t Emberline_ISO9660JolietFileTree_SetBootImage(EmberlineHandle tree, const char* path, uint8_t loadSectors,
                                                     uint8_t mediaType, uint8_t bootable, uint8_t platform, char* text,
                                                     int32_t size, uint32_t* status);
/**
 * Lays the image out to start at `startLba` (the next writable address, so
 * a session can follow earlier ones).
 * @param level  ISO 9660 interchange level 1, 2 or 3; any other value (callers pass 0 or 8) chooses:
 *               level 2 names, level 3 when a file of 4 GiB or more needs several extents
 * @param joliet 1 adds the Joliet tree
 * @param applicationId, preparerId  free text; stored in the Joliet descriptor as given and in the
 *        primary descriptor reduced to ISO 9660 a-characters
 */
uint8_t Emberline_ISO9660JolietFileTree_BuildImage(EmberlineHandle tree, char* text, int32_t size, uint32_t* status,
                                                   uint32_t startLba, uint32_t level, uint32_t joliet,
                                                   const char* volumeLabel, const char* applicationId,
                                                   const char* preparerId);
/** Rock Ridge records (POSIX names, modes, owners, links, times; folders of any depth). */
#define EMBERLINE_ROCK_RIDGE 0x01u
/** With Rock Ridge: owners and modes as the sources have them, instead of owner 0 and modes readable by all. */
#define EMBERLINE_ROCK_RIDGE_KEEP_OWNERS 0x02u
/** With Rock Ridge: a symbolic link adds what it points to, instead of the link. */
#define EMBERLINE_ROCK_RIDGE_FOLLOW_LINKS 0x04u

/**
 * Chooses Rock Ridge for the images the tree builds (`flags`: EMBERLINE_ROCK_RIDGE
 * and its options; 0 turns it off, as a new tree has it). Links and
 * attributes are read as folders and files are added, so whether Rock Ridge
 * is on and whether links are followed is fixed once the tree holds
 * anything; the owner option may change until BuildImage.
 */
uint8_t Emberline_ISO9660JolietFileTree_SetRockRidge(EmberlineHandle tree, char* text, int32_t size, uint32_t* status,
                                                     uint32_t flags);
/**
 * The creation time (seconds since 1970, UTC) that the images built from now
 * on record as the volume's, and wherever else they record when they were
 * made; 0, as a new tree has it, takes the time of each build. The same tree
 * and time build the same image again, as a read-back needs.
 */
uint8_t Emberline_ISO9660JolietFileTree_SetCreationTime(EmberlineHandle tree, char* text, int32_t size,
                                                        uint32_t* status, int64_t created);
/** Image size in bytes: returns the low 32 bits, stores the high 32 bits in *high. */
uint32_t Emberline_ISO9660JolietFileTree_GetSizeInBytes(EmberlineHandle tree, uint32_t* high);
/** Fills `buffer` with the next `count` bytes of the built image. */
uint8_t Emberline_ISO9660JolietFileTree_Read(EmberlineHandle tree, char* text, int32_t size, uint32_t* status,
                                             uint32_t count, uint8_t* buffer);
/** The next read starts at the image's first byte. */
uint8_t Emberline_ISO9660JolietFileTree_SeekToBegin(EmberlineHandle tree, char* text, int32_t size, uint32_t* status);

#ifdef __cplusplus
}
#endif
