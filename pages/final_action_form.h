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
#include <vector>

#include "app/sb_dock_form.h"
#include "log/log_item_type.h"

namespace ondrelle {

class TfrmFinalAction : public TsbDockForm {
  Q_OBJECT

 public:
  explicit TfrmFinalAction(QWidget* parent = nullptr);

  /// Resets the bars and lists the lines of Log, all with the information icon.
  void SetBurner(TsbBurner* burner) override;
  /// Runs every action of Actions in order; an error ends the run, is logged
  /// and shown. The page always finishes at 100 % with Save enabled and the
  /// tray released.
  void RunActions();

  // May be called on any thread: the update is carried to the UI thread.
  void AddLogLine(const void* sender, const QString& text, TsbLogItemType kind);
  void SetWriteProgress(const void* sender, int percent);
  void SetBufferProgress(const void* sender, int percent);
  void ResetProgress();
  void ShowBuffer(bool visible);

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

  QWidget* pnlTop;
  QLabel* lablProgressCaption;
  QProgressBar* pbWrite;
  QLabel* lblProcentValue;
  QLabel* lblBufferStatus;
  QProgressBar* pbBuffer;
  QLabel* lblBufferValue;
  QWidget* pnlFinalPage;
  QLabel* lblBurningLog;
  QTreeWidget* lvLog;
  QLabel* Label2;
  QPushButton* btnSaveLog;
  std::vector<QIcon> imlSmall;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AppendRow(const QString& text, int image, const QString& time);
  void ApplyWriteProgress(int percent);
  void ApplyBufferProgress(int percent);
  void LayoutTop();
  void FormShow();

  bool showBuffer_ = false;
};

}  // namespace ondrelle
