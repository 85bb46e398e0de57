// The preparation stages against the virtual writers.

#include "engine/staged_action.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "action_run.h"
#include "engine/burner.h"
#include "engine/run_cancelled.h"
#include "engine/tsb_error.h"
#include "support/file_tree_builder.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

namespace {

struct StageRun {
  explicit StageRun(const char* device = "CdRom16") {
    OpenVirtualWriter(burner, device);
    list.Burner = &burner;
    item = &list.Add();
    item->Action = &action;
    action.OnMessage = [this](const void*, const QString& m, TsbLogItemType k) {
      messages.push_back(m);
      kinds.push_back(k);
    };
  }
  ~StageRun() { burner.FileTree = nullptr; }
  QString Execute() {
    try {
      action.Execute(item);
    } catch (const TsbError& e) {
      return e.Message();
    }
    return {};
  }
  bool Saw(const QString& text) const { return std::find(messages.begin(), messages.end(), text) != messages.end(); }

  TsbBurner burner;
  TsbActionList list;
  TsbActionItem* item;
  TsbStagedAction action;
  std::vector<QString> messages;
  std::vector<TsbLogItemType> kinds;
};

}  // namespace

TEST(StagedAction, TheDefaultStagesAnnounceAndReportInOrder) {
  VirtualWriters writers("cd-r,speeds=706/1400");
  StageRun run;
  run.burner.SpeedInSize = 1400;
  ASSERT_EQ(run.Execute(), QString());
  ASSERT_GE(run.messages.size(), 14u);
  const std::vector<QString> expected = {
      QStringLiteral("160 MBs of cache will be used during burn process"),
      QStringLiteral("Testing unit ready"),
      QStringLiteral("Track-At-Once: Yes, Session-At-Once: Yes, Disc-At-Once PQ: Yes, Disc-At-Once raw P-W: Yes"),
      QStringLiteral("Getting BUP (Buffer Underrun Protection) support"),
  };
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(run.messages[i], expected[i]) << i;
  EXPECT_TRUE(run.messages[4].startsWith(QStringLiteral("BUP (Buffer Underrun Protection) Enabled: ")));
  EXPECT_EQ(run.messages[5], QStringLiteral("Enabling BUP (Buffer Underrun Protection)"));
  EXPECT_EQ(run.messages[6], QStringLiteral("Setting CD/DVD speeds"));
  EXPECT_EQ(run.messages[7], QStringLiteral("Getting current CD/DVD speeds"));
  EXPECT_TRUE(run.messages[8].startsWith(QStringLiteral("Current read speed ")));
  EXPECT_TRUE(run.messages[9].startsWith(QStringLiteral("Current write speed 1400 KBps (1400 maximum)")));
  EXPECT_EQ(run.messages[10], QStringLiteral("Getting track information"));
  EXPECT_TRUE(run.messages[11].startsWith(QStringLiteral("Track Blank: Yes, NWA valid: Yes, free LBs ")));
  EXPECT_TRUE(run.messages[11].contains(QStringLiteral("track \u2116 1")));
  EXPECT_EQ(run.messages[12], QStringLiteral("Getting disc information"));
  EXPECT_EQ(run.messages[13],
            QStringLiteral("Disc erasable: No, Disc status: 0x00, Last session status: 0x00, Disc type: 0"));
  EXPECT_EQ(run.messages.size(), 14u) << "no calibration without the option";
  EXPECT_EQ(run.burner.LastMessage, run.messages.back());
}

// The unit-ready and disc stages say why the writer cannot burn in words;
// the library's line goes to the diagnostic log.
TEST(StagedAction, ADriveThatCannotBurnStopsWithTheCauseInWords) {
  struct Case {
    const char* writers;
    const char* said;
    const char* lastAnnouncement;
  };
  for (const Case& c :
       {Case{"none,drive=cd", "There is no disc in the drive", "Testing unit ready"},
        Case{"cd-r,fault=not-ready", "The drive is not ready", "Testing unit ready"},
        Case{"cd-r,sessions=1", "The disc in the drive is closed", "Disc erasable: No, Disc status: 0x02"}}) {
    VirtualWriters writers(c.writers);
    StageRun run;
    run.burner.DiscType = DISC_TYPE_CDR;
    const QString error = run.Execute();
    EXPECT_TRUE(error.startsWith(QLatin1String(c.said))) << c.writers << ": " << error.toStdString();
    EXPECT_EQ(run.burner.LastMessage, error);
    EXPECT_TRUE(run.messages.back().startsWith(QLatin1String(c.lastAnnouncement))) << c.writers;
  }
}

// A cancel from another thread (a signal, the wizard's Cancel) cuts short
// the stage waiting on a slow drive; no later stage runs.
TEST(StagedAction, ACancelDuringAStageEndsTheRunAtOnce) {
  VirtualWriters writers("cd-r,latency=1000");
  StageRun run;
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    run.burner.Cancel();
  });
  const auto started = std::chrono::steady_clock::now();
  bool cancelled = false;
  try {
    run.action.Execute(run.item);
  } catch (const TsbRunCancelled& e) {
    cancelled = e.Message() == QStringLiteral("Burning cancelled");
  }
  const auto took = std::chrono::steady_clock::now() - started;
  canceller.join();
  EXPECT_TRUE(cancelled);
  EXPECT_LT(took, std::chrono::milliseconds(1300));
  EXPECT_FALSE(run.Saw(QStringLiteral("Getting BUP (Buffer Underrun Protection) support")));
  // What follows a cancel, releasing the tray, is not held up by the slow drive.
  const auto releasing = std::chrono::steady_clock::now();
  run.burner.Release();
  EXPECT_EQ(run.burner.ExceptionCode, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - releasing, std::chrono::milliseconds(500));
}

TEST(StagedAction, WithoutTheBupQueryBupIsNeverEnabledAndQuietRunsSayNothing) {
  VirtualWriters writers(nullptr);
  StageRun run;
  run.action.Stages = (1u << bsSetBUP) | (1u << bsCacheInfo);
  run.list.Verbose = false;
  ASSERT_EQ(run.Execute(), QString());
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(run.burner.LastMessage, QStringLiteral("160 MBs of cache will be used during burn process"));
}

TEST(StagedAction, OptionalStagesRunOnlyWhenAskedFor) {
  VirtualWriters writers(nullptr);
  StageRun run;
  run.burner.SendOPC = true;
  ASSERT_EQ(run.Execute(), QString());
  EXPECT_TRUE(run.Saw(QStringLiteral("Sending OPC (Optimum Power Calibration)")));
  EXPECT_FALSE(run.Saw(QStringLiteral("Building ISO image"))) << "not in the default set";
}

TEST(StagedAction, BuildingTheImageReportsItsSizeEvenWhenQuiet) {
  VirtualWriters writers(nullptr);
  StageRun run;
  FileTreeBuilder files;
  files.AddFile(QStringLiteral("big.bin"), 3 * 1024 * 1024);
  run.burner.FileTree = files.Tree();
  run.action.Stages = TsbStagedAction::kAllStages;
  run.list.Verbose = false;
  ASSERT_EQ(run.Execute(), QString());
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0], QStringLiteral("Need to save 3 MB"));
}

TEST(StagedAction, AFailedBootImageStopsTheRunWithTheLiteralBackslashN) {
  VirtualWriters writers(nullptr);
  StageRun run;
  FileTreeBuilder files;
  files.AddFile(QStringLiteral("a.txt"), 10);
  run.burner.FileTree = files.Tree();
  run.burner.BootImageEnabled = true;
  run.burner.BootImageFile = QStringLiteral("/no/such/boot.img");
  run.action.Stages = 1u << bsBuildImage;
  const QString error = run.Execute();
  EXPECT_TRUE(error.startsWith(QStringLiteral("Emberline_ISO9660JolietFileTree_SetBootImage() failed, exception ")));
  EXPECT_TRUE(error.endsWith(QStringLiteral("\\n")));
}
