#include "pages/burn_options_form.h"

#include <QGridLayout>

#include "engine/burner.h"
#include "frame/wrapped_label.h"

namespace ondrelle {

namespace {

/// The speed the library reads as "as fast as the drive goes".
constexpr std::int32_t kFastestSpeed = 0xFFFF;

}  // namespace

TsbDiscSpeedItem FastestSpeedItem() {
  TsbDiscSpeedItem item;
  item.SpeedInPoint = 0;
  item.SpeedInSize = kFastestSpeed;
  item.StrSpeed = QObject::tr("Fastest");
  return item;
}

TfrmBurnOptions::TfrmBurnOptions(QWidget* parent, std::unique_ptr<TsbDiscSpeedList> speeds)
    : TsbDockForm(parent), speeds_(speeds ? std::move(speeds) : std::make_unique<TsbDiscSpeedList>()) {
  setObjectName(QStringLiteral("frmBurnOptions"));
  Label1 = WrappedLabel(tr("Sending Optimum Power Calibration (OPC) calibrates the device laser power at the "
                           "beginning of burning session to adjust for the properties of each recordable disc."),
                        QStringLiteral("Label1"), this);
  chbSOPC = new QCheckBox(tr("Send optimum &power calibration"), this);
  chbSOPC->setObjectName(QStringLiteral("chbSOPC"));
  chbSOPC->setChecked(true);
  Label2 = WrappedLabel(tr("Optimal burning speed depends on the disc used and burning device capabilities. Poorly "
                           "chosen burning speed may result in coaster disc. To determine the best burning speed you "
                           "can make test burns or consult your device and disc manufacturers."),
                        QStringLiteral("Label2"), this);
  Label4 = new QLabel(tr("Burning &speed:"), this);
  Label4->setObjectName(QStringLiteral("Label4"));
  cmbSpeed = new QComboBox(this);
  cmbSpeed->setObjectName(QStringLiteral("cmbSpeed"));
  cmbSpeed->setEditable(false);
  Label4->setBuddy(cmbSpeed);
  cmbSpeed->addItem(tr("Fastest"));
  lblMultisession = WrappedLabel(tr("Multisession mode allows appending data to the disc later. In single session "
                                    "mode data cannot be appended after the disc is burned."),
                                 QStringLiteral("lblMultisession"), this);
  chbMultiSession = new QCheckBox(tr("Create &multisession disc"), this);
  chbMultiSession->setObjectName(QStringLiteral("chbMultiSession"));
  chbMultiSession->setChecked(true);
  chbVerify = new QCheckBox(tr("&Verify the disc after burning"), this);
  chbVerify->setObjectName(QStringLiteral("chbVerify"));
  chbVerify->setChecked(true);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(8, 2, 8, 2);
  layout->setVerticalSpacing(4);
  layout->addWidget(Label1, 0, 0, 1, 3);
  layout->addWidget(chbSOPC, 1, 0, 1, 3);
  layout->addWidget(chbVerify, 2, 0, 1, 3);
  layout->addWidget(Label2, 3, 0, 1, 3);
  layout->addWidget(Label4, 4, 0);
  layout->addWidget(cmbSpeed, 4, 1);
  layout->setColumnMinimumWidth(1, 200);
  layout->setColumnStretch(2, 1);
  layout->addWidget(lblMultisession, 5, 0, 1, 3);
  layout->addWidget(chbMultiSession, 6, 0, 1, 3);
  layout->setRowStretch(7, 1);
  lblMultisession->setVisible(ShowMultiSession);
  chbMultiSession->setVisible(ShowMultiSession);
}

void TfrmBurnOptions::SetBurner(TsbBurner* burner) {
  TsbDockForm::SetBurner(burner);
  if (burner == nullptr) return;
  cmbSpeed->clear();
  speeds_->Build(*burner);
  // Without any measured speed there would be nothing to select and no
  // speed to hand to the session: offer the drive's fastest instead.
  if (speeds_->Count() == 0) speeds_->Add() = FastestSpeedItem();
  for (int i = 0; i < speeds_->Count(); ++i) cmbSpeed->addItem(speeds_->Items(i).StrSpeed);
  if (cmbSpeed->count() > 0) cmbSpeed->setCurrentIndex(cmbSpeed->count() - 1);

  const std::uint8_t mode = burner->BurnMode;
  const bool discAtOnce =
      mode == bmDAOPQFromTree || mode == bmDAORawFromTree || mode == bmDAOPQFromFile || mode == bmDAORawFromFile;
  chbMultiSession->setChecked(!discAtOnce);
  chbMultiSession->setEnabled(!discAtOnce);

  chbVerify->setChecked(burner->VerifyAfterBurn);
  chbSOPC->setChecked(burner->SendOPC);
  chbSOPC->setEnabled(!burner->TestMode);
  if (!chbSOPC->isEnabled()) chbSOPC->setChecked(false);

  for (int i = 0; i < speeds_->Count(); ++i) {
    if (speeds_->Items(i).SpeedInPoint == burner->SpeedInPoint) {
      cmbSpeed->setCurrentIndex(i);
      break;
    }
  }
  lblMultisession->setVisible(ShowMultiSession);
  chbMultiSession->setVisible(ShowMultiSession);
}

TsbDiscSpeedItem TfrmBurnOptions::GetSelectedSpeed() const {
  const int index = cmbSpeed->currentIndex();
  if (index < 0 || index >= speeds_->Count()) return FastestSpeedItem();
  return speeds_->Items(index);
}

}  // namespace ondrelle
