#pragma once
// The device selection page: scans the drives each time it receives the
// session, lists them with the drive's name and the inserted disc's type,
// used size and label, and keeps the user's choice across rescans. The
// wizard reads the chosen drive's probed data through the queries.

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <array>
#include <memory>

#include "devices/device_finder.h"
#include "frame/sb_dock_form.h"
#include "log/operation_log.h"

namespace ondrelle {

class TfrmSelectDevice : public TsbDockForm {
  Q_OBJECT

 public:
  explicit TfrmSelectDevice(QWidget* parent = nullptr);
  ~TfrmSelectDevice() override;
  void FocusMainControl() override { lvDevices->setFocus(Qt::OtherFocusReason); }

  void BeginBusy() override;
  void EndBusy() override;
  /// Rescans the devices and rebuilds the list, restoring the selection.
  void SetBurner(TsbBurner* burner) override;
  /// One line naming the chosen device, or none.
  TsbLog* GetLog() override;

  // The selected device's probed data; empty values without a selection.
  virtual std::array<std::uint8_t, EMBERLINE_DISC_INFORMATION_SIZE> GetDiscInformation() const;
  virtual DISC_TYPE GetDiscType() const;
  /// Why the chosen drive's disc could not be read when it was not ready; empty otherwise.
  virtual QString GetDiscNotReady() const;
  virtual TsbDiscSpace GetDiscSpace() const;
  virtual TsbReadModes GetReadModes() const;
  virtual TsbWriteModes GetWriteModes() const;
  virtual TsbDeviceInfo GetDeviceInfo() const;
  virtual TsbDVDRPC GetDVDRPC() const;
  TsbDeviceAddress GetDeviceAddress() const;
  /// The device's name, or "\\.\" and where the system reaches it.
  QString GetDevicePath() const;
  bool HasSelection() const { return SelectedDevice() != nullptr; }

  void btnRefreshClick();

  std::unique_ptr<TsbLog> Log;
  std::unique_ptr<TsbDeviceFinder> Finder;
  bool ShowProgress = true;
  bool ShowAllDevices = true;
  QTreeWidgetItem* SelectedItem = nullptr;
  QString InfoText;

  QLabel* Label1;
  QTreeWidget* lvDevices;
  /// Over the empty list after a scan: that no writer was found, and what to check.
  QLabel* lblNoDevices;
  QLabel* Label2;
  QWidget* pnlButton;
  QPushButton* btnRefresh;

 private:
  /// The device of SelectedItem while exactly one row is selected.
  const TsbDeviceItem* SelectedDevice() const;
  void Rebuild();
  void AddRow(int deviceIndex);
  /// Widens the columns whose text would be cut, shows or hides lblNoDevices.
  void FitRows();
  /// Sizes the columns to their texts within the list's width.
  void FitColumns();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace ondrelle
