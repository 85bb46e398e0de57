// The video action on the virtual writers, from the first stage to the
// eject, with the MPEG sources the fixtures script makes.

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <atomic>
#include <thread>
#include <vector>

#include "action_run.h"
#include "engine/video_file_action.h"
#include "engine/video_write_step.h"
#include "log/callback_eventer.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

namespace {

QString Fixture(const char* name) {
  return QStringLiteral(ONDRELLE_VIDEO_FIXTURES "/") + QString::fromLatin1(name);
}

QByteArray Md5(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QCryptographicHash hash(QCryptographicHash::Md5);
  hash.addData(&file);
  return hash.result();
}

struct VideoRun : ActionRun {
  void Run(std::uint8_t kind, const QString& source, bool test = false, const char* device = "CdRom16") {
    OpenVirtualWriter(burner, device);
    burner.TestMode = test;
    action.Options.VideoKind = kind;
    action.Options.IsDVD = kind == vkDVDVideo;
    (action.Options.IsDVD ? action.Options.SourceFolder : action.Options.SourceFile) = source;
    action.Options.VolumeLabel = QStringLiteral("Video");
    action.Options.PublisherName = QStringLiteral("Emberline");
    Execute(action);
  }

  TsbVideoFileAction action;
};

QString RunTool(const QString& program, const QStringList& arguments, const QString& folder) {
  QProcess process;
  process.setWorkingDirectory(folder);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  process.waitForFinished(60000);
  return QString::fromLocal8Bit(process.readAll());
}

}  // namespace

TEST(VideoFileAction, ATestBurnCallsTheLibraryOnceSkipsCloseEjectsAndLeavesTheDiscBlank) {
  VirtualWriters writers("cd-r");
  std::vector<bool> cancelEnabled;
  CallBackEventer().OnCancelEnabled = [&](TsbCallBackEventer&, bool e) { cancelEnabled.push_back(e); };
  VideoRun run;
  run.Run(vkVideoCD, Fixture("vcd-ntsc.mpg"), true);
  CallBackEventer().OnCancelEnabled = nullptr;
  ASSERT_TRUE(run.error.isEmpty()) << run.error.toStdString();
  EXPECT_EQ(run.Count("Burning started"), 1);
  EXPECT_EQ(run.Count("Closing session"), 0);
  EXPECT_EQ(run.Count("Eject disc"), 1);
  EXPECT_EQ(run.messages.back(), QStringLiteral("Burning completed"));
  EXPECT_TRUE(run.burner.BurnSucceeded);
  EXPECT_EQ(cancelEnabled, (std::vector<bool>{true, false})) << "Cancel is offered for the write only";
  EXPECT_TRUE(writers.Images("CdRom16-*.cue").isEmpty()) << "a test burn records nothing";
}

struct RealBurn {
  std::uint8_t kind;
  const char* source;
  const char* detected;
};

class VideoFileActionOf : public ::testing::TestWithParam<RealBurn> {};

TEST_P(VideoFileActionOf, ARealBurnIsReadBackByTheVideoCdReader) {
  const RealBurn& c = GetParam();
  VirtualWriters writers("cd-r");
  const QByteArray before = Md5(Fixture(c.source));
  VideoRun run;
  run.Run(c.kind, Fixture(c.source));
  ASSERT_TRUE(run.error.isEmpty()) << run.error.toStdString();
  EXPECT_EQ(run.messages.back(), QStringLiteral("Burning completed"));
  EXPECT_EQ(Md5(Fixture(c.source)), before) << "the source is only read";
  const QStringList cues = writers.Images("CdRom16-*.cue");
  ASSERT_EQ(cues.size(), 1);
  const QString info =
      RunTool(QStringLiteral("vcd-info"), {QStringLiteral("-B"), QStringLiteral("--cue-file=") + cues.front()},
              writers.Directory());
  EXPECT_TRUE(info.contains(QLatin1String(c.detected))) << info.toStdString();
  EXPECT_TRUE(info.contains(QLatin1String("Album VideoCD"))) << info.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, VideoFileActionOf,
                         ::testing::Values(RealBurn{vkVideoCD, "vcd-pal.mpg", "VCD 2.0 detected"},
                                           RealBurn{vkSuperVideoCD, "svcd-pal.mpg", "SVCD detected"}),
                         [](const auto& p) { return std::string(p.param.kind == vkVideoCD ? "vcd" : "svcd"); });

TEST(VideoFileAction, ACancelledBurnEndsWithTheCancelLineAndNoError) {
  VirtualWriters writers("cd-r,realtime=1,speeds=176");  // 1x: the burn takes seconds
  VideoRun run;
  // The user presses Cancel a moment into the write, from another thread.
  std::atomic<bool> writing{false};
  CallBackEventer().OnProgress = [&](TsbCallBackEventer&, int percent) {
    if (percent > 0) writing = true;
  };
  std::thread user([&] {
    while (!writing) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    run.burner.Cancel();
  });
  run.Run(vkSuperVideoCD, Fixture("svcd-pal.mpg"));
  writing = true;
  user.join();
  CallBackEventer().OnProgress = nullptr;
  EXPECT_TRUE(run.error.isEmpty()) << run.error.toStdString();
  EXPECT_TRUE(run.burner.Cancelled);
  EXPECT_TRUE(run.burner.LastMessage != QStringLiteral("Burning completed"));
  EXPECT_EQ(run.messages.back(), QStringLiteral("Burning cancelled"));
  EXPECT_EQ(run.Count("Burning completed"), 0);
  EXPECT_EQ(run.Count("Closing session"), 0) << "the library closed what the cut-short write opened";
}

TEST(VideoFileAction, AFailedLibraryCallIsTheRunsErrorAndNothingIsEjected) {
  VirtualWriters writers("dvd-r");
  {
    VideoRun run;
    run.Run(vkVideoCD, Fixture("vcd-pal.mpg"));
    EXPECT_TRUE(run.error.startsWith(QStringLiteral("Emberline_CdvdWriter_VideoCD() failed, exception ")))
        << run.error.toStdString();
    EXPECT_TRUE(run.error.contains(QLatin1String("the disc in the drive is a DVD"))) << run.error.toStdString();
    EXPECT_EQ(run.burner.LastMessage, run.error);
    EXPECT_FALSE(run.burner.BurnSucceeded);
    EXPECT_EQ(run.Count("Eject disc"), 0);
  }

  // A DVD-Video structure that cannot be made stops the kind before its burn.
  VideoRun dvd;
  dvd.Run(vkDVDVideo, QStringLiteral("/nonexistent/VIDEO_TS"));
  EXPECT_TRUE(dvd.error.startsWith(QStringLiteral("Emberline_DVDVideo_Create() failed, exception ")))
      << dvd.error.toStdString();
  EXPECT_TRUE(writers.Images("CdRom16-*").filter(QStringLiteral(".iso")).isEmpty());
}

TEST(VideoFileAction, AnUnknownKindIsAFailureNotABurnReportedAsDone) {
  VirtualWriters writers("cd-r");
  VideoRun run;
  run.Run(7, Fixture("vcd-pal.mpg"));
  EXPECT_EQ(run.error, UnknownVideoKindText(7));
  EXPECT_FALSE(run.burner.BurnSucceeded);
  EXPECT_EQ(run.Count("Burning completed"), 0);
  EXPECT_EQ(run.Count("Eject disc"), 0);
}
