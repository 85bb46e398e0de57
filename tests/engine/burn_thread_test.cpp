// The data burn thread's dispatch, on the virtual writers.

#include "engine/burn_thread.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <vector>

#include "emberline/cdvd_writer.h"
#include "engine/burner.h"
#include "log/callback_eventer.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

namespace {

QString MakeImageFile(const QTemporaryDir& dir, const QString& name, int blocks) {
  const QString path = dir.filePath(name);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(blocks * 2048, 'x'));
  return path;
}

void SetTracks(TsbTrackList& list, const QStringList& names) {
  list.Bytes.fill(0);
  const std::int32_t count = static_cast<std::int32_t>(names.size());
  std::memcpy(list.Bytes.data(), &count, sizeof count);
  for (qsizetype k = 0; k < names.size(); ++k) {
    const QByteArray name = QFile::encodeName(names.at(k));
    std::memcpy(list.Bytes.data() + TsbTrackList::kNameOffset + TsbTrackList::kEntrySize * static_cast<std::size_t>(k),
                name.constData(), static_cast<std::size_t>(name.size()));
  }
}

struct OpenBurner {
  OpenBurner() {
    burner.TransportType = TsbTransportType::ttSpti;
    burner.DeviceName = QStringLiteral("CdRom16");
    burner.OpenDevice();
    burner.OnMessage = [this](const void*, const QString& m, TsbLogItemType) { messages.push_back(m); };
  }
  std::uint32_t NextTrack() {
    std::uint8_t info[EMBERLINE_TRACK_INFORMATION_SIZE] = {};
    char text[EMBERLINE_TEXT_SIZE] = {};
    std::uint32_t status = 0;
    EmberlineFailureInfo failure{};
    EXPECT_EQ(Emberline_CdvdWriter_GetTrackInformation(burner.Writer, text, sizeof text, &status, &failure, 255, info),
              0);
    return info[1];
  }
  TsbBurner burner;
  std::vector<QString> messages;
};

}  // namespace

TEST(BurnThread, TrackAtOnceFromFilesStopsAtTheFailingTrack) {
  VirtualWriters writers(nullptr);
  QTemporaryDir dir;
  OpenBurner run;
  run.burner.BurnMode = bmTAOFromFile;
  run.burner.MultiSession = true;
  SetTracks(*run.burner.TrackList,
            {MakeImageFile(dir, QStringLiteral("one.iso"), 300), dir.filePath(QStringLiteral("missing.iso")),
             MakeImageFile(dir, QStringLiteral("three.iso"), 300)});
  std::vector<bool> cancelEnabled;
  CallBackEventer().OnCancelEnabled = [&](TsbCallBackEventer&, bool e) { cancelEnabled.push_back(e); };
  run.burner.RunBurnThread();
  CallBackEventer().OnCancelEnabled = nullptr;

  EXPECT_TRUE(run.burner.LastMessage.startsWith(
      QStringLiteral("Emberline_CdvdWriter_TrackAtOnceFromFile() failed, exception ")))
      << run.burner.LastMessage.toStdString();
  EXPECT_TRUE(run.burner.LastMessage.contains(QStringLiteral("missing.iso")));
  EXPECT_FALSE(run.burner.BurnSucceeded);
  EXPECT_EQ(run.NextTrack(), 2u) << "only the first track was written";
  EXPECT_EQ(cancelEnabled, (std::vector<bool>{true, false}));
  ASSERT_GE(run.messages.size(), 2u);
  EXPECT_EQ(run.messages[0], QStringLiteral("Burning mode: Track-At-Once (from file)"));
  EXPECT_EQ(run.messages[1], QStringLiteral("Burning started"));
  EXPECT_EQ(run.burner.BurnThread, nullptr);
}

TEST(BurnThread, SessionAtOnceRefusesTooManyFilesBeforeWriting) {
  VirtualWriters writers(nullptr);
  OpenBurner run;
  run.burner.BurnMode = bmSAOFromFile;
  for (int i = 0; i < 102; ++i) run.burner.SourceFiles << QStringLiteral("/f%1.iso").arg(i);
  run.burner.RunBurnThread();
  EXPECT_TRUE(run.burner.LastMessage.contains(QStringLiteral("at most 101"))) << run.burner.LastMessage.toStdString();
  EXPECT_FALSE(run.burner.BurnSucceeded);
  EXPECT_EQ(run.NextTrack(), 1u) << "nothing was written";
}

TEST(BurnThread, AModeOutsideTheTableBurnsNothing) {
  VirtualWriters writers(nullptr);
  OpenBurner run;
  run.burner.BurnMode = 42;
  run.burner.RunBurnThread();
  EXPECT_TRUE(run.burner.LastMessage.isEmpty());
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(BurnModeText(42), QString());
}
