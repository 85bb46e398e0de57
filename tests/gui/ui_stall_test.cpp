// The UI thread stays responsive while a worker burns or scans: a timer on
// the UI thread measures the longest gap between its ticks, which must stay
// under 50 ms on the optimised build. Sanitizers slow every instruction of
// ours several times over, so there the bound is wider; a UI thread that
// waits for the work still misses it by seconds.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "burn_run.h"
#include "devices/device_finder.h"
#include "engine/burn_at_once_action.h"
#include "engine/burner.h"
#include "log/operation_log.h"
#include "modal_answerer.h"
#include "pages/final_action_form.h"
#include "pages/operation_progress_form.h"
#include "support/file_tree_builder.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr qint64 kLongestAllowedStall = 250;
#else
constexpr qint64 kLongestAllowedStall = 50;
#endif

/// The longest time the UI thread went without serving its timer while
/// `work` ran, and how long the work took.
struct Stall {
  qint64 longest = 0;
  qint64 total = 0;
};

Stall MeasureStall(const std::function<void()>& work) {
  QElapsedTimer clock;
  Stall stall;
  qint64 last = 0;
  QTimer tick;
  tick.setInterval(2);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    stall.longest = std::max(stall.longest, now - last);
    last = now;
  });
  tick.start();
  clock.start();
  work();
  stall.longest = std::max(stall.longest, clock.elapsed() - last);
  stall.total = clock.elapsed();
  return stall;
}

/// A loaded machine can stall any program now and then; a handler that
/// blocks stalls every attempt. The best of three attempts is judged.
Stall BestOfThree(const std::function<Stall()>& attempt) {
  Stall best = attempt();
  for (int i = 1; i < 3 && best.longest > kLongestAllowedStall; ++i) {
    const Stall next = attempt();
    if (next.longest < best.longest) best = next;
  }
  return best;
}

}  // namespace

TEST(UiStall, AVirtualBurnNeverBlocksTheUiThreadForLong) {
  const Stall stall = BestOfThree([] {
    VirtualWriters writers("cd-r,realtime=1,speeds=1411");
    FileTreeBuilder files;
    files.AddFile(QStringLiteral("holiday.mpg"), 1500000);
    TsbBurner burner;
    burner.TransportType = TsbTransportType::ttSpti;
    burner.DeviceName = QStringLiteral("CdRom16");
    burner.OpenDevice();
    burner.FileTree = files.Tree();
    TsbLog log;
    TsbActionList actions;
    TsbBurnAtOnceToCDDVDAction burn;
    actions.Add().Action = &burn;
    TfrmFinalAction page;
    page.Log = &log;
    page.Actions = &actions;
    page.resize(484, 218);
    page.show();
    page.SetBurner(&burner);
    ModalAnswerer boxes;
    const Stall measured = MeasureStall([&page] { EXPECT_TRUE(RunToEnd(page)); });
    burner.FileTree = nullptr;
    EXPECT_TRUE(burner.BurnSucceeded) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    return measured;
  });
  EXPECT_GT(stall.total, 200) << "the burn should last long enough to measure";
  EXPECT_LE(stall.longest, kLongestAllowedStall) << "over " << stall.total << " ms";
  std::printf("burn: longest UI stall %lld ms over %lld ms\n", static_cast<long long>(stall.longest),
              static_cast<long long>(stall.total));
}

TEST(UiStall, ADeviceScanWithItsWaitWindowNeverBlocksTheUiThreadForLong) {
  const Stall stall = BestOfThree([] {
    VirtualWriters writers("cd-r,latency=15;dvd+r,latency=15");
    TsbDeviceFinder finder([] { QCoreApplication::processEvents(); }, TfrmOperationProgress::Factory());
    finder.TransportType = TsbTransportType::ttSpti;
    finder.InfoText = QStringLiteral("Ondrelle is scanning your system for CD and DVD devices.");
    const Stall measured = MeasureStall([&finder] { finder.Scan(true); });
    EXPECT_EQ(finder.Devices.Count(), 2);
    return measured;
  });
  EXPECT_LE(stall.longest, kLongestAllowedStall) << "over " << stall.total << " ms";
  std::printf("scan: longest UI stall %lld ms over %lld ms\n", static_cast<long long>(stall.longest),
              static_cast<long long>(stall.total));
}
