// The wait window of a device scan: its Cancel, its clock.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>

#include "pages/operation_progress_form.h"

using namespace ondrelle;

TEST(WaitWindow, CancelWithoutAHandlerDoesNothingAndWithOneReportsOnce) {
  TfrmOperationProgress window;
  window.show();
  window.btnCancel->click();
  EXPECT_TRUE(window.lblCancelling->isHidden());
  EXPECT_TRUE(window.btnCancel->isEnabled());

  int cancels = 0;
  window.SetCancelHandler([&cancels] { ++cancels; });
  window.btnCancel->click();
  window.btnCancel->click();  // disabled by the first click
  EXPECT_EQ(cancels, 1);
  EXPECT_FALSE(window.lblCancelling->isHidden());
  EXPECT_FALSE(window.btnCancel->isEnabled());
}

TEST(WaitWindow, TheClockLoopsItsFiveFramesOnlyWhileShown) {
  TfrmOperationProgress window;
  EXPECT_TRUE(window.lblInfo->text().isEmpty());
  EXPECT_EQ(window.Animate->FrameCount(), 5);
  EXPECT_FALSE(window.IsActive());
  window.ShowCancel(false);
  EXPECT_TRUE(window.btnCancel->isHidden());

  window.Show();
  EXPECT_TRUE(window.IsActive());
  EXPECT_TRUE(window.Animate->Active());
  QElapsedTimer clock;
  clock.start();
  bool wrapped = false;
  int last = window.Animate->CurrentFrame();
  while (clock.elapsed() < 2000 && !wrapped) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    const int frame = window.Animate->CurrentFrame();
    wrapped = frame < last;
    last = frame;
  }
  EXPECT_TRUE(wrapped) << "the clock should loop back to its first frame";
  window.Hide();
  EXPECT_FALSE(window.IsActive());
  EXPECT_FALSE(window.Animate->Active());
}
