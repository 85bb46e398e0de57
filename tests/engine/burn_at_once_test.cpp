// The burn-at-once action from the first stage to the eject.

#include <gtest/gtest.h>

#include <QDir>
#include <vector>

#include "action_run.h"
#include "engine/burn_at_once_action.h"
#include "support/file_tree_builder.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

namespace {

struct AtOnceRun : ActionRun {
  AtOnceRun(std::uint8_t mode, bool test) {
    files.AddFile(QStringLiteral("holiday.mpg"), 700000);
    OpenVirtualWriter(burner);
    burner.BurnMode = mode;
    burner.TestMode = test;
    burner.FileTree = files.Tree();
    Execute(action);
    burner.FileTree = nullptr;
  }
  bool Saw(const char* text) const { return Count(text) > 0; }

  FileTreeBuilder files;
  TsbBurnAtOnceToCDDVDAction action;
};

}  // namespace

TEST(BurnAtOnce, TrackAtOnceBuildsBurnsClosesAndEjects) {
  VirtualWriters writers(nullptr);
  AtOnceRun run(bmTAOFromTree, false);
  ASSERT_TRUE(run.error.isEmpty()) << run.error.toStdString();
  EXPECT_TRUE(run.Saw("Building ISO image"));
  EXPECT_TRUE(run.Saw("Burning mode: Track-At-Once (from tree)"));
  EXPECT_TRUE(run.Saw("Closing session"));
  EXPECT_TRUE(run.Saw("Eject disc"));
  EXPECT_EQ(run.messages.back(), QStringLiteral("Burning completed"));
  EXPECT_EQ(writers.Images("CdRom16-*.cue").size(), 1);
}

TEST(BurnAtOnce, ATestBurnDoesNotCloseTheSessionAndOtherModesOnlyEject) {
  VirtualWriters writers(nullptr);
  {
    AtOnceRun test(bmTAOFromTree, true);
    ASSERT_TRUE(test.error.isEmpty()) << test.error.toStdString();
    EXPECT_FALSE(test.Saw("Closing session"));
    EXPECT_TRUE(test.Saw("Eject disc"));
  }
  AtOnceRun sao(bmSAOFromTree, false);
  ASSERT_TRUE(sao.error.isEmpty()) << sao.error.toStdString();
  EXPECT_FALSE(sao.Saw("Closing session"));
  EXPECT_TRUE(sao.Saw("Burning completed"));
}

TEST(BurnAtOnce, AFailedBurnIsRaisedBeforeCloseAndEject) {
  VirtualWriters writers("cd-r,fault=write-error@40");
  AtOnceRun run(bmTAOFromTree, false);
  EXPECT_TRUE(run.error.startsWith(QStringLiteral("Emberline_CdvdWriter_TrackAtOnceFromTree() failed, exception ")))
      << run.error.toStdString();
  EXPECT_FALSE(run.Saw("Eject disc"));
  EXPECT_FALSE(run.burner.BurnSucceeded);
}
