#pragma once
// The options summary page: every choice of the wizard, one line each,
// for review before the burn starts.

#include <QLabel>
#include <QStringList>
#include <QTextEdit>

#include "devices/device_records.h"
#include "emberline/disc_type.h"
#include "frame/sb_dock_form.h"

namespace ondrelle {

/// What the summary states, gathered from the other pages and the session.
struct TsbSummaryValues {
  TsbDeviceInfo Device;
  QString DevicePath;
  TsbTransportType Transport = TsbTransportType::ttAspi;
  DISC_TYPE DiscType = DISC_TYPE_UNKNOWN;
  QString Speed;
  bool SendOPC = false;
  QString BurnMode;
  bool TestMode = false;
  QString VideoFormat;
  QString SourcePath;
  bool Verify = false;
};

/// The ten lines of the summary, in their fixed order.
QStringList SummaryLines(const TsbSummaryValues& values);

class TfrmOptionsSummary : public TsbDockForm {
  Q_OBJECT

 public:
  explicit TfrmOptionsSummary(QWidget* parent = nullptr);
  /// The summary itself: it scrolls by keys, and Enter still presses Next.
  void FocusMainControl() override { edtSummary->setFocus(Qt::OtherFocusReason); }

  /// Replaces the box's text by the summary of `values`.
  void Fill(const TsbSummaryValues& values);

  QLabel* lblName;
  QTextEdit* edtSummary;
  QLabel* lblNextAction;
};

}  // namespace ondrelle
