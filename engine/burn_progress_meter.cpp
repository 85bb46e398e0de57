#include "engine/burn_progress_meter.h"

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>

#include "strings/string_table.h"

namespace ondrelle {

namespace {

constexpr double kMegabyte = 1048576.0;
// Two reports closer than this give no speed worth showing.
constexpr auto kShortestMeasure = std::chrono::milliseconds(200);

QString Tr(const char* text) {
  return QCoreApplication::translate("TsbBurnProgressMeter", text);
}

double Seconds(TsbBurnProgressMeter::Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

QString Megabytes(std::uint64_t bytes) {
  return QLocale().toString(static_cast<double>(bytes) / kMegabyte, 'f', 1);
}

}  // namespace

void TsbBurnProgressMeter::Start(bool dvd, Clock::time_point now) {
  dvd_ = dvd;
  running_ = true;
  started_ = now;
  finished_ = now;
  total_ = 0;
  done_ = 0;
  window_.clear();
  phase_ = TsbBurnPhase::bpPreparing;
}

void TsbBurnProgressMeter::SetPhase(TsbBurnPhase phase, Clock::time_point /*now*/) {
  if (phase == phase_) return;
  phase_ = phase;
  if (phase == TsbBurnPhase::bpWriting || phase == TsbBurnPhase::bpVerifying) {
    total_ = 0;
    done_ = 0;
    window_.clear();
  }
}

void TsbBurnProgressMeter::Report(std::uint64_t total, std::uint64_t done, Clock::time_point now) {
  if (!running_ || total == 0) return;
  // The read-back has its own phase; any other bytes before it are the write's.
  if (phase_ == TsbBurnPhase::bpPreparing || phase_ == TsbBurnPhase::bpWritingLeadIn) {
    if (done == 0) {
      total_ = total;
      return;
    }
    SetPhase(TsbBurnPhase::bpWriting, now);
  }
  total_ = total;
  // A writer that counts what it sends in a larger block than it announced
  // must not show more written than there is.
  done = std::min(done, total);
  if (done < done_) return;
  done_ = done;
  window_.push_back({now, done});
  while (window_.size() > 2 && now - window_[1].at >= kSpeedWindow) window_.pop_front();
}

void TsbBurnProgressMeter::Finish(Clock::time_point now) {
  if (!running_) return;
  running_ = false;
  finished_ = now;
}

TsbBurnProgressMeter::Clock::duration TsbBurnProgressMeter::Elapsed(Clock::time_point now) const {
  if (phase_ == TsbBurnPhase::bpIdle) return Clock::duration::zero();
  const Clock::time_point end = running_ ? now : finished_;
  return end > started_ ? end - started_ : Clock::duration::zero();
}

std::optional<double> TsbBurnProgressMeter::BytesPerSecond() const {
  if (window_.size() < 2) return std::nullopt;
  const Sample& first = window_.front();
  const Sample& last = window_.back();
  if (last.at - first.at < kShortestMeasure) return std::nullopt;
  return static_cast<double>(last.done - first.done) / Seconds(last.at - first.at);
}

std::optional<double> TsbBurnProgressMeter::SpeedFactor() const {
  const auto speed = BytesPerSecond();
  if (!speed) return std::nullopt;
  return *speed / (dvd_ ? kDvdSingleSpeed : kCdSingleSpeed);
}

std::optional<TsbBurnProgressMeter::Clock::duration> TsbBurnProgressMeter::Remaining() const {
  const auto speed = BytesPerSecond();
  if (!speed || *speed <= 0.0) return std::nullopt;
  const double seconds = static_cast<double>(total_ - done_) / *speed;
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

QString TsbBurnProgressMeter::PhaseText() const {
  switch (phase_) {
    case TsbBurnPhase::bpIdle:
      return {};
    case TsbBurnPhase::bpPreparing:
      return Tr("Preparing");
    case TsbBurnPhase::bpWritingLeadIn:
      return Tr("Writing lead-in");
    case TsbBurnPhase::bpWriting:
      return Tr("Writing");
    case TsbBurnPhase::bpClosing:
      return Tr("Closing");
    case TsbBurnPhase::bpVerifying:
      return Tr("Verifying");
    case TsbBurnPhase::bpEjecting:
      return Tr("Ejecting");
  }
  return {};
}

QString TsbBurnProgressMeter::AmountText() const {
  if (total_ == 0) return {};
  return Tr("%1 MB of %2 MB").arg(Megabytes(done_), Megabytes(total_));
}

QString TsbBurnProgressMeter::TimesText(Clock::time_point now) const {
  if (phase_ == TsbBurnPhase::bpIdle) return {};
  const QString elapsed = DurationText(Elapsed(now));
  const auto remaining = running_ ? Remaining() : std::nullopt;
  if (!remaining) return Tr("Elapsed %1").arg(elapsed);
  // Rounded up: the last half second left still shows as one.
  return Tr("Elapsed %1, remaining %2").arg(elapsed, DurationText(std::chrono::ceil<std::chrono::seconds>(*remaining)));
}

QString TsbBurnProgressMeter::SpeedText() const {
  const auto speed = BytesPerSecond();
  const auto factor = SpeedFactor();
  if (!speed || !factor) return {};
  return Tr("%1x, %2 MB/s").arg(QLocale().toString(*factor, 'f', 1), QLocale().toString(*speed / kMegabyte, 'f', 2));
}

QString TsbBurnProgressMeter::OutcomeText(TsbRunEnding outcome) {
  switch (outcome) {
    case TsbRunEnding::boCompleted:
      return LoadStr(15148);
    case TsbRunEnding::boFailed:
      return Tr("Burning failed");
    case TsbRunEnding::boCancelled:
      return LoadStr(15173);
    case TsbRunEnding::boTestCompleted:
      return Tr("Test completed: nothing was written to the disc");
  }
  return {};
}

QString TsbBurnProgressMeter::DurationText(Clock::duration duration) {
  const auto seconds = std::chrono::floor<std::chrono::seconds>(std::max(duration, Clock::duration::zero())).count();
  const auto hours = seconds / 3600;
  const auto minutes = seconds / 60 % 60;
  const auto rest = seconds % 60;
  const QString mmss = QStringLiteral("%1:%2").arg(minutes).arg(rest, 2, 10, QLatin1Char('0'));
  if (hours == 0) return mmss;
  return QStringLiteral("%1:%2:%3").arg(hours).arg(minutes, 2, 10, QLatin1Char('0')).arg(rest, 2, 10, QLatin1Char('0'));
}

}  // namespace ondrelle
