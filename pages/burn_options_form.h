#pragma once
// The burning options page: the write speed (measured on the drive),
// optimum power calibration, the multisession switch and the read-back of
// the disc after burning.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <memory>

#include "devices/disc_speed_list.h"
#include "frame/sb_dock_form.h"

namespace ondrelle {

class TfrmBurnOptions : public TsbDockForm {
  Q_OBJECT

 public:
  /// `speeds` measures the drive; by default the real speed list.
  explicit TfrmBurnOptions(QWidget* parent = nullptr, std::unique_ptr<TsbDiscSpeedList> speeds = {});
  void FocusMainControl() override { cmbSpeed->setFocus(Qt::OtherFocusReason); }

  /// Measures the speeds (a failure propagates) and sets the check boxes
  /// from the session's stored choices.
  void SetBurner(TsbBurner* burner) override;
  /// The selected speed. A drive that reports no speed gets one entry that
  /// asks it for its fastest.
  TsbDiscSpeedItem GetSelectedSpeed() const;
  bool GetSendOPC() const { return chbSOPC->isChecked(); }
  bool GetMultiSession() const { return chbMultiSession->isChecked(); }
  bool GetVerify() const { return chbVerify->isChecked(); }

  TsbDiscSpeedList& Speeds() { return *speeds_; }
  bool ShowMultiSession = false;

  QLabel* Label1;
  QCheckBox* chbSOPC;
  QLabel* Label2;
  QLabel* Label4;
  QComboBox* cmbSpeed;
  QLabel* lblMultisession;
  QCheckBox* chbMultiSession;
  QCheckBox* chbVerify;

 private:
  std::unique_ptr<TsbDiscSpeedList> speeds_;
};

/// The entry offered when the drive names no speed: the drive's fastest.
TsbDiscSpeedItem FastestSpeedItem();

}  // namespace ondrelle
