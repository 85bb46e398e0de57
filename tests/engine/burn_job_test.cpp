// The burn job on the virtual writers: its steps in order, a cancel in each
// step, a failed step ending it, and an image and a burn of the same source
// carrying the same bytes.

#include "engine/burn_job.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <optional>
#include <vector>

#include "action_run.h"
#include "engine/action_list.h"
#include "engine/burn_at_once_action.h"
#include "engine/burn_to_file_action.h"
#include "engine/burner.h"
#include "engine/source_tree.h"
#include "engine/video_file_action.h"
#include "support/file_tree_builder.h"
#include "support/virtual_writers.h"

using namespace ondrelle;
using Step = TsbBurnStep;

namespace {

/// One action run as a job on CdRom16, with what the job said.
struct JobRun {
  explicit JobRun(TsbAction& action, const QString& fileName = {}) {
    list.Options.FileName = fileName;
    list.Add().Action = &action;
  }
  void OpenWriter() { OpenVirtualWriter(burner); }
  /// Runs the job to its end; `cancelAt` cancels as the job enters that step.
  void Run(std::optional<Step> cancelAt = std::nullopt) {
    TsbBurnJob job(list, burner);
    // Direct: the test has no event loop, and the job is waited for below.
    QObject::connect(&job, &TsbBurnJob::StepChanged, [&](Step step) {
      steps.push_back(step);
      if (cancelAt == step) job.Cancel();
    });
    QObject::connect(&job, &TsbBurnJob::Message,
                     [&](const QString& text, TsbLogItemType) { messages.push_back(text); });
    QObject::connect(&job, &TsbBurnJob::Finished, [&](TsbBurnOutcome o, const QString&) {
      ++finished;
      outcome = o;
    });
    job.Start();
    job.Wait();
    EXPECT_FALSE(job.Running());
    failure = job.Failure();
  }
  bool Said(const char* text) const {
    return std::find(messages.begin(), messages.end(), QString::fromLatin1(text)) != messages.end();
  }

  TsbBurner burner;
  TsbActionList list;
  std::vector<Step> steps;
  std::vector<QString> messages;
  int finished = 0;
  TsbBurnOutcome outcome = TsbBurnOutcome::Failed;
  QString failure;
};

/// A data burn of one file on CdRom16 as a job: the file's tree, the action
/// and the run, made in this order and torn down in the reverse.
struct DataBurn {
  DataBurn() : run(burn) {
    files.AddFile(QStringLiteral("holiday.mpg"), 300000);
    run.OpenWriter();
    run.burner.FileTree = files.Tree();
  }
  /// Runs the job to its end (see JobRun::Run); the tree stays the builder's.
  JobRun& Run(std::optional<Step> cancelAt = std::nullopt) {
    run.Run(cancelAt);
    run.burner.FileTree = nullptr;
    return run;
  }

  FileTreeBuilder files;
  TsbBurnAtOnceToCDDVDAction burn;
  JobRun run;
};

QStringList Recorded(const VirtualWriters& writers) {
  return QDir(writers.Directory()).entryList({QStringLiteral("CdRom16-*.cue"), QStringLiteral("CdRom16-*.iso")});
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Fixes the moment discs and images are dated with for the life of the object.
struct FixedDate {
  FixedDate() { ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1); }
  ~FixedDate() { ::unsetenv("SOURCE_DATE_EPOCH"); }
};

}  // namespace

TEST(BurnJob, ADataBurnGoesThroughItsStepsInOrderAndClosesOnlyWhatTheRecordingLeftOpen) {
  VirtualWriters writers("cd-r");
  {
    DataBurn data;
    data.run.burner.VerifyAfterBurn = true;
    const JobRun& run = data.Run();
    EXPECT_EQ(run.outcome, TsbBurnOutcome::Succeeded) << run.failure.toStdString();
    EXPECT_EQ(run.finished, 1);
    EXPECT_EQ(run.steps, (std::vector<Step>{Step::Checking, Step::Preparing, Step::Writing, Step::Verifying,
                                            Step::Closing, Step::Ejecting}));
    EXPECT_EQ(run.messages.back(), QStringLiteral("Burning completed"));
  }
  // Session at once: the drive closes the session with the recording.
  DataBurn data;
  data.run.burner.BurnMode = bmSAOFromTree;
  const JobRun& run = data.Run();
  EXPECT_EQ(run.outcome, TsbBurnOutcome::Succeeded) << run.failure.toStdString();
  EXPECT_EQ(run.steps, (std::vector<Step>{Step::Checking, Step::Preparing, Step::Writing, Step::Ejecting}));
  EXPECT_FALSE(run.Said("Closing session"));
}

TEST(BurnJob, ACancelInEachStepEndsTheJobCancelledAndNeverCompleted) {
  struct Case {
    Step at;
    bool written;  ///< the disc has been recorded when the cancel comes
  };
  for (const Case c : {Case{Step::Checking, false}, Case{Step::Preparing, false}, Case{Step::Writing, false},
                       Case{Step::Verifying, true}, Case{Step::Closing, true}}) {
    SCOPED_TRACE(static_cast<int>(c.at));
    QTemporaryDir scratch;
    const QString trace = scratch.filePath(QStringLiteral("commands"));
    VirtualWriters writers(("cd-r,trace=" + trace.toLocal8Bit()).constData());
    DataBurn data;
    data.run.burner.VerifyAfterBurn = true;
    const JobRun& run = data.Run(c.at);
    EXPECT_EQ(run.outcome, TsbBurnOutcome::Cancelled) << run.failure.toStdString();
    EXPECT_TRUE(run.failure.isEmpty()) << run.failure.toStdString();
    EXPECT_FALSE(run.Said("Burning completed"));
    EXPECT_TRUE(run.Said("Burning cancelled"));
    EXPECT_EQ(run.steps.back() == Step::Ejecting, c.at != Step::Checking && c.at != Step::Preparing)
        << "a run cancelled before the write leaves the disc in the drive, as it was";
    // A disc written before the cancel is closed all the same, once, and ejected.
    EXPECT_EQ(Recorded(writers).size(), c.written ? 1 : 0);
    EXPECT_EQ(std::count(run.steps.begin(), run.steps.end(), Step::Closing), c.written ? 1 : 0);
    // The close itself is never cut short: the drive took it.
    const QByteArray commands = Contents(trace);
    EXPECT_EQ(commands.contains("5b010200000000000000 good"), c.written) << commands.right(600).toStdString();
    EXPECT_FALSE(commands.contains("5b010200000000000000 check"));
  }
}

TEST(BurnJob, AFailedStepEndsTheJobFailedWithItsTextAndNoCompletion) {
  {
    // The drive refuses a block: no close by the program, no eject.
    VirtualWriters writers("cd-r,fault=write-error@40");
    DataBurn data;
    const JobRun& run = data.Run();
    EXPECT_EQ(run.outcome, TsbBurnOutcome::Failed);
    EXPECT_TRUE(run.failure.startsWith(QStringLiteral("Emberline_CdvdWriter_TrackAtOnceFromTree() failed")))
        << run.failure.toStdString();
    EXPECT_EQ(run.steps.back(), Step::Writing);
    EXPECT_FALSE(run.Said("Burning completed"));
  }
  {
    // A disc that does not read back is closed and ejected, and the job fails.
    VirtualWriters writers("cd-r,fault=corrupt@30");
    DataBurn data;
    data.run.burner.VerifyAfterBurn = true;
    const JobRun& run = data.Run();
    EXPECT_EQ(run.outcome, TsbBurnOutcome::Failed);
    EXPECT_TRUE(run.failure.startsWith(QStringLiteral("Emberline_CdvdWriter_Verify() failed")))
        << run.failure.toStdString();
    EXPECT_EQ(run.steps.back(), Step::Ejecting);
    EXPECT_FALSE(run.Said("Burning completed"));
  }
  // A drive without a disc stops the job in its first step.
  VirtualWriters writers("none,drive=cd");
  TsbVideoFileAction video;
  video.Options.VideoKind = vkVideoCD;
  JobRun run(video);
  run.OpenWriter();
  run.Run();
  EXPECT_EQ(run.outcome, TsbBurnOutcome::Failed);
  EXPECT_FALSE(run.failure.isEmpty());
  EXPECT_EQ(run.steps, std::vector<Step>{Step::Checking});
  EXPECT_EQ(run.finished, 1);
}

namespace {

/// A tree of the folder's contents, as the command line builds one; the caller destroys it.
EmberlineHandle TreeOf(const QString& folder) {
  std::int32_t nodes = 0;
  QString error;
  SourceTreeOptions options;
  options.rockRidge = true;
  EmberlineHandle tree = BuildSourceTree({folder}, nodes, error, options);
  EXPECT_NE(tree, nullptr) << error.toStdString();
  return tree;
}

/// The first `size` bytes of user data a virtual writer recorded: an ISO
/// file as it is, a CD's BIN file less each sector's header and error codes.
QByteArray RecordedData(const VirtualWriters& writers, qsizetype size) {
  const QDir folder(writers.Directory());
  const QStringList isos = folder.entryList({QStringLiteral("CdRom16-*.iso")});
  if (!isos.isEmpty()) return Contents(folder.filePath(isos.front())).left(size);
  const QStringList bins = folder.entryList({QStringLiteral("CdRom16-*.bin")});
  if (bins.size() != 1) return {};
  const QByteArray raw = Contents(folder.filePath(bins.front()));
  QByteArray user;
  for (qsizetype at = 0; at + 2352 <= raw.size() && user.size() < size; at += 2352) user += raw.mid(at + 16, 2048);
  return user;
}

/// Writes `action`'s image into a file as a job; the image's bytes.
QByteArray ImageOf(TsbBurnToFileAction& action, EmberlineHandle tree) {
  QTemporaryDir output;
  const QString image = output.filePath(QStringLiteral("disc.iso"));
  JobRun run(action, image);
  run.burner.BurnMode = bmImageToFile;
  run.burner.FileTree = tree;
  run.Run();
  run.burner.FileTree = nullptr;
  EXPECT_EQ(run.outcome, TsbBurnOutcome::Succeeded) << run.failure.toStdString();
  EXPECT_EQ(run.steps, (std::vector<Step>{Step::Preparing, Step::Writing}));
  return Contents(image);
}

}  // namespace

TEST(BurnJob, AnImageAndABurnOfTheSameDataFolderCarryTheSameBytes) {
  const FixedDate date;
  QTemporaryDir source;
  QDir(source.path()).mkdir(QStringLiteral("photos"));
  for (const auto& [name, size] : {std::pair{"photos/beach.jpg", 300000}, std::pair{"notes.txt", 7000}}) {
    QFile file(source.filePath(QLatin1String(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(size, name[0]));
  }
  QByteArray imaged;
  {
    VirtualWriters none("none");  // an image needs the library, not a writer
    EmberlineHandle tree = TreeOf(source.path());
    TsbBurnToFileAction toFile;
    imaged = ImageOf(toFile, tree);
    Emberline_Destroy(&tree);
  }
  ASSERT_GT(imaged.size(), 300000);

  for (const char* media : {"cd-r", "dvd+r"}) {
    SCOPED_TRACE(media);
    VirtualWriters writers(media);
    TsbBurnAtOnceToCDDVDAction burn;
    JobRun run(burn);
    run.OpenWriter();
    run.burner.FileTree = TreeOf(source.path());
    run.Run();
    run.burner.DestroyFileTree();
    ASSERT_EQ(run.outcome, TsbBurnOutcome::Succeeded) << run.failure.toStdString();
    EXPECT_TRUE(RecordedData(writers, imaged.size()) == imaged) << "the disc differs from the image";
  }
}

TEST(BurnJob, AnImageAndABurnOfTheSameDvdVideoFolderCarryTheSameBytes) {
  const QString folder = QStringLiteral(ONDRELLE_DVD_FIXTURES_DIR "/one-title");
  if (!QFileInfo::exists(folder)) GTEST_SKIP() << "no DVD-Video fixtures in this build";
  const FixedDate date;
  TsbVideoBurnOptions options;
  options.IsDVD = true;
  options.VideoKind = vkDVDVideo;
  options.SourceFolder = folder;
  options.VolumeLabel = QStringLiteral("Video");
  options.PublisherName = QStringLiteral("Emberline");
  TsbBurnToFileAction toFile;
  toFile.Video = options;
  QByteArray imaged;
  {
    VirtualWriters none("none");
    imaged = ImageOf(toFile, nullptr);
  }
  ASSERT_GT(imaged.size(), 0);

  VirtualWriters writers("dvd+r");
  TsbVideoFileAction burn;
  burn.Options = options;
  JobRun run(burn);
  run.OpenWriter();
  run.Run();
  ASSERT_EQ(run.outcome, TsbBurnOutcome::Succeeded) << run.failure.toStdString();
  EXPECT_TRUE(RecordedData(writers, imaged.size()) == imaged) << "the disc differs from the image";
}
