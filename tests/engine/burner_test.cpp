#include "engine/burner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/tsb_error.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

TEST(Burner, NewSessionHasTheDocumentedInitialValues) {
  TsbBurner burner;
  EXPECT_EQ(burner.TransportType, TsbTransportType::ttAspi);
  EXPECT_EQ(burner.ImageVolumeLabel, QStringLiteral("NEW"));
  EXPECT_EQ(burner.BurnMode, bmTAOFromTree);
  EXPECT_TRUE(burner.WriteModes.TrackAtOnce && burner.WriteModes.DiscAtOnceRawPW);
  EXPECT_FALSE(burner.WriteModes.TestWrite);
  EXPECT_EQ(burner.ImageCopy.FileHandle, -1);
  EXPECT_EQ(burner.TrackList->Bytes.size(), 79604u);
  EXPECT_EQ(burner.Writer, nullptr);
  EXPECT_FALSE(burner.Cancelled);
  EXPECT_FALSE(burner.BurnSucceeded);
}

TEST(Burner, LockAndReleaseWithoutADeviceDoNothing) {
  int shown = 0;
  TsbBurner burner([&](const QString&) { ++shown; });
  burner.ExceptionCode = 9;
  burner.Lock();
  EXPECT_EQ(burner.ExceptionCode, 0);
  burner.ExceptionCode = 9;
  burner.Release();
  EXPECT_EQ(burner.ExceptionCode, 0);
  EXPECT_EQ(shown, 0);
}

TEST(Burner, CancelInImageToFileModeOnlyMarksTheSession) {
  TsbBurner burner;
  burner.BurnMode = bmImageToFile;
  burner.Cancel();
  EXPECT_TRUE(burner.Cancelled);
}

TEST(Burner, OpeningADeviceThatDoesNotExistRaisesTheFilledInText) {
  VirtualWriters writers(nullptr);
  for (const char* name : {"CdRom15", ""}) {
    TsbBurner burner;
    burner.TransportType = TsbTransportType::ttSpti;
    burner.DeviceName = QString::fromLatin1(name);
    try {
      burner.OpenDevice();
      FAIL() << "opened " << name;
    } catch (const TsbError& error) {
      EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Emberline_CdvdWriter_Create() failed, exception ")));
      EXPECT_TRUE(error.Message().contains(QStringLiteral(", status "))) << error.Message().toStdString();
      EXPECT_FALSE(error.Message().endsWith(QStringLiteral("text \"\""))) << "the reason is missing";
      EXPECT_EQ(burner.LastMessage, error.Message());
    }
    EXPECT_EQ(burner.Writer, nullptr);
  }
}

TEST(Burner, OpenLockAndReleaseAVirtualWriterByNameAndByAddress) {
  VirtualWriters writers(nullptr);
  TsbBurner byName;
  byName.TransportType = TsbTransportType::ttSpti;
  byName.DeviceName = QStringLiteral("CdRom16");
  byName.OpenDevice();
  ASSERT_NE(byName.Writer, nullptr);
  byName.Lock();
  EXPECT_EQ(byName.ExceptionCode, 0);
  byName.Release();
  EXPECT_EQ(byName.ExceptionCode, 0);

  TsbBurner byAddress;
  byAddress.DeviceAddress = {1, 255, 0, 1, 0};
  byAddress.OpenDevice();
  EXPECT_NE(byAddress.Writer, nullptr);
  byAddress.OpenDevice();  // reopening replaces the object
  EXPECT_NE(byAddress.Writer, nullptr);
  byAddress.DestroyWriter();
  EXPECT_EQ(byAddress.Writer, nullptr);
}

TEST(Burner, ATrayLockFailureIsShownWithTheLiteralBackslashNAndNotRaised) {
  VirtualWriters writers(nullptr);
  std::vector<QString> shown;
  {
    TsbBurner burner([&](const QString& m) { shown.push_back(m); });
    // A handle the library does not know: every call on it fails.
    burner.Writer = reinterpret_cast<EmberlineHandle>(std::uintptr_t{0x5eed});
    EXPECT_NO_THROW(burner.Lock());
    EXPECT_NE(burner.ExceptionCode, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Emberline_CdvdWriter_Lock() failed, exception ")));
    EXPECT_TRUE(shown[0].endsWith(QStringLiteral("\\n")));
    EXPECT_EQ(burner.LastMessage, shown[0]);
  }
  // Destroying the session releases first; that failure is shown too, never raised.
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_TRUE(shown[1].startsWith(QStringLiteral("Emberline_CdvdWriter_Release() failed")));
}

TEST(Burner, AReleaseThatFailedIsNotTriedAgainWhenTheWriterGoes) {
  VirtualWriters writers(nullptr);
  std::vector<QString> shown;
  {
    TsbBurner burner([&](const QString& m) { shown.push_back(m); });
    // As an unplugged drive: every call on the handle fails.
    burner.Writer = reinterpret_cast<EmberlineHandle>(std::uintptr_t{0x5eed});
    burner.Lock();
    burner.Release();
    ASSERT_EQ(shown.size(), 2u);
  }
  EXPECT_EQ(shown.size(), 2u) << "the failed release was shown a second time";
}
