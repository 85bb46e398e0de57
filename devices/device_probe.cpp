#include "devices/device_probe.h"

#include <cstring>

#include "devices/library_result.h"
#include "devices/readiness_text.h"
#include "emberline/cdvd_writer.h"
#include "log/diagnostic_logger.h"
#include "platform/device_node.h"

namespace ondrelle {

namespace {

QString AddressText(const TsbDeviceAddress& a) {
  return QStringLiteral("PortID:%1,BusID:%2,TargetID:%3,LUN:%4").arg(a.PortID).arg(a.BusID).arg(a.TargetID).arg(a.LUN);
}

QString TextUpToNul(const char* buffer, std::size_t size) {
  const void* end = std::memchr(buffer, 0, size);
  const auto length = end != nullptr ? static_cast<const char*>(end) - buffer : static_cast<std::ptrdiff_t>(size);
  return QString::fromLocal8Bit(buffer, static_cast<qsizetype>(length)).trimmed();
}

/// The error triple handed to every device call.
struct ErrorTriple {
  char text[EMBERLINE_TEXT_SIZE] = {};
  std::uint32_t status = 0;
  EmberlineFailureInfo failure{};
};

/// Closes the probe's device object on every way out, and removes the
/// probe's item when the scan was cancelled meanwhile.
class ProbeHandle {
 public:
  explicit ProbeHandle(TsbDeviceList& devices) : devices_(devices) {}
  ~ProbeHandle() {
    if (handle == nullptr) return;
    Logger().WriteLog(QStringLiteral("Destroy: Writer"));
    Emberline_Destroy(&handle);
    handle = nullptr;
    if (devices_.Cancelled && devices_.Count() > 0) devices_.Delete(devices_.Count() - 1);
  }
  ProbeHandle(const ProbeHandle&) = delete;
  ProbeHandle& operator=(const ProbeHandle&) = delete;

  EmberlineHandle handle = nullptr;

 private:
  TsbDeviceList& devices_;
};

void ReadDiscDetails(EmberlineHandle handle, TsbDeviceItem& item, ErrorTriple& e) {
  Logger().WriteLog(QStringLiteral("CdvdWriter_GetInsertedDiscType"));
  item.DiscType = Emberline_CdvdWriter_GetInsertedDiscType(handle);

  // The system's view of the label: the volume identifier of the disc's
  // ISO 9660 volume, read through the open device.
  char label[EMBERLINE_TEXT_SIZE] = {};
  if (Emberline_CdvdWriter_GetVolumeLabel(handle, e.text, EMBERLINE_TEXT_SIZE, &e.status, &e.failure, label,
                                          sizeof label) == 0)
    item.DiscLabel = TextUpToNul(label, sizeof label);

  Logger().WriteLog(QStringLiteral("CdvdWriter_GetDiscInformation"));
  std::array<std::uint8_t, EMBERLINE_DISC_INFORMATION_SIZE> disc{};
  if (Emberline_CdvdWriter_GetDiscInformation(handle, e.text, EMBERLINE_TEXT_SIZE, &e.status, &e.failure,
                                              disc.data()) != 0)
    return;
  item.DiscInformation = disc;

  Logger().WriteLog(QStringLiteral("CdvdWriter_GetTrackInformation"));
  std::array<std::uint8_t, EMBERLINE_TRACK_INFORMATION_SIZE> track{};
  Emberline_CdvdWriter_GetTrackInformation(handle, e.text, EMBERLINE_TEXT_SIZE, &e.status, &e.failure,
                                           EMBERLINE_TRACK_NUMBER_INVISIBLE, track.data());
  item.TrackInformation = track;

  Emberline_SetFastReadTOC(1);
  Logger().WriteLog(QStringLiteral("CdvdWriter_GetTOCInformation"));
  auto toc = std::make_unique<std::array<std::uint8_t, EMBERLINE_TOC_INFORMATION_SIZE>>();
  Emberline_CdvdWriter_GetTOCInformation(handle, e.text, EMBERLINE_TEXT_SIZE, &e.status, &e.failure, toc->data());
  item.TOCInformation = *toc;
}

}  // namespace

QString GetDriveLetter(const TsbDeviceAddress* address, const char* name) {
  if (name != nullptr) return platform::DeviceNodeForName(QString::fromLocal8Bit(name));
  if (address == nullptr) return {};
  Logger().WriteLog(QStringLiteral("GetDeviceNameByDeviceAddress"));
  char buffer[EMBERLINE_TEXT_SIZE] = {};
  if (Emberline_GetDeviceNameByDeviceAddress(address->PortID, address->BusID, address->TargetID, address->LUN,
                                             buffer) != 0)
    return {};
  // The library puts a four-character prefix before the path.
  return TextUpToNul(buffer, sizeof buffer).mid(4);
}

void ProbeDevice(TsbDeviceList& devices, const TsbDeviceAddress* address, const char* name) {
  if (devices.Cancelled) return;
  ErrorTriple e;
  ProbeHandle probe(devices);
  TsbDeviceItem* item = nullptr;

  if (devices.TransportType == TsbTransportType::ttAspi) {
    if (address == nullptr) return;
    if (address->Present != 0) {
      item = &devices.Add();
      item->Address = *address;
    }
    Logger().WriteLog(QStringLiteral("CdvdWriter_Create (before create)"));
    const std::uint8_t code =
        Emberline_CdvdWriter_Create(&probe.handle, e.text, EMBERLINE_TEXT_SIZE, &e.status, &e.failure, nullptr, nullptr,
                                    address->PortID, address->BusID, address->TargetID, address->LUN, 1);
    if (code != 0) {
      probe.handle = nullptr;
      devices.LastError = EmberlineFailureText("CdvdWriter_Create", code, e.status, e.text);
      Logger().WriteLog(devices.LastError);
    } else {
      Logger().WriteLog(QStringLiteral("CdvdWriter_Create (after create): ") + AddressText(*address));
      if (item == nullptr) item = &devices.Add();
      item->TransportType = TsbTransportType::ttAspi;
    }
  } else {
    if (name == nullptr) return;
    const std::uint8_t code = Emberline_CdvdWriter_CreateEx(&probe.handle, e.text, EMBERLINE_TEXT_SIZE, &e.status,
                                                            &e.failure, nullptr, nullptr, name, 1);
    if (code != 0) {
      probe.handle = nullptr;
      devices.LastError = EmberlineFailureText("CdvdWriter_CreateEx", code, e.status, e.text);
      Logger().WriteLog(devices.LastError);
    } else {
      item = &devices.Add();
      item->DeviceName = QString::fromLocal8Bit(name);
      item->TransportType = TsbTransportType::ttSpti;
    }
  }

  devices.LastError.clear();
  if (probe.handle == nullptr) return;
  const QString driveLetter = GetDriveLetter(address, name);

  Logger().WriteLog(QStringLiteral("CdvdWriter_GetDeviceInformation"));
  char vendor[EMBERLINE_TEXT_SIZE] = {}, product[EMBERLINE_TEXT_SIZE] = {}, revision[EMBERLINE_TEXT_SIZE] = {};
  std::uint32_t bufferSize = 0;
  Emberline_CdvdWriter_GetDeviceInformation(probe.handle, vendor, product, revision, &bufferSize);
  if (item == nullptr) item = &devices.Add();
  item->Vendor = TextUpToNul(vendor, sizeof vendor);
  item->Product = TextUpToNul(product, sizeof product);
  item->ProductRevisionLevel = TextUpToNul(revision, sizeof revision);
  item->BufferSize = bufferSize;
  item->DriveLetter = driveLetter;

  Logger().WriteLog(QStringLiteral("CdvdWriter_GetSupportedMediaFormats"));
  std::uint8_t f[10] = {};
  Emberline_CdvdWriter_GetSupportedMediaFormats(probe.handle, &f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], &f[7],
                                                &f[8], &f[9]);
  item->MediaFormats = TsbMediaFormats::FromLibraryOutputs(f);

  Logger().WriteLog(QStringLiteral("CdvdWriter_GetSupportedMediaFormatsExEx"));
  std::uint8_t x[6] = {};
  Emberline_CdvdWriter_GetSupportedMediaFormatsExEx(probe.handle, &x[0], &x[1], &x[2], &x[3], &x[4], &x[5]);
  item->MediaFormatsEx = {x[0] != 0, x[1] != 0, x[2] != 0, x[3] != 0, x[4] != 0, x[5] != 0};

  Logger().WriteLog(QStringLiteral("CdvdWriter_ProbeSupportedWriteModes"));
  std::uint8_t w[4] = {};
  if (Emberline_CdvdWriter_ProbeSupportedWriteModes(probe.handle, e.text, EMBERLINE_TEXT_SIZE, &e.status, &e.failure,
                                                    &w[0], &w[1], &w[2], &w[3]) == 0)
    item->WriteModes = {w[0] != 0, w[1] != 0, w[2] != 0, w[3] != 0, f[5] != 0};

  Logger().WriteLog(QStringLiteral("CdvdWriter_ProbeSupportedReadModes"));
  std::uint8_t r[6] = {};
  if (Emberline_CdvdWriter_ProbeSupportedReadModes(probe.handle, e.text, EMBERLINE_TEXT_SIZE, &e.status, &e.failure,
                                                   &r[0], &r[1], &r[2], &r[3], &r[4], &r[5]) == 0)
    item->ReadModes = {r[0] != 0, r[1] != 0, r[2] != 0, r[3] != 0, r[4] != 0, r[5] != 0};

  Logger().WriteLog(QStringLiteral("CdvdWriter_TestUnitReady"));
  const std::uint8_t ready =
      Emberline_CdvdWriter_TestUnitReady(probe.handle, e.text, EMBERLINE_TEXT_SIZE, &e.status, &e.failure);
  item->DiscType = DISC_TYPE_NO_MEDIA;
  if (ready == 0 && !devices.Cancelled) ReadDiscDetails(probe.handle, *item, e);
  // A missing disc keeps its own text; a drive that is not ready is told as such.
  if (ready != 0 && ReadinessOf(ready, e.status) == TsbReadiness::NotReady)
    item->DiscNotReady = NotReadyCause(ready, e.status);

  if (item->MediaFormats.DVDROMRead) {
    Logger().WriteLog(QStringLiteral("CdvdWriter_GetRPC"));
    std::uint8_t rpc[5] = {};
    Emberline_CdvdWriter_GetRPC(probe.handle, e.text, EMBERLINE_TEXT_SIZE, &e.status, &e.failure, &rpc[0], &rpc[1],
                                &rpc[2], &rpc[3], &rpc[4]);
    item->DVDRPC = {true,
                    QString::number(rpc[0]),
                    QString::number(rpc[1]),
                    QString::number(rpc[2]),
                    QString::number(rpc[3]),
                    QString::number(rpc[4])};
  }
}

}  // namespace ondrelle
