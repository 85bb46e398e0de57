#pragma once
// What the burning page shows beside its percentage: the phase of the burn,
// the amount written of the total, elapsed and remaining time and the
// current speed. The meter is fed the byte counts the writer reports and the
// phase changes, each with the moment it happened, so it can be driven by a
// clock of the caller's choosing (a test's as well as the steady clock).

#include <QString>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

namespace ondrelle {

/// The steps a burn goes through, in order. Verifying only where the
/// read-back runs.
enum class TsbBurnPhase : std::uint8_t {
  bpIdle,
  bpPreparing,
  bpWritingLeadIn,
  bpWriting,
  bpClosing,
  bpVerifying,
  bpEjecting,
};

/// How a run ended, as the burning page's caption tells it.
enum class TsbRunEnding : std::uint8_t {
  boCompleted,
  boFailed,
  boCancelled,
  boTestCompleted,  ///< a simulation: the laser stayed off, nothing is on the disc
};

class TsbBurnProgressMeter {
 public:
  using Clock = std::chrono::steady_clock;

  /// Bytes per second of single speed: CD 150 KiB/s, DVD 1,385,000 B/s.
  static constexpr double kCdSingleSpeed = 153600.0;
  static constexpr double kDvdSingleSpeed = 1385000.0;
  /// The speed is measured over the reports of this last stretch of time.
  static constexpr Clock::duration kSpeedWindow = std::chrono::seconds(3);

  /// Starts a run: the clock starts at `now`, the phase is Preparing.
  void Start(bool dvd, Clock::time_point now);
  /// Moves to `phase`. Writing and verifying each count their bytes from
  /// nought, so entering either clears the amount and the speed.
  void SetPhase(TsbBurnPhase phase, Clock::time_point now);
  /// A report of `done` bytes of `total`. The first bytes written end the
  /// lead-in. Counts never run backwards within a phase and never past the total.
  void Report(std::uint64_t total, std::uint64_t done, Clock::time_point now);
  /// Stops the clock; the texts then show the run as it ended.
  void Finish(Clock::time_point now);

  TsbBurnPhase Phase() const { return phase_; }
  bool Running() const { return running_; }
  std::uint64_t Total() const { return total_; }
  std::uint64_t Done() const { return done_; }
  Clock::duration Elapsed(Clock::time_point now) const;
  /// Bytes per second over the last kSpeedWindow; none before two reports
  /// a measurable time apart.
  std::optional<double> BytesPerSecond() const;
  /// The speed in multiples of the medium's single speed.
  std::optional<double> SpeedFactor() const;
  /// At the current speed; none while the speed is unknown.
  std::optional<Clock::duration> Remaining() const;

  /// "Preparing", "Writing lead-in", "Writing", "Closing", "Verifying", "Ejecting".
  QString PhaseText() const;
  /// "120.5 MB of 612.0 MB" (MB of 1,048,576 bytes); empty before any report.
  QString AmountText() const;
  /// "Elapsed 0:42, remaining 3:10"; "remaining" is left out while unknown.
  QString TimesText(Clock::time_point now) const;
  /// "4.0x, 0.60 MB/s"; empty while unknown.
  QString SpeedText() const;

  /// The caption at the end of a run.
  static QString OutcomeText(TsbRunEnding outcome);
  /// "0:42", "3:10", "1:02:05".
  static QString DurationText(Clock::duration duration);

 private:
  struct Sample {
    Clock::time_point at;
    std::uint64_t done;
  };

  bool dvd_ = false;
  bool running_ = false;
  TsbBurnPhase phase_ = TsbBurnPhase::bpIdle;
  Clock::time_point started_{};
  Clock::time_point finished_{};
  std::uint64_t total_ = 0;
  std::uint64_t done_ = 0;
  std::deque<Sample> window_;
};

}  // namespace ondrelle
