#pragma once
// The source data page: an MPEG file for the two CD kinds, a VIDEO_TS
// folder for DVD Video, with the chosen source's size beside the free
// space of the disc. A chosen source is checked at once by the library, on
// a worker (with the wait window when it takes a while), and the page says
// what was found or why the source cannot be burned; the wizard's Next
// takes only a source that passed.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/source_check.h"
#include "frame/sb_dock_form.h"

namespace ondrelle {

namespace platform {
class WorkerThread;
}
class TfrmOperationProgress;

class TfrmSourceData : public TsbDockForm {
  Q_OBJECT

 public:
  explicit TfrmSourceData(QWidget* parent = nullptr);
  ~TfrmSourceData() override;
  void FocusMainControl() override { edSourceData->setFocus(Qt::OtherFocusReason); }

  /// A new kind clears the chosen source; the caption and the file filter follow the kind.
  void SetSourceKind(std::uint8_t kind);
  void SetSourcePath(const QString& path);
  void SetPossibleSize(std::int64_t size);
  void SetSelectedSize(std::int64_t size);
  /// The disc's free sectors, for the share of the disc a source takes.
  void SetPossibleSectors(std::uint64_t sectors);
  void btnBrowseClick();

  /// Whether the chosen source is being checked now.
  bool Checking() const { return checking_; }
  /// The last finished check of the chosen source.
  const TsbSourceCheck& SourceCheck() const { return checked_; }
  /// Raises (TsbError, in the page's words) unless the chosen source, as it
  /// is now, passed its check; a source changed since is checked again.
  void RequireCheckedSource();
  /// Raises (TsbError) when the checked source is gone ("Specified file
  /// cannot be found", as on this page) or has changed since its check.
  void RequireSourceUnchanged() const;
  /// How long a check runs before the wait window shows, in milliseconds.
  int WaitWindowDelay = 400;

  std::uint8_t SourceKind() const { return sourceKind_; }
  const QString& SourcePath() const { return sourcePath_; }
  std::int64_t SelectedSize() const { return selectedSize_; }
  std::int64_t PossibleSize() const { return possibleSize_; }
  /// The file dialog's filter, "description|patterns||".
  const QString& Filter() const { return filter_; }

  /// The pickers btnBrowseClick opens; each answers the chosen path or
  /// nothing when cancelled. Tests put their own answers here.
  std::function<QString(const QString& filter)> ChooseFile;
  std::function<QString()> ChooseFolder;
  /// The folder the pickers start in: the last one a source came from.
  QString StartFolder() const;

  QLabel* laSourceCaption;
  QLineEdit* edSourceData;
  QPushButton* btnBrowse;
  QLabel* laFileSize;
  QLabel* laMaxFileSize;
  /// What the check found, or why the source cannot be burned.
  QLabel* laSourceInfo;

 private:
  struct CheckRun;
  void StartCheck();
  void StopCheck();
  void CheckEnded(std::shared_ptr<CheckRun> run);
  void ShowWaitWindow();
  void HideWaitWindow();
  void ShowCheckResult();

  std::uint8_t sourceKind_ = 0;
  QString sourcePath_;
  std::int64_t selectedSize_ = 0;
  std::int64_t possibleSize_ = 0;
  std::uint64_t possibleSectors_ = 0;
  QString filter_;
  bool checking_ = false;
  TsbSourceCheck checked_;
  std::shared_ptr<CheckRun> run_;
  std::unique_ptr<platform::WorkerThread> checker_;
  QTimer waitTimer_;
  std::unique_ptr<TfrmOperationProgress> waitWindow_;
};

/// "%.2f MB" of a byte count, as the size lines show it.
QString MegabytesText(std::int64_t bytes);

}  // namespace ondrelle
