#pragma once
// The wizard's first page: how the burning library reaches the drives,
// by device name (SPTI) or by SCSI address (ASPI).

#include <QLabel>
#include <QRadioButton>
#include <functional>

#include "devices/device_records.h"
#include "frame/sb_dock_form.h"

namespace ondrelle {

class TSelectTransportForm : public TsbDockForm {
  Q_OBJECT

 public:
  /// `platformKind` answers which system family runs the program (tests
  /// put another answer here); by default the operating system is asked.
  explicit TSelectTransportForm(QWidget* parent = nullptr, std::function<int()> platformKind = {});
  /// The chosen transport's button, so the arrows move between the two.
  void FocusMainControl() override { (rbSpti->isChecked() ? rbSpti : rbAspi)->setFocus(Qt::OtherFocusReason); }

  TsbTransportType GetTransport() const;
  /// -1 unknown, 0 a system with the address-based transport only, 1 one
  /// that opens devices by name.
  int GetPlatformKind() const;

  QLabel* Label1;
  QRadioButton* rbSpti;
  QLabel* Label2;
  QRadioButton* rbAspi;
  QLabel* Label3;

 private:
  void FormCreate();

  std::function<int()> platformKind_;
};

}  // namespace ondrelle
