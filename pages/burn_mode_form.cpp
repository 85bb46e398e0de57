#include "pages/burn_mode_form.h"

#include "devices/disc_type_text.h"
#include "engine/burner.h"

namespace ondrelle {

namespace {

constexpr int kLeft = 8;
constexpr int kNoteTop = 24;

}  // namespace

TfrmBurnMode::TfrmBurnMode(QWidget* parent) : TsbDockForm(parent) {
  setObjectName(QStringLiteral("frmBurnMode"));
  B = new QLabel(tr("Burning Mode is the way of burning data to the disc."), this);
  B->setObjectName(QStringLiteral("B"));
  laCDTEXTNote =
      new QLabel(tr("Note: CD-Text infromation will be  burned only if Disc-At-Once raw P-W method is used."), this);
  laCDTEXTNote->setObjectName(QStringLiteral("laCDTEXTNote"));
  Label1 = new QLabel(tr("Burning &Mode:"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  cmbModes = new QComboBox(this);
  cmbModes->setObjectName(QStringLiteral("cmbModes"));
  cmbModes->setEditable(false);
  Label1->setBuddy(cmbModes);
  Label2 = new QLabel(this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setWordWrap(true);
  Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  chbTestMode = new QCheckBox(tr("&Test mode (simulate burning)"), this);
  chbTestMode->setObjectName(QStringLiteral("chbTestMode"));

  laCDTEXTNote->hide();
  Label2->setText(
      tr("Test mode does everything as in normal burning process, but with the device laser turned off. It allows to "
         "test the Data CD/DVD compilation for errors."));
  LayOut();
}

void TfrmBurnMode::resizeEvent(QResizeEvent* event) {
  TsbDockForm::resizeEvent(event);
  LayOut();
}

void TfrmBurnMode::LayOut() {
  // Below the (hidden) CD-Text note, as its place was designed.
  const int width = std::max(100, this->width() - 2 * kLeft);
  B->setGeometry(kLeft, 2, width, 18);
  laCDTEXTNote->setGeometry(kLeft, kNoteTop, width, 16);
  const int label1Top = laCDTEXTNote->y() + 3;
  Label1->setGeometry(kLeft, label1Top, Label1->sizeHint().width(), 18);
  cmbModes->setGeometry(Label1->geometry().right() + 8, label1Top - 3, 200, 22);
  const int label2Top = label1Top + 28;
  Label2->setGeometry(kLeft, label2Top, width, std::max(36, Label2->heightForWidth(width)));
  chbTestMode->setGeometry(kLeft, std::max(label2Top + 40, Label2->geometry().bottom() + 4), width, 20);
}

void TfrmBurnMode::SetBurner(TsbBurner* burner) {
  TsbDockForm::SetBurner(burner);
  cmbModes->clear();
  TAOIndex = SAOIndex = DAOPQIndex = DAORawIndex = -1;
  if (burner == nullptr) return;
  int next = 0;
  int selected = 0;
  const TsbWriteModes& modes = burner->WriteModes;
  const bool cd = !IsDVDDiscType(burner->DiscType);
  const std::uint8_t stored = burner->BurnMode;

  if (modes.DiscAtOnceRawPW && AllowDAORaw && cd) {
    cmbModes->addItem(tr("Disc-At-Once raw P-W"));
    DAORawIndex = next;
    if (stored == bmDAORawFromTree || stored == bmDAORawFromFile) selected = next;
    ++next;
  }
  if (modes.DiscAtOncePQ && AllowDAOPQ && cd) {
    cmbModes->addItem(tr("Disc-At-Once PQ"));
    DAOPQIndex = next;
    if (stored == bmDAOPQFromTree || stored == bmDAOPQFromFile) selected = next;
    ++next;
  }
  if (modes.SessionAtOnce && AllowSAO && cd) {
    cmbModes->addItem(tr("Session-At-Once"));
    SAOIndex = next;
    if (stored == bmSAOFromTree || stored == bmSAOFromFile) selected = next;
    ++next;
  }
  if (modes.TrackAtOnce && AllowTAO) {
    cmbModes->addItem(tr("Track-At-Once"));
    TAOIndex = next;
    if (stored == bmTAOFromTree || stored == bmTAOFromFile) selected = next;
  }
  if (cmbModes->count() > 0) cmbModes->setCurrentIndex(selected);
  chbTestMode->setEnabled(modes.TestWrite);
  chbTestMode->setChecked(burner->TestMode);
}

TsbBurnModeChoice TfrmBurnMode::GetBurnMode() const {
  TsbBurnModeChoice choice;
  const int index = cmbModes->currentIndex();
  if (index >= 0) {
    if (index == DAORawIndex) choice.Mode = FromFile ? bmDAORawFromFile : bmDAORawFromTree;
    if (index == DAOPQIndex) choice.Mode = FromFile ? bmDAOPQFromFile : bmDAOPQFromTree;
    if (index == SAOIndex) choice.Mode = FromFile ? bmSAOFromFile : bmSAOFromTree;
    if (index == TAOIndex) choice.Mode = FromFile ? bmTAOFromFile : bmTAOFromTree;
  }
  choice.Test = chbTestMode->isChecked();
  return choice;
}

QString TfrmBurnMode::GetBurnModeText() const {
  return cmbModes->currentText();
}

}  // namespace ondrelle
