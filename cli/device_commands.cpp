#include "cli/device_commands.h"

#include <QString>
#include <cstdio>

#include "cli/device_argument.h"
#include "devices/device_finder.h"
#include "devices/disc_space_query.h"
#include "devices/disc_speed_list.h"
#include "devices/disc_type_text.h"
#include "engine/burner.h"
#include "engine/tsb_error.h"
#include "log/diagnostic_logger.h"

namespace ondrelle::cli {

namespace {

void Fail(const QString& message) {
  std::fprintf(stderr, "ondrelle-cli: %s\n", qPrintable(message));
}

/// The value after `option`, or nothing; `missing` is set when the option
/// is there without a value.
std::optional<QString> OptionValue(const QStringList& arguments, const QString& option, bool& missing) {
  const qsizetype at = arguments.indexOf(option);
  if (at < 0) return std::nullopt;
  if (at + 1 >= arguments.size()) {
    missing = true;
    return std::nullopt;
  }
  return arguments.at(at + 1);
}

QString Column(const QString& text, int width) {
  return text.leftJustified(width, QLatin1Char(' '), false);
}

}  // namespace

int RunDevicesCommand(const QStringList& arguments) {
  bool missing = false;
  TsbTransportType transport = TsbTransportType::ttSpti;
  if (const auto value = OptionValue(arguments, QStringLiteral("--transport"), missing)) {
    if (*value == QLatin1String("spti"))
      transport = TsbTransportType::ttSpti;
    else if (*value == QLatin1String("aspi"))
      transport = TsbTransportType::ttAspi;
    else {
      Fail(QStringLiteral("unknown transport \"%1\": use spti (by device name) or aspi (by SCSI address)").arg(*value));
      return 2;
    }
  }
  if (missing) {
    Fail(QStringLiteral("--transport needs a value: spti or aspi"));
    return 2;
  }
  const bool all = arguments.contains(QStringLiteral("--all"));

  TsbDeviceFinder finder;
  finder.TransportType = transport;
  finder.Scan(false);

  int rows = 0;
  for (int i = 0; i < finder.Devices.Count(); ++i) {
    const TsbDeviceItem& item = finder.Devices.Items(i);
    if (!all && !item.MediaFormats.CDRWrite) continue;
    QString size, label;
    if (item.DiscType != DISC_TYPE_NO_MEDIA) {
      size = DiscSpaceText(QueryDiscSpace(item));
      label = item.DiscLabel;
    }
    const QString row = Column(DeviceArgumentText(item), 12) + Column(item.Product, 18) + Column(item.Vendor, 10) +
                        Column(item.ProductRevisionLevel, 6) + Column(DiscTypeToStr(item.DiscType), 34) +
                        Column(size, 12) + label;
    std::printf("%s\n", qPrintable(row.trimmed()));
    ++rows;
  }
  if (rows == 0) std::fprintf(stderr, "No CD/DVD writer found.\n");
  return 0;
}

int RunSpeedsCommand(const QStringList& arguments) {
  bool missing = false;
  const auto value = OptionValue(arguments, QStringLiteral("--device"), missing);
  if (!value) {
    Fail(
        QStringLiteral("speeds needs --device NAME (\"CdRom0\" or \"host:channel:target:lun\", as devices prints it)"));
    return 2;
  }
  const auto device = ParseDeviceArgument(*value);
  if (!device) {
    Fail(QStringLiteral("\"%1\" is not a device name: use \"CdRom\" and a number, or \"host:channel:target:lun\"")
             .arg(*value));
    return 2;
  }

  TsbBurner burner;
  SetDevice(burner, *device);
  try {
    burner.OpenDevice();
    burner.Lock();
    burner.DiscType = Emberline_CdvdWriter_GetInsertedDiscType(burner.Writer);
    TsbDiscSpeedList speeds;
    speeds.Build(burner);
    burner.Release();
    if (speeds.Count() == 0) std::printf("%s\n", qPrintable(NoWriteSpeedsText()));
    for (int i = 0; i < speeds.Count(); ++i) std::printf("%s\n", qPrintable(speeds.Items(i).StrSpeed));
  } catch (const TsbError& error) {
    std::fprintf(stderr, "%s\n", qPrintable(error.Message()));
    return 1;
  }
  return 0;
}

}  // namespace ondrelle::cli
