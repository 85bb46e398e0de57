#include "pages/burn_progress_view.h"

#include <QGridLayout>

namespace ondrelle {

namespace {

// The elapsed time moves on even while the writer is silent (a lead-in, a long close).
constexpr int kClockIntervalMs = 500;

QLabel* NewLabel(const char* name, Qt::Alignment alignment, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setAlignment(alignment | Qt::AlignVCenter);
  return label;
}

}  // namespace

TsbBurnProgressView::TsbBurnProgressView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("BurnProgressView"));
  lblCaption = NewLabel("lblCaption", Qt::AlignLeft, this);
  QFont bold = lblCaption->font();
  bold.setBold(true);
  lblCaption->setFont(bold);
  lblSpeed = NewLabel("lblSpeed", Qt::AlignRight, this);
  lblAmount = NewLabel("lblAmount", Qt::AlignLeft, this);
  lblTimes = NewLabel("lblTimes", Qt::AlignRight, this);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(5, 2, 5, 0);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(1);
  grid->addWidget(lblCaption, 0, 0);
  grid->addWidget(lblSpeed, 0, 1);
  grid->addWidget(lblAmount, 1, 0);
  grid->addWidget(lblTimes, 1, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);

  clock_.setInterval(kClockIntervalMs);
  connect(&clock_, &QTimer::timeout, this, &TsbBurnProgressView::Refresh);
}

void TsbBurnProgressView::Start(bool dvd) {
  meter_.Start(dvd, TsbBurnProgressMeter::Clock::now());
  lblCaption->setToolTip({});
  clock_.start();
  Refresh();
}

void TsbBurnProgressView::SetPhase(TsbBurnPhase phase) {
  if (!meter_.Running()) return;
  meter_.SetPhase(phase, TsbBurnProgressMeter::Clock::now());
  Refresh();
}

void TsbBurnProgressView::Report(std::uint64_t total, std::uint64_t done) {
  if (!meter_.Running()) return;
  meter_.Report(total, done, TsbBurnProgressMeter::Clock::now());
  Refresh();
}

void TsbBurnProgressView::Finish(TsbRunEnding outcome, const QString& detail) {
  meter_.Finish(TsbBurnProgressMeter::Clock::now());
  clock_.stop();
  Refresh();
  lblCaption->setText(TsbBurnProgressMeter::OutcomeText(outcome));
  lblCaption->setToolTip(detail);
  // The speed of the last moments says nothing about a run that is over.
  lblSpeed->clear();
}

void TsbBurnProgressView::Reset() {
  meter_ = TsbBurnProgressMeter();
  clock_.stop();
  for (QLabel* label : {lblCaption, lblSpeed, lblAmount, lblTimes}) label->clear();
  lblCaption->setToolTip({});
}

void TsbBurnProgressView::Refresh() {
  const auto now = TsbBurnProgressMeter::Clock::now();
  lblCaption->setText(meter_.PhaseText());
  lblSpeed->setText(meter_.SpeedText());
  lblAmount->setText(meter_.AmountText());
  lblTimes->setText(meter_.TimesText(now));
}

}  // namespace ondrelle
