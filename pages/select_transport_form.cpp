#include "pages/select_transport_form.h"

#include <QVBoxLayout>

#include "frame/wrapped_label.h"
#include "platform/platform_kind.h"

namespace ondrelle {

TSelectTransportForm::TSelectTransportForm(QWidget* parent, std::function<int()> platformKind)
    : TsbDockForm(parent),
      platformKind_(platformKind ? std::move(platformKind) : [] { return platform::GetPlatformKind(); }) {
  setObjectName(QStringLiteral("SelectTransportForm"));
  Label1 = WrappedLabel(tr("Select SCSI transport you want to use for device access:"), QStringLiteral("Label1"), this);
  rbSpti = new QRadioButton(tr("&SPTI - SCSI Pass Through Interface"), this);
  rbSpti->setObjectName(QStringLiteral("rbSpti"));
  Label2 = WrappedLabel(tr("This transport is preferrable for Windows NT-based systems (NT4/2000/XP/2003/Vista/Win7). "
                           "It can't be used for Windows 9x systems (95/98/Me)."),
                        QStringLiteral("Label2"), this);
  rbAspi = new QRadioButton(tr("AS&PI - Advanced SCSI Programming Interface"), this);
  rbAspi->setObjectName(QStringLiteral("rbAspi"));
  Label3 = WrappedLabel(
      tr("This transport is primarily intended for Windows 9x systems, but can be used in Windows NT-based systems."),
      QStringLiteral("Label3"), this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setSpacing(6);
  layout->addWidget(Label1);
  layout->addSpacing(6);
  layout->addWidget(rbSpti);
  auto* note2 = new QHBoxLayout;
  note2->addSpacing(20);
  note2->addWidget(Label2);
  layout->addLayout(note2);
  layout->addSpacing(6);
  layout->addWidget(rbAspi);
  auto* note3 = new QHBoxLayout;
  note3->addSpacing(20);
  note3->addWidget(Label3);
  layout->addLayout(note3);
  layout->addStretch(1);
  FormCreate();
}

int TSelectTransportForm::GetPlatformKind() const {
  return platformKind_();
}

void TSelectTransportForm::FormCreate() {
  if (GetPlatformKind() == 1) {
    rbSpti->setChecked(true);
    return;
  }
  rbSpti->setEnabled(false);
  rbAspi->setChecked(true);
}

TsbTransportType TSelectTransportForm::GetTransport() const {
  return rbSpti->isChecked() ? TsbTransportType::ttSpti : TsbTransportType::ttAspi;
}

}  // namespace ondrelle
