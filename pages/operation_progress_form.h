#pragma once
// The small wait window of a device scan: a looping clock, an information
// line and Cancel. It has no title-bar buttons and stays in front of the
// program's other windows while it is shown.

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <functional>

#include "devices/operation_progress.h"
#include "pages/clock_animation.h"

namespace ondrelle {

class TfrmOperationProgress : public QDialog, public TsbOperationProgress {
  Q_OBJECT

 public:
  explicit TfrmOperationProgress(QWidget* parent = nullptr);

  void ShowCancel(bool visible) override;
  bool IsActive() const { return active_; }

  // What the device scan drives.
  void SetCaption(const QString& caption) override { setWindowTitle(caption); }
  void SetInfo(const QString& info) override { lblInfo->setText(info); }
  void SetCancelHandler(std::function<void()> onCancel) override { OnCancel = std::move(onCancel); }
  void Show() override { show(); }
  void Hide() override { hide(); }

  QLabel* lblInfo;
  TClockAnimation* Animate;
  QLabel* lblCancelling;
  QPushButton* btnCancel;
  std::function<void()> OnCancel;

  /// A factory for the device scan: each scan makes its own window.
  static TsbOperationProgressFactory Factory();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  void reject() override {}  // Escape does not close it: only the operation does.

 private:
  void FormCreate();
  void FormDeactivate();
  void btnCancelClick();

  bool active_ = false;
};

}  // namespace ondrelle
