#pragma once
// The scan's result: one item per CD/DVD device found, filled by the probe.

#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "devices/device_records.h"

namespace ondrelle {

struct TsbDeviceItem {
  QString Vendor;
  QString Product;
  QString ProductRevisionLevel;
  QString DiscLabel;
  std::uint32_t BufferSize = 0;
  TsbDeviceAddress Address{};
  QString DeviceName;  ///< "CdRom" N when opened by name; empty by address
  TsbTransportType TransportType = TsbTransportType::ttSpti;
  TsbMediaFormats MediaFormats;
  TsbMediaFormatsEx MediaFormatsEx;
  DISC_TYPE DiscType = DISC_TYPE_UNKNOWN;
  QString DriveLetter;  ///< where the system reaches the drive (a device node on Linux)
  std::array<std::uint8_t, EMBERLINE_DISC_INFORMATION_SIZE> DiscInformation{};  ///< byte 0 non-zero: read
  /// Why the disc information could not be read, in words, when the drive
  /// said it was not ready; empty otherwise.
  QString DiscNotReady;
  std::array<std::uint8_t, EMBERLINE_TRACK_INFORMATION_SIZE> TrackInformation{};
  std::array<std::uint8_t, EMBERLINE_TOC_INFORMATION_SIZE> TOCInformation{};
  TsbDiscSpace DiscSpace;
  TsbReadModes ReadModes;
  TsbWriteModes WriteModes;
  TsbDVDRPC DVDRPC;
  bool Audio = false;
};

class TsbDeviceList {
 public:
  TsbDeviceItem& Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }
  const TsbDeviceItem& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
  int Count() const { return static_cast<int>(items_.size()); }
  TsbDeviceItem& Add();
  void Clear() { items_.clear(); }
  void Delete(int index);

  QString LastError;  ///< text of the last failed device-object creation
  TsbTransportType TransportType = TsbTransportType::ttSpti;
  /// Scan cancel request: written by the UI thread, read by the scan thread.
  std::atomic<bool> Cancelled{false};

 private:
  std::vector<std::unique_ptr<TsbDeviceItem>> items_;
};

}  // namespace ondrelle
