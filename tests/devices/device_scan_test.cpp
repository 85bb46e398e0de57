// The scan and probe against the library's virtual writers.

#include <gtest/gtest.h>

#include "devices/device_finder.h"
#include "devices/device_probe.h"
#include "devices/disc_space_query.h"
#include "devices/disc_type_text.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

namespace {

std::vector<QString> Names(const TsbDeviceList& devices) {
  std::vector<QString> names;
  for (int i = 0; i < devices.Count(); ++i) names.push_back(devices.Items(i).DeviceName);
  return names;
}

}  // namespace

TEST(DeviceScan, ByNameFindsBothDefaultWritersAndOnlyThem) {
  VirtualWriters writers(nullptr);
  TsbDeviceFinder finder;
  finder.TransportType = TsbTransportType::ttSpti;
  finder.Scan(false);
  ASSERT_EQ(finder.Devices.Count(), 2);
  EXPECT_EQ(Names(finder.Devices), (std::vector<QString>{QStringLiteral("CdRom16"), QStringLiteral("CdRom17")}));
  const TsbDeviceItem& cd = finder.Devices.Items(0);
  EXPECT_EQ(cd.TransportType, TsbTransportType::ttSpti);
  EXPECT_FALSE(cd.Product.isEmpty());
  EXPECT_EQ(cd.DiscType, DISC_TYPE_CDR);
  EXPECT_TRUE(cd.MediaFormats.CDRWrite);
  EXPECT_TRUE(cd.WriteModes.TrackAtOnce);
  EXPECT_NE(cd.DiscInformation[0], 0);  // read
  EXPECT_EQ(finder.Devices.Items(1).DiscType, DISC_TYPE_DVDPLUSR);
  EXPECT_TRUE(finder.Devices.Items(1).DVDRPC.Present);
  EXPECT_FALSE(finder.Scanning());
}

TEST(DeviceScan, ByAddressFindsBothDefaultWritersWithTheirAddresses) {
  VirtualWriters writers(nullptr);
  TsbDeviceFinder finder;
  finder.TransportType = TsbTransportType::ttAspi;
  finder.Scan(false);
  int virtualWriters = 0;
  for (int i = 0; i < finder.Devices.Count(); ++i) {
    const TsbDeviceItem& item = finder.Devices.Items(i);
    if (item.Address.PortID != 255) continue;  // a real drive of this machine
    EXPECT_EQ(item.Address.Present, 1);
    EXPECT_EQ(item.Address.TargetID, virtualWriters);
    EXPECT_EQ(item.TransportType, TsbTransportType::ttAspi);
    EXPECT_TRUE(item.DeviceName.isEmpty());
    EXPECT_FALSE(item.Vendor.isEmpty());
    ++virtualWriters;
  }
  EXPECT_EQ(virtualWriters, 2);
}

TEST(DeviceScan, ADriveWithoutDiscIsEmptyWithZeroBlocksButStillReadsRpc) {
  VirtualWriters writers("none,drive=dvd");
  TsbDeviceList devices;
  devices.TransportType = TsbTransportType::ttSpti;
  ProbeDevice(devices, nullptr, "CdRom16");
  ASSERT_EQ(devices.Count(), 1);
  const TsbDeviceItem& item = devices.Items(0);
  EXPECT_EQ(item.DiscType, DISC_TYPE_NO_MEDIA);
  EXPECT_EQ(DiscTypeToStr(item.DiscType), QStringLiteral("Empty"));
  EXPECT_TRUE(item.DiscLabel.isEmpty());
  EXPECT_EQ(item.DiscInformation[0], 0);
  EXPECT_EQ(item.TrackInformation[0], 0);
  EXPECT_EQ(item.TOCInformation[0], 0);
  EXPECT_TRUE(item.DVDRPC.Present);
}

TEST(DeviceScan, ACdRWithAClosedSessionShowsItsUsedSizeAndLabel) {
  VirtualWriters writers("cd-r,sessions=1,label=HOLIDAY");
  TsbDeviceList devices;
  devices.TransportType = TsbTransportType::ttSpti;
  ProbeDevice(devices, nullptr, "CdRom16");
  ASSERT_EQ(devices.Count(), 1);
  const TsbDeviceItem& item = devices.Items(0);
  EXPECT_EQ(item.DiscLabel, QStringLiteral("HOLIDAY"));
  const TsbDiscSpace space = QueryDiscSpace(item);
  EXPECT_GT(space.UsedSize, 0);
  EXPECT_LT(space.FreeSize, space.TotalSize);
  EXPECT_TRUE(DiscSpaceText(space).endsWith(QStringLiteral(" MB")));

  const TsbDiscSpace blank = [] {
    TsbDiscSpace s;
    s.FreeSize = s.TotalSize = 737280000;
    return s;
  }();
  EXPECT_EQ(DiscSpaceText(blank), QStringLiteral("Blank"));
  // Sizes a reading drive would not give are no blank disc.
  EXPECT_EQ(DiscSpaceText(TsbDiscSpace{}), QString());
}

TEST(DeviceScan, DevicesThatCannotBeOpened) {
  VirtualWriters writers("none");
  TsbDeviceList byName;
  byName.TransportType = TsbTransportType::ttSpti;
  ProbeDevice(byName, nullptr, "CdRom20");
  EXPECT_EQ(byName.Count(), 0);  // no item for a name that does not open
  EXPECT_TRUE(byName.LastError.isEmpty());

  TsbDeviceList byAddress;
  byAddress.TransportType = TsbTransportType::ttAspi;
  const TsbDeviceAddress missing{1, 254, 0, 9, 0};
  ProbeDevice(byAddress, &missing, nullptr);
  ASSERT_EQ(byAddress.Count(), 1);  // the address stays, nothing else
  const TsbDeviceItem& item = byAddress.Items(0);
  EXPECT_EQ(item.Address.TargetID, 9);
  EXPECT_TRUE(item.Product.isEmpty());
  EXPECT_EQ(item.DiscType, DISC_TYPE_UNKNOWN);
}

TEST(DeviceScan, CancelBeforeTheProbesAddsNothingAndTheNextScanStartsAfresh) {
  VirtualWriters writers(nullptr);
  int pumps = 0;
  TsbDeviceFinder finder([&] { ++pumps; });
  finder.TransportType = TsbTransportType::ttSpti;
  finder.Devices.Cancelled = true;
  finder.Scan(false);  // a silent rescan is not left cancelled
  EXPECT_EQ(finder.Devices.Count(), 2);
  EXPECT_FALSE(finder.Devices.Cancelled);
}

TEST(DeviceScan, TheProgressWindowIsShownCancellableAndHiddenAgain) {
  VirtualWriters writers(nullptr);
  struct Window : TsbOperationProgress {
    explicit Window(std::vector<QString>& log) : log_(log) {}
    void SetCaption(const QString& c) override { log_.push_back(QStringLiteral("caption ") + c); }
    void SetInfo(const QString& i) override { log_.push_back(QStringLiteral("info ") + i); }
    void ShowCancel(bool v) override {
      log_.push_back(v ? QStringLiteral("cancel shown") : QStringLiteral("cancel hidden"));
    }
    void SetCancelHandler(std::function<void()> h) override {
      handler = std::move(h);
      log_.push_back(QStringLiteral("handler"));
    }
    void Show() override { log_.push_back(QStringLiteral("show")); }
    void Hide() override { log_.push_back(QStringLiteral("hide")); }
    std::function<void()> handler;
    std::vector<QString>& log_;
  };
  std::vector<QString> log;
  TsbDeviceFinder finder({}, [&] { return std::make_unique<Window>(log); });
  finder.TransportType = TsbTransportType::ttSpti;
  finder.InfoText = QStringLiteral("Looking for writers");
  finder.Scan(true);
  EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("caption Scanning devices"), QStringLiteral("cancel shown"),
                                       QStringLiteral("info Looking for writers"), QStringLiteral("show"),
                                       QStringLiteral("handler"), QStringLiteral("hide")}));
}

TEST(DeviceScan, CancellingMidProbeRemovesThatDevicesItemAndLaterProbesAddNone) {
  // Every command of these drives takes 40 ms, so a probe lasts well over a second.
  VirtualWriters writers("cd-r,latency=40;cd-r,latency=40");
  TsbDeviceFinder* running = nullptr;
  const auto started = std::chrono::steady_clock::now();
  TsbDeviceFinder finder([&] {
    if (std::chrono::steady_clock::now() - started > std::chrono::milliseconds(300)) running->CancelScan();
  });
  running = &finder;
  finder.TransportType = TsbTransportType::ttSpti;
  finder.Scan(false);
  EXPECT_EQ(finder.Devices.Count(), 0);
  EXPECT_TRUE(finder.Devices.Cancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3)) << "later probes returned at once";
}
