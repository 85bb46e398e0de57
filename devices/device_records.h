#pragma once
// The records a device item is made of: capability flags, disc space,
// regional playback state. They mirror what the library reports.

#include <QString>
#include <cstdint>

#include "emberline/cdvd_writer.h"

namespace ondrelle {

/// How a device is opened: by name (SCSI pass-through) or by SCSI address.
enum class TsbTransportType : std::uint8_t { ttSpti = 0, ttAspi = 1 };

/// Ten capability flags. The library reports them in the order CD-R read,
/// CD-RW read, DVD-ROM read, DVD-R read, DVD-RAM read, test write, CD-R
/// write, CD-RW write, DVD-R write, DVD-RAM write; the record keeps the test
/// write flag last.
struct TsbMediaFormats {
  bool CDRRead = false;
  bool CDRWRead = false;
  bool DVDROMRead = false;
  bool DVDRRead = false;
  bool DVDRAMRead = false;
  bool CDRWrite = false;  ///< the device can burn
  bool CDRWWrite = false;
  bool DVDRWrite = false;
  bool DVDRAMWrite = false;
  bool TestWrite = false;

  /// From the ten library outputs, in library order.
  static TsbMediaFormats FromLibraryOutputs(const std::uint8_t (&outputs)[10]);
};

struct TsbMediaFormatsEx {
  bool DVDPlusRRead = false;
  bool DVDPlusRWRead = false;
  bool DVDPlusRWrite = false;
  bool DVDPlusRWWrite = false;
  bool DVDPlusRDLRead = false;
  bool DVDPlusRDLWrite = false;
};

struct TsbReadModes {
  bool Mode2Form1 = false;
  bool Mode2Form2 = false;
  bool CDDARead = false;
  bool CDDAAccurate = false;
  bool SubchannelRW = false;
  bool C2Pointers = false;
};

struct TsbWriteModes {
  bool TrackAtOnce = true;
  bool SessionAtOnce = true;
  bool DiscAtOncePQ = true;
  bool DiscAtOnceRawPW = true;
  bool TestWrite = false;
};

struct TsbDiscSpace {
  std::int64_t FreeSize = 0;
  std::int64_t TotalSize = 0;
  std::int64_t UsedSize = 0;
  std::uint64_t FreeCount = 0;  ///< a 32-bit block count, zero-extended
};

/// Regional playback control state, the library's five values as decimal text.
struct TsbDVDRPC {
  bool Present = false;
  QString TypeCode;
  QString VendorResets;
  QString UserChanges;
  QString RegionMask;
  QString RPCScheme;
};

/// What the selection page hands out about a device.
struct TsbDeviceInfo {
  QString Vendor;
  QString Product;
  QString ProductRevisionLevel;
  std::uint64_t BufferSize = 0;
  TsbMediaFormats MediaFormats;
  TsbMediaFormatsEx MediaFormatsEx;
};

}  // namespace ondrelle
