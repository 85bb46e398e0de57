// The data write step's dispatch by burning mode, on the virtual writers.

#include "engine/disc_write_step.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <vector>

#include "action_run.h"
#include "emberline/cdvd_writer.h"
#include "engine/burner.h"
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
  OpenBurner() { OpenVirtualWriter(burner); }
  bool Write() {
    return WriteDataDisc(burner, [this](const QString& m, TsbLogItemType) { messages.push_back(m); });
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

TEST(DiscWriteStep, TrackAtOnceFromFilesStopsAtTheFailingTrack) {
  VirtualWriters writers(nullptr);
  QTemporaryDir dir;
  OpenBurner run;
  run.burner.BurnMode = bmTAOFromFile;
  run.burner.MultiSession = true;
  SetTracks(*run.burner.TrackList,
            {MakeImageFile(dir, QStringLiteral("one.iso"), 300), dir.filePath(QStringLiteral("missing.iso")),
             MakeImageFile(dir, QStringLiteral("three.iso"), 300)});
  EXPECT_FALSE(run.Write());

  EXPECT_TRUE(run.burner.LastMessage.startsWith(
      QStringLiteral("Emberline_CdvdWriter_TrackAtOnceFromFile() failed, exception ")))
      << run.burner.LastMessage.toStdString();
  EXPECT_TRUE(run.burner.LastMessage.contains(QStringLiteral("missing.iso")));
  EXPECT_FALSE(run.burner.BurnSucceeded);
  EXPECT_EQ(run.NextTrack(), 2u) << "only the first track was written";
  ASSERT_GE(run.messages.size(), 2u);
  EXPECT_EQ(run.messages[0], QStringLiteral("Burning mode: Track-At-Once (from file)"));
  EXPECT_EQ(run.messages[1], QStringLiteral("Burning started"));
}

TEST(DiscWriteStep, SessionAtOnceRefusesTooManyFilesBeforeWriting) {
  VirtualWriters writers(nullptr);
  OpenBurner run;
  run.burner.BurnMode = bmSAOFromFile;
  for (int i = 0; i < 102; ++i) run.burner.SourceFiles << QStringLiteral("/f%1.iso").arg(i);
  EXPECT_FALSE(run.Write());
  EXPECT_TRUE(run.burner.LastMessage.contains(QStringLiteral("at most 101"))) << run.burner.LastMessage.toStdString();
  EXPECT_FALSE(run.burner.BurnSucceeded);
  EXPECT_EQ(run.NextTrack(), 1u) << "nothing was written";
}

TEST(DiscWriteStep, AModeOutsideTheTableBurnsNothing) {
  VirtualWriters writers(nullptr);
  OpenBurner run;
  run.burner.BurnMode = 42;
  EXPECT_FALSE(run.Write());
  EXPECT_TRUE(run.burner.LastMessage.isEmpty());
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(BurnModeText(42), QString());
}
