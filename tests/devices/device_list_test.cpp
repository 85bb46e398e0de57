#include "devices/device_list.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ondrelle;

TEST(DeviceItem, NewItemHasTheDocumentedInitialValues) {
  TsbDeviceList list;
  const TsbDeviceItem& item = list.Add();
  EXPECT_EQ(item.DiscType, DISC_TYPE_UNKNOWN);
  EXPECT_TRUE(item.Vendor.isEmpty() && item.Product.isEmpty() && item.ProductRevisionLevel.isEmpty());
  EXPECT_TRUE(item.DiscLabel.isEmpty() && item.DeviceName.isEmpty() && item.DriveLetter.isEmpty());
  EXPECT_EQ(item.BufferSize, 0u);
  EXPECT_EQ(item.Address.Present, 0);
  EXPECT_TRUE(item.WriteModes.TrackAtOnce && item.WriteModes.SessionAtOnce && item.WriteModes.DiscAtOncePQ &&
              item.WriteModes.DiscAtOnceRawPW);
  EXPECT_FALSE(item.WriteModes.TestWrite);
  EXPECT_FALSE(item.MediaFormats.CDRWrite || item.MediaFormats.TestWrite || item.MediaFormatsEx.DVDPlusRWrite);
  EXPECT_FALSE(item.ReadModes.Mode2Form1);
  auto zero = [](const auto& block) { return std::all_of(block.begin(), block.end(), [](auto b) { return b == 0; }); };
  EXPECT_TRUE(zero(item.DiscInformation) && zero(item.TrackInformation) && zero(item.TOCInformation));
  EXPECT_EQ(item.TOCInformation.size(), 13838u);
  EXPECT_FALSE(item.DVDRPC.Present);
  EXPECT_TRUE(item.DVDRPC.TypeCode.isEmpty() && item.DVDRPC.RPCScheme.isEmpty());
  EXPECT_EQ(item.DiscSpace.TotalSize, 0);
  EXPECT_FALSE(item.Audio);
}

TEST(DeviceList, AddAppendsAndClearKeepsTheScanSettings) {
  TsbDeviceList list;
  EXPECT_TRUE(list.LastError.isEmpty());
  EXPECT_FALSE(list.Cancelled);
  TsbDeviceItem& first = list.Add();
  EXPECT_EQ(&list.Items(0), &first);
  list.Add().Product = QStringLiteral("second");
  EXPECT_EQ(list.Count(), 2);

  list.TransportType = TsbTransportType::ttAspi;
  list.Cancelled = true;
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.TransportType, TsbTransportType::ttAspi);
  EXPECT_TRUE(list.Cancelled);
}

TEST(DeviceList, DeleteRemovesOneItemAndRefusesABadIndex) {
  TsbDeviceList list;
  list.Add().Product = QStringLiteral("a");
  list.Add().Product = QStringLiteral("b");
  list.Delete(1);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0).Product, QStringLiteral("a"));
  EXPECT_THROW(list.Delete(1), std::out_of_range);
  EXPECT_THROW(list.Delete(-1), std::out_of_range);
}

TEST(MediaFormats, TheLibrarysSixthOutputGoesLast) {
  // Only the test-write output (library position 6) set.
  const std::uint8_t testWriteOnly[10] = {0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
  TsbMediaFormats formats = TsbMediaFormats::FromLibraryOutputs(testWriteOnly);
  EXPECT_TRUE(formats.TestWrite);
  EXPECT_FALSE(formats.CDRWrite);

  // Library output 7 (CD-R write) is what tells the page the device can burn.
  const std::uint8_t cdrWriteOnly[10] = {0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  formats = TsbMediaFormats::FromLibraryOutputs(cdrWriteOnly);
  EXPECT_TRUE(formats.CDRWrite);
  EXPECT_FALSE(formats.TestWrite);

  const std::uint8_t readFlags[10] = {1, 0, 1, 0, 1, 0, 0, 0, 0, 1};
  formats = TsbMediaFormats::FromLibraryOutputs(readFlags);
  EXPECT_TRUE(formats.CDRRead && formats.DVDROMRead && formats.DVDRAMRead && formats.DVDRAMWrite);
  EXPECT_FALSE(formats.CDRWRead || formats.DVDRRead || formats.CDRWWrite || formats.DVDRWrite);
}
