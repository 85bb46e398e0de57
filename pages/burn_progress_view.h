#pragma once
// The band above the burning page's bar: the phase of the burn (and, once
// it is over, how it ended), the speed, the amount written of the total and
// the elapsed and remaining time. UI thread only.

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "engine/burn_progress_meter.h"

namespace ondrelle {

class TsbBurnProgressView : public QWidget {
  Q_OBJECT

 public:
  explicit TsbBurnProgressView(QWidget* parent = nullptr);

  /// A run begins: the clock starts and the phase is Preparing.
  void Start(bool dvd);
  void SetPhase(TsbBurnPhase phase);
  void Report(std::uint64_t total, std::uint64_t done);
  /// The run is over: the caption says how it ended, with `detail` (a
  /// second sentence, or none) in its tooltip.
  void Finish(TsbRunEnding outcome, const QString& detail = {});
  /// Clears every text.
  void Reset();

  const TsbBurnProgressMeter& Meter() const { return meter_; }

  QLabel* lblCaption;
  QLabel* lblSpeed;
  QLabel* lblAmount;
  QLabel* lblTimes;

 private:
  void Refresh();

  TsbBurnProgressMeter meter_;
  QTimer clock_;
};

}  // namespace ondrelle
