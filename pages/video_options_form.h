#pragma once
// The disc type page: Video CD, Super Video CD or DVD Video. The page owns
// the one video action that burns the disc and hands it to the wizard.

#include <QComboBox>
#include <QLabel>
#include <memory>

#include "engine/action_list.h"
#include "engine/video_file_action.h"
#include "frame/sb_dock_form.h"

namespace ondrelle {

class TfrmVideoOptions : public TsbDockForm {
  Q_OBJECT

 public:
  explicit TfrmVideoOptions(QWidget* parent = nullptr);
  void FocusMainControl() override { cbVideoDiscType->setFocus(Qt::OtherFocusReason); }

  /// The selected kind, a TsbVideoKind (0, 1 or 2).
  std::uint8_t GetDiscKind() const;
  QString GetDiscKindText() const;
  /// Rebuilds the video action's options for the selected kind (no source
  /// yet) and answers the page's list: one item holding that action.
  TsbActionList* GetActions() override;

  TsbVideoFileAction& VideoAction() { return *videoAction_; }

  QLabel* Label1;
  QLabel* Label2;
  QComboBox* cbVideoDiscType;

 private:
  std::unique_ptr<TsbVideoFileAction> videoAction_;
  std::unique_ptr<TsbActionList> actions_;
};

}  // namespace ondrelle
