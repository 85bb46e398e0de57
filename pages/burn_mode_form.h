#pragma once
// The burning mode page: the modes the drive and disc allow, in a fixed
// order (raw P-W, PQ, Session-At-Once, Track-At-Once), and test mode.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <cstdint>

#include "frame/sb_dock_form.h"

namespace ondrelle {

/// The page's answer: a burning mode code and the test flag.
struct TsbBurnModeChoice {
  std::uint8_t Mode = 3;
  bool Test = false;
};

class TfrmBurnMode : public TsbDockForm {
  Q_OBJECT

 public:
  explicit TfrmBurnMode(QWidget* parent = nullptr);
  void FocusMainControl() override { cmbModes->setFocus(Qt::OtherFocusReason); }

  /// Fills the list from the session's write modes, disc type and stored mode.
  void SetBurner(TsbBurner* burner) override;
  TsbBurnModeChoice GetBurnMode() const;
  QString GetBurnModeText() const;

  bool AllowTAO = true;
  bool AllowSAO = true;
  bool AllowDAOPQ = true;
  bool AllowDAORaw = true;
  bool FromFile = false;
  int TAOIndex = -1;
  int SAOIndex = -1;
  int DAOPQIndex = -1;
  int DAORawIndex = -1;

  QLabel* B;
  QLabel* laCDTEXTNote;
  QLabel* Label1;
  QComboBox* cmbModes;
  QLabel* Label2;
  QCheckBox* chbTestMode;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LayOut();
};

}  // namespace ondrelle
