#include "pages/select_device_form.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "devices/disc_space_query.h"
#include "devices/disc_type_text.h"
#include "engine/burner.h"
#include "engine/writer_readiness.h"
#include "pages/operation_progress_form.h"
#include "strings/string_table.h"

namespace ondrelle {

namespace {

enum Column { colProduct, colVendor, colRevision, colMedia, colSize, colLabel, colDrive };
constexpr int kDeviceIndexRole = Qt::UserRole;
constexpr int kDriveWidth = 60;
// The label column takes what is left, and no less than this.
constexpr int kLabelLeast = 30;
constexpr int kCellPadding = 12;
constexpr int kNoDevicesMargin = 8;

/// The drive's name as the user knows it: the name it was opened by, and
/// where the system reaches it when that says more ("CdRom0 (/dev/sr0)").
QString DriveText(const TsbDeviceItem& device) {
  if (device.DeviceName.isEmpty()) return device.DriveLetter;
  if (device.DriveLetter.isEmpty() || device.DriveLetter == device.DeviceName) return device.DeviceName;
  return QStringLiteral("%1 (%2)").arg(device.DeviceName, device.DriveLetter);
}

bool SameAddress(const TsbDeviceAddress& a, const TsbDeviceAddress& b) {
  return a.PortID == b.PortID && a.BusID == b.BusID && a.TargetID == b.TargetID && a.LUN == b.LUN;
}

}  // namespace

TfrmSelectDevice::TfrmSelectDevice(QWidget* parent)
    : TsbDockForm(parent),
      Log(std::make_unique<TsbLog>()),
      Finder(std::make_unique<TsbDeviceFinder>([] { QCoreApplication::processEvents(); },
                                               TfrmOperationProgress::Factory())) {
  setObjectName(QStringLiteral("frmSelectDevice"));
  Label1 = new QLabel(tr("Select CD or DVD burning device from the list"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  lvDevices = new QTreeWidget(this);
  lvDevices->setObjectName(QStringLiteral("lvDevices"));
  lvDevices->setRootIsDecorated(false);
  lvDevices->setUniformRowHeights(true);
  lvDevices->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvDevices->setSelectionMode(QAbstractItemView::SingleSelection);
  lvDevices->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvDevices->header()->setSectionsClickable(false);
  lvDevices->setHeaderLabels(
      {tr("Product"), tr("Vendor"), tr("Revision"), tr("Media "), tr("Size, MB"), tr("Label"), tr("Drive")});
  int column = 0;
  for (int width : {100, 70, 60, 60, 70, kLabelLeast, kDriveWidth}) lvDevices->setColumnWidth(column++, width);
  // The drive's name before the label, which takes what width is left.
  lvDevices->header()->moveSection(colDrive, colLabel);
  lvDevices->header()->setStretchLastSection(true);
  lvDevices->header()->setMinimumSectionSize(16);
  lblNoDevices = new QLabel(tr("No CD or DVD writer was found. Check that the writer is connected and switched on "
                               "and that your user may use it (usually as a member of the cdrom group), then click "
                               "Refresh."),
                            lvDevices->viewport());
  lblNoDevices->setObjectName(QStringLiteral("lblNoDevices"));
  lblNoDevices->setWordWrap(true);
  lblNoDevices->setAlignment(Qt::AlignCenter);
  lblNoDevices->hide();
  lvDevices->viewport()->installEventFilter(this);
  // A selection stays visible without the focus.
  QPalette keep = lvDevices->palette();
  keep.setColor(QPalette::Inactive, QPalette::Highlight, keep.color(QPalette::Active, QPalette::Highlight));
  keep.setColor(QPalette::Inactive, QPalette::HighlightedText, keep.color(QPalette::Active, QPalette::HighlightedText));
  lvDevices->setPalette(keep);
  Label2 = new QLabel(
      tr("If you have plugged in new devices or changed disc in a drive click Refresh to update devices list"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setWordWrap(true);
  pnlButton = new QWidget(this);
  pnlButton->setObjectName(QStringLiteral("pnlButton"));
  pnlButton->setFixedHeight(32);
  btnRefresh = new QPushButton(tr("&Refresh..."), pnlButton);
  btnRefresh->setObjectName(QStringLiteral("btnRefresh"));
  btnRefresh->setFixedSize(81, 23);
  auto* buttonRow = new QHBoxLayout(pnlButton);
  buttonRow->setContentsMargins(0, 4, 0, 4);
  buttonRow->addWidget(btnRefresh);
  buttonRow->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 0, 8, 0);
  layout->setSpacing(4);
  layout->addWidget(Label1);
  layout->addWidget(lvDevices, 1);
  layout->addWidget(Label2);
  layout->addWidget(pnlButton);

  connect(btnRefresh, &QPushButton::clicked, this, &TfrmSelectDevice::btnRefreshClick);
  // The row whose state changed last is the chosen one.
  connect(lvDevices, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { SelectedItem = current; });
}

TfrmSelectDevice::~TfrmSelectDevice() {
  Finder.reset();
  Log.reset();
}

void TfrmSelectDevice::BeginBusy() {
  btnRefresh->setEnabled(false);
  TsbDockForm::BeginBusy();
}

void TfrmSelectDevice::EndBusy() {
  btnRefresh->setEnabled(true);
  TsbDockForm::EndBusy();
}

void TfrmSelectDevice::btnRefreshClick() {
  SetBurner(Burner);
}

const TsbDeviceItem* TfrmSelectDevice::SelectedDevice() const {
  if (SelectedItem == nullptr || lvDevices->selectedItems().size() != 1) return nullptr;
  const int index = SelectedItem->data(0, kDeviceIndexRole).toInt();
  if (index < 0 || index >= Finder->Devices.Count()) return nullptr;
  return &Finder->Devices.Items(index);
}

void TfrmSelectDevice::SetBurner(TsbBurner* burner) {
  TsbDockForm::SetBurner(burner);
  Rebuild();
}

void TfrmSelectDevice::Rebuild() {
  const TsbDeviceAddress address = GetDeviceAddress();
  const QString path = GetDevicePath();
  lvDevices->setUpdatesEnabled(false);
  // Whatever happens in the scan, the page ends usable and with a selection.
  struct Finish {
    TfrmSelectDevice& page;
    ~Finish() {
      page.EndBusy();
      page.FitRows();
      if (page.lvDevices->topLevelItemCount() > 0 && page.SelectedItem == nullptr) {
        QTreeWidgetItem* first = page.lvDevices->topLevelItem(0);
        page.lvDevices->setCurrentItem(first);
        page.SelectedItem = first;
      }
      page.lvDevices->setUpdatesEnabled(true);
    }
  } finish{*this};

  BeginBusy();
  lvDevices->clear();
  SelectedItem = nullptr;
  if (Burner != nullptr) Finder->TransportType = Burner->TransportType;
  Finder->InfoText = InfoText;
  Finder->Scan(ShowProgress);

  for (int i = 0; i < Finder->Devices.Count(); ++i) {
    if (ShowAllDevices || Finder->Devices.Items(i).MediaFormats.CDRWrite) AddRow(i);
  }

  auto select = [this](auto matches) {
    for (int row = 0; row < lvDevices->topLevelItemCount(); ++row) {
      QTreeWidgetItem* item = lvDevices->topLevelItem(row);
      const TsbDeviceItem& device = Finder->Devices.Items(item->data(0, kDeviceIndexRole).toInt());
      if (!matches(device)) continue;
      lvDevices->setCurrentItem(item);
      SelectedItem = item;
      return;
    }
  };
  if (address.Present != 0)
    select([&address](const TsbDeviceItem& d) { return d.Address.Present != 0 && SameAddress(d.Address, address); });
  if (SelectedItem == nullptr) select([&path](const TsbDeviceItem& d) { return d.DeviceName == path; });
}

void TfrmSelectDevice::AddRow(int deviceIndex) {
  TsbDeviceItem& device = Finder->Devices.Items(deviceIndex);
  auto* row = new QTreeWidgetItem;
  row->setText(colProduct, device.Product);
  row->setText(colVendor, device.Vendor);
  row->setText(colRevision, device.ProductRevisionLevel);
  row->setText(colMedia, DiscTypeToStr(device.DiscType));
  row->setText(colDrive, DriveText(device));
  row->setData(0, kDeviceIndexRole, deviceIndex);
  if (device.DiscType != DISC_TYPE_NO_MEDIA) {
    device.DiscSpace = QueryDiscSpace(device);
    const TsbDiscSpace& space = device.DiscSpace;
    const QString size = space.TotalSize > 0 ? UsedSizeText(space.UsedSize) : QString();
    row->setText(colSize, space.FreeSize == space.TotalSize ? LoadStr(15162) : size);
    row->setText(colLabel, device.DiscLabel);
  }
  // Everything whole, whatever the columns cut.
  QStringList tip{DriveText(device),
                  QStringList{device.Vendor, device.Product, device.ProductRevisionLevel}.join(QLatin1Char(' '))};
  if (device.DiscType != DISC_TYPE_NO_MEDIA)
    tip << DiscTypeToStr(device.DiscType) + QLatin1Char(' ') + device.DiscLabel;
  if (device.DiscInformation[0] != 0 && IsClosedDisc(device.DiscType, device.DiscInformation[1]))
    tip << ClosedDiscText();
  for (int c = 0; c <= colDrive; ++c) row->setToolTip(c, tip.join(QLatin1Char('\n')).trimmed());
  lvDevices->addTopLevelItem(row);
}

void TfrmSelectDevice::FitRows() {
  FitColumns();
  lblNoDevices->setVisible(lvDevices->topLevelItemCount() == 0);
}

void TfrmSelectDevice::FitColumns() {
  // Product (16 characters at most), vendor (8) and the drive's name show whole; the other
  // columns as wide as their heading or their text; the label has the rest.
  for (int c : {colProduct, colVendor, colRevision, colMedia, colSize, colDrive}) lvDevices->resizeColumnToContents(c);
  // Long names on a narrow list: the revision's heading gives way first, its value is short.
  int used = 0;
  for (int c = colProduct; c <= colDrive; ++c) used += c == colLabel ? kLabelLeast : lvDevices->columnWidth(c);
  const int over = used - lvDevices->viewport()->width();
  if (over <= 0) return;
  int revision = 0;
  for (int row = 0; row < lvDevices->topLevelItemCount(); ++row)
    revision =
        std::max(revision, lvDevices->fontMetrics().horizontalAdvance(lvDevices->topLevelItem(row)->text(colRevision)));
  lvDevices->setColumnWidth(colRevision, std::max(revision + kCellPadding, lvDevices->columnWidth(colRevision) - over));
}

bool TfrmSelectDevice::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lvDevices->viewport() && event->type() == QEvent::Resize) {
    lblNoDevices->setGeometry(lvDevices->viewport()->rect().adjusted(kNoDevicesMargin, kNoDevicesMargin,
                                                                     -kNoDevicesMargin, -kNoDevicesMargin));
    // Only a change of width moves the columns (a scroll bar coming or going changes the height).
    if (static_cast<QResizeEvent*>(event)->oldSize().width() != lvDevices->viewport()->width()) FitColumns();
  }
  return TsbDockForm::eventFilter(watched, event);
}

TsbLog* TfrmSelectDevice::GetLog() {
  Log->Clear();
  if (const TsbDeviceItem* device = SelectedDevice())
    Log->Add().LogMessage = LoadStr(15308) + QStringLiteral(": ") + device->Product;
  return Log.get();
}

std::array<std::uint8_t, EMBERLINE_DISC_INFORMATION_SIZE> TfrmSelectDevice::GetDiscInformation() const {
  const TsbDeviceItem* device = SelectedDevice();
  return device != nullptr ? device->DiscInformation : std::array<std::uint8_t, EMBERLINE_DISC_INFORMATION_SIZE>{};
}

QString TfrmSelectDevice::GetDiscNotReady() const {
  const TsbDeviceItem* device = SelectedDevice();
  return device != nullptr ? device->DiscNotReady : QString();
}

DISC_TYPE TfrmSelectDevice::GetDiscType() const {
  const TsbDeviceItem* device = SelectedDevice();
  return device != nullptr ? device->DiscType : static_cast<DISC_TYPE>(0);
}

TsbDiscSpace TfrmSelectDevice::GetDiscSpace() const {
  const TsbDeviceItem* device = SelectedDevice();
  return device != nullptr ? device->DiscSpace : TsbDiscSpace{};
}

TsbReadModes TfrmSelectDevice::GetReadModes() const {
  const TsbDeviceItem* device = SelectedDevice();
  return device != nullptr ? device->ReadModes : TsbReadModes{};
}

TsbWriteModes TfrmSelectDevice::GetWriteModes() const {
  const TsbDeviceItem* device = SelectedDevice();
  return device != nullptr ? device->WriteModes : TsbWriteModes{};
}

TsbDeviceInfo TfrmSelectDevice::GetDeviceInfo() const {
  TsbDeviceInfo info;
  if (const TsbDeviceItem* device = SelectedDevice()) {
    info.Vendor = device->Vendor;
    info.Product = device->Product;
    info.ProductRevisionLevel = device->ProductRevisionLevel;
    info.BufferSize = device->BufferSize;
    info.MediaFormats = device->MediaFormats;
    info.MediaFormatsEx = device->MediaFormatsEx;
  }
  return info;
}

TsbDVDRPC TfrmSelectDevice::GetDVDRPC() const {
  const TsbDeviceItem* device = SelectedDevice();
  return device != nullptr ? device->DVDRPC : TsbDVDRPC{};
}

TsbDeviceAddress TfrmSelectDevice::GetDeviceAddress() const {
  const TsbDeviceItem* device = SelectedDevice();
  return device != nullptr ? device->Address : TsbDeviceAddress{};
}

QString TfrmSelectDevice::GetDevicePath() const {
  const TsbDeviceItem* device = SelectedDevice();
  if (device == nullptr) return {};
  if (!device->DeviceName.isEmpty()) return device->DeviceName;
  return QStringLiteral("\\\\.\\") + device->DriveLetter;
}

}  // namespace ondrelle
