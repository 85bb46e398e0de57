#include "cli/device_commands.h"

#include <QString>
#include <cstdio>
#include <optional>

#include "cli/command_line.h"
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

/// The command's options, or nothing with the refusal printed: an
/// unknown or doubled option is a mistyped command line, never ignored.
/// `missingValue` is said when a value option comes without its value.
std::optional<CommandLine> ParseOptions(const QStringList& arguments, const QStringList& valueOptions,
                                        const QStringList& flagOptions, const QString& missingValue) {
  QString error;
  auto line = CommandLine::Parse(arguments, valueOptions, {}, flagOptions, error);
  if (!line && error.endsWith(QLatin1String(" needs a value"))) error = missingValue;
  if (line && !line->RepeatedOption().isEmpty())
    error = QStringLiteral("%1 is given more than once").arg(line->RepeatedOption());
  if (!error.isEmpty()) {
    Fail(error);
    return std::nullopt;
  }
  return line;
}

QString Column(const QString& text, int width) {
  return text.leftJustified(width, QLatin1Char(' '), false);
}

}  // namespace

int RunDevicesCommand(const QStringList& arguments) {
  const auto line = ParseOptions(arguments, {QStringLiteral("--transport")}, {QStringLiteral("--all")},
                                 QStringLiteral("--transport needs a value: spti or aspi"));
  if (!line) return 2;
  TsbTransportType transport = TsbTransportType::ttSpti;
  if (line->Has(QStringLiteral("--transport"))) {
    const QString value = line->Value(QStringLiteral("--transport"));
    if (value == QLatin1String("spti"))
      transport = TsbTransportType::ttSpti;
    else if (value == QLatin1String("aspi"))
      transport = TsbTransportType::ttAspi;
    else {
      Fail(QStringLiteral("unknown transport \"%1\": use spti (by device name) or aspi (by SCSI address)").arg(value));
      return 2;
    }
  }
  const bool all = line->Has(QStringLiteral("--all"));

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
  const QString needsDevice =
      QStringLiteral("speeds needs --device NAME (\"CdRom0\" or \"host:channel:target:lun\", as devices prints it)");
  const auto line = ParseOptions(arguments, {QStringLiteral("--device")}, {}, needsDevice);
  if (!line) return 2;
  if (!line->Has(QStringLiteral("--device"))) {
    Fail(needsDevice);
    return 2;
  }
  const QString value = line->Value(QStringLiteral("--device"));
  const auto device = ParseDeviceArgument(value);
  if (!device) {
    Fail(QStringLiteral("\"%1\" is not a device name: use \"CdRom\" and a number, or \"host:channel:target:lun\"")
             .arg(value));
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
