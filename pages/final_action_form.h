#pragma once
// The burning page: runs the wizard's action list, shows the write
// percentage and a growing log with one line per message, and saves the
// log as a text file when the run is over.

#include <QDateTime>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <vector>

#include "engine/burn_failure_text.h"
#include "engine/burn_job.h"
#include "engine/burn_progress_meter.h"
#include "frame/sb_dock_form.h"
#include "log/log_item_type.h"
#include "pages/burn_progress_view.h"
#include "pages/log_list.h"

namespace ondrelle {

class TfrmFinalAction : public TsbDockForm {
  Q_OBJECT

 public:
  explicit TfrmFinalAction(QWidget* parent = nullptr);
  void FocusMainControl() override { lvLog->setFocus(Qt::OtherFocusReason); }

  /// Resets the bars and lists the lines of Log, all with the information icon.
  void SetBurner(TsbBurner* burner) override;
  /// Starts the burn job over Actions and returns at once; RunFinished says
  /// when it has ended. An error ends the run, is logged and shown. The page
  /// always finishes at 100 % with Save enabled and the tray released.
  void RunActions();
  /// Cancels a run still going and waits for its worker to end; its end is
  /// not reported. For a window that goes while a burn runs.
  void StopRun();
  /// The running (or last) burn job; null before the first run.
  TsbBurnJob* Job() const { return job_.get(); }
  bool Running() const { return job_ && running_; }

  // May be called on any thread: the update is carried to the UI thread.
  void AddLogLine(const void* sender, const QString& text, TsbLogItemType kind);
  void SetWriteProgress(const void* sender, int percent);
  void SetBufferProgress(const void* sender, int percent);
  /// The written bytes of the total, for the amount, times and speed.
  void SetWriteBytes(const void* sender, std::uint64_t total, std::uint64_t done);
  /// The step the burn is in. May be called on any thread.
  void SetPhase(TsbBurnPhase phase);
  void ResetProgress();
  void ShowBuffer(bool visible);
  /// What the completion adds to its text about the run just ended: that a
  /// test wrote nothing, where a virtual writer put the disc image. Empty
  /// when there is nothing to add.
  QString CompletionNote() const { return completionNote_; }

  void btnSaveLogClick();
  /// Writes the visible rows to `path`, replacing the file only once all is
  /// written; false with `error` set when it cannot.
  bool SaveLogTo(const QString& path, QString& error) const;
  /// "Log_DDMM_hhnn.txt" for `now`.
  static QString ProposedLogFileName(const QDateTime& now);
  /// A time as the log shows it, in the system's time format.
  static QString TimeText(const QTime& time);

  TsbLog* Log = nullptr;             ///< the wizard's log; not owned
  TsbActionList* Actions = nullptr;  ///< the wizard's actions; not owned
  /// Turns a run's failure into the error box's plain sentence; unset, the
  /// failure is shown as it is. The failure itself goes to the log.
  std::function<TsbPlainFailure(const QString& failure)> DescribeFailure;
  /// How the last run failed; empty after a run that did not fail.
  TsbPlainFailure LastFailure;

  TsbBurnProgressView* ProgressView;
  QWidget* pnlTop;
  QLabel* lablProgressCaption;
  QProgressBar* pbWrite;
  QLabel* lblProcentValue;
  QLabel* lblBufferStatus;
  QProgressBar* pbBuffer;
  QLabel* lblBufferValue;
  QWidget* pnlFinalPage;
  QLabel* lblBurningLog;
  TsbLogList* lvLog;
  QLabel* Label2;
  QPushButton* btnSaveLog;
  std::vector<QIcon> imlSmall;

 signals:
  /// The burn entered a step (queued from the job's worker).
  void BurnStepChanged(ondrelle::TsbBurnStep step);
  /// The run has ended and the page shows its end.
  void RunFinished(ondrelle::TsbBurnOutcome outcome);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AppendRow(const QString& text, int image, const QString& time);
  void ApplyWriteProgress(int percent);
  void ApplyBufferProgress(int percent);
  void LayoutTop();
  void FormShow();
  /// Ends the progress view with the run's outcome and says what the user
  /// should know about it in the log.
  void FinishProgress(bool failed, const QString& imageBefore);
  void EndRun(TsbBurnOutcome outcome, const QString& failure);

  bool showBuffer_ = false;
  bool running_ = false;
  QString completionNote_;
  QString imageBefore_;  ///< a virtual writer's disc before this run: not this run's
  std::unique_ptr<TsbBurnJob> job_;
};

}  // namespace ondrelle
