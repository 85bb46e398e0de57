#pragma once
/** @file Disc types as the library reports them (one byte). */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum DISC_TYPE {
  DISC_TYPE_UNKNOWN = 0,
  DISC_TYPE_CDROM = 1,
  DISC_TYPE_CDR = 2,
  DISC_TYPE_CDRW = 3,
  DISC_TYPE_DVDROM = 4,
  DISC_TYPE_DVDR = 5,
  DISC_TYPE_DVDRAM = 6,
  DISC_TYPE_DVDRWRO = 7,
  DISC_TYPE_DVDRWSR = 8,
  DISC_TYPE_DVDPLUSRW = 9,
  DISC_TYPE_DDCDROM = 10,
  DISC_TYPE_DDCDR = 11,
  DISC_TYPE_DDCDRW = 12,
  DISC_TYPE_DVDPLUSR = 13,
  DISC_TYPE_NO_MEDIA = 14,
  DISC_TYPE_DVDPLUSR_DL = 15,
  DISC_TYPE_DVDR_DL = 16,
  DISC_TYPE_BDR = 17,
  DISC_TYPE_BDRE = 18,
  DISC_TYPE_HDDVDROM = 19,
  DISC_TYPE_HDDVDR = 20,
  DISC_TYPE_HDDVDRW = 21
} DISC_TYPE;

#ifdef __cplusplus
}
#endif
