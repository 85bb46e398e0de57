#include "engine/burn_progress_meter.h"

#include <gtest/gtest.h>

using namespace ondrelle;
using namespace std::chrono_literals;

namespace {

using Clock = TsbBurnProgressMeter::Clock;

constexpr std::uint64_t kMiB = 1048576;

/// A meter on a clock the test moves by hand.
struct MeterOnClock {
  explicit MeterOnClock(bool dvd = false) { meter.Start(dvd, now); }
  void After(Clock::duration step, std::uint64_t total, std::uint64_t done) {
    now += step;
    meter.Report(total, done, now);
  }
  Clock::time_point now = Clock::time_point(1h);
  TsbBurnProgressMeter meter;
};

}  // namespace

TEST(BurnProgressMeter, PhasesRunFromPreparingThroughTheLeadInToWriting) {
  MeterOnClock m;
  EXPECT_EQ(m.meter.Phase(), TsbBurnPhase::bpPreparing);
  EXPECT_EQ(m.meter.PhaseText(), QStringLiteral("Preparing"));
  m.meter.SetPhase(TsbBurnPhase::bpWritingLeadIn, m.now);
  // The writer announces its total before the first block: still the lead-in.
  m.After(1s, 100 * kMiB, 0);
  EXPECT_EQ(m.meter.Phase(), TsbBurnPhase::bpWritingLeadIn);
  EXPECT_EQ(m.meter.PhaseText(), QStringLiteral("Writing lead-in"));
  EXPECT_EQ(m.meter.AmountText(), QStringLiteral("0.0 MB of 100.0 MB"));
  m.After(1s, 100 * kMiB, kMiB);
  EXPECT_EQ(m.meter.Phase(), TsbBurnPhase::bpWriting);
  EXPECT_EQ(m.meter.AmountText(), QStringLiteral("1.0 MB of 100.0 MB"));

  // The read-back counts its own bytes from nought.
  m.meter.SetPhase(TsbBurnPhase::bpVerifying, m.now);
  EXPECT_EQ(m.meter.PhaseText(), QStringLiteral("Verifying"));
  EXPECT_EQ(m.meter.AmountText(), QString());
  EXPECT_EQ(m.meter.SpeedText(), QString());
  m.After(1s, 50 * kMiB, 5 * kMiB);
  EXPECT_EQ(m.meter.Phase(), TsbBurnPhase::bpVerifying);
  EXPECT_EQ(m.meter.AmountText(), QStringLiteral("5.0 MB of 50.0 MB"));
  m.meter.SetPhase(TsbBurnPhase::bpClosing, m.now);
  EXPECT_EQ(m.meter.PhaseText(), QStringLiteral("Closing"));
  EXPECT_EQ(m.meter.AmountText(), QStringLiteral("5.0 MB of 50.0 MB"));  // what was done stays shown
}

TEST(BurnProgressMeter, SpeedIsMeasuredOverTheLastSecondsInMultiplesOfTheMediumsSingleSpeed) {
  MeterOnClock cd;
  const std::uint64_t total = 4 * 153600 * 60;  // a minute at 4x
  cd.After(1s, total, 0);
  EXPECT_FALSE(cd.meter.BytesPerSecond());
  cd.After(100ms, total, 153600);
  // One report a moment after the first is no measure yet.
  EXPECT_FALSE(cd.meter.BytesPerSecond());
  EXPECT_EQ(cd.meter.SpeedText(), QString());
  std::uint64_t done = 153600;
  for (int i = 0; i < 20; ++i) cd.After(250ms, total, done += 153600);  // 4x for five seconds
  ASSERT_TRUE(cd.meter.SpeedFactor());
  EXPECT_NEAR(*cd.meter.SpeedFactor(), 4.0, 1e-9);
  EXPECT_EQ(cd.meter.SpeedText(), QStringLiteral("4.0x, 0.59 MB/s"));

  // A slower stretch shows within the window, not averaged over the whole run.
  for (int i = 0; i < 16; ++i) cd.After(250ms, total, done += 38400);  // 1x for four seconds
  EXPECT_NEAR(*cd.meter.SpeedFactor(), 1.0, 0.05);

  MeterOnClock dvd(true);
  dvd.After(1s, 4'700'000'000ull, 1);
  dvd.After(1s, 4'700'000'000ull, 1 + 8 * 1385000);
  EXPECT_NEAR(*dvd.meter.SpeedFactor(), 8.0, 1e-9);
  EXPECT_EQ(dvd.meter.SpeedText(), QStringLiteral("8.0x, 10.57 MB/s"));
}

TEST(BurnProgressMeter, RemainingTimeFollowsTheCurrentSpeedAndElapsedStopsAtTheEnd) {
  MeterOnClock m;
  const std::uint64_t total = 100 * 153600;
  m.After(10s, total, 153600);
  EXPECT_EQ(m.meter.TimesText(m.now), QStringLiteral("Elapsed 0:10"));  // no speed: no guess
  m.After(1s, total, 2 * 153600);
  m.After(1s, total, 3 * 153600);
  ASSERT_TRUE(m.meter.Remaining());
  EXPECT_EQ(std::chrono::round<std::chrono::seconds>(*m.meter.Remaining()), 97s);
  EXPECT_EQ(m.meter.TimesText(m.now), QStringLiteral("Elapsed 0:12, remaining 1:37"));
  // Elapsed time moves on while the writer is silent.
  EXPECT_EQ(m.meter.TimesText(m.now + 50s), QStringLiteral("Elapsed 1:02, remaining 1:37"));

  m.meter.Finish(m.now + 3s);
  EXPECT_FALSE(m.meter.Running());
  EXPECT_EQ(m.meter.TimesText(m.now + 1h), QStringLiteral("Elapsed 0:15"));
  // Reports after the end change nothing.
  m.After(1s, total, total);
  EXPECT_EQ(m.meter.Done(), 3 * 153600u);
}

TEST(BurnProgressMeter, CountsNeverRunBackwardsOrPastTheTotal) {
  MeterOnClock m;
  m.After(1s, 1000, 600);
  m.After(1s, 1000, 400);  // late or reordered
  EXPECT_EQ(m.meter.Done(), 600u);
  m.After(1s, 1000, 1200);  // counted in a larger block than announced
  EXPECT_EQ(m.meter.Done(), 1000u);
  ASSERT_TRUE(m.meter.Remaining());
  EXPECT_EQ(*m.meter.Remaining(), Clock::duration::zero());
  m.After(1s, 0, 10);  // a report without a total says nothing
  EXPECT_EQ(m.meter.Total(), 1000u);
}

TEST(BurnProgressMeter, TextsOfDurationsAndOutcomes) {
  EXPECT_EQ(TsbBurnProgressMeter::DurationText(0s), QStringLiteral("0:00"));
  EXPECT_EQ(TsbBurnProgressMeter::DurationText(59999ms), QStringLiteral("0:59"));
  EXPECT_EQ(TsbBurnProgressMeter::DurationText(201s), QStringLiteral("3:21"));
  EXPECT_EQ(TsbBurnProgressMeter::DurationText(3725s), QStringLiteral("1:02:05"));
  EXPECT_EQ(TsbBurnProgressMeter::DurationText(-5s), QStringLiteral("0:00"));

  EXPECT_EQ(TsbBurnProgressMeter::OutcomeText(TsbRunEnding::boCompleted), QStringLiteral("Burning completed"));
  EXPECT_EQ(TsbBurnProgressMeter::OutcomeText(TsbRunEnding::boFailed), QStringLiteral("Burning failed"));
  EXPECT_EQ(TsbBurnProgressMeter::OutcomeText(TsbRunEnding::boCancelled), QStringLiteral("Burning cancelled"));
  EXPECT_EQ(TsbBurnProgressMeter::OutcomeText(TsbRunEnding::boTestCompleted),
            QStringLiteral("Test completed: nothing was written to the disc"));

  // A meter never started shows nothing at all.
  TsbBurnProgressMeter idle;
  EXPECT_EQ(idle.PhaseText(), QString());
  EXPECT_EQ(idle.TimesText(Clock::now()), QString());
  EXPECT_EQ(idle.AmountText(), QString());
}
