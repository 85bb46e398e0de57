#include "pages/video_options_form.h"

#include <QGridLayout>

namespace ondrelle {

TfrmVideoOptions::TfrmVideoOptions(QWidget* parent)
    : TsbDockForm(parent),
      videoAction_(std::make_unique<TsbVideoFileAction>()),
      actions_(std::make_unique<TsbActionList>()) {
  setObjectName(QStringLiteral("frmVideoOptions"));
  Label1 = new QLabel(tr("Select the type of video disc you want to burn."), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label2 = new QLabel(tr("Video disc &type:"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  cbVideoDiscType = new QComboBox(this);
  cbVideoDiscType->setObjectName(QStringLiteral("cbVideoDiscType"));
  cbVideoDiscType->setEditable(false);
  cbVideoDiscType->addItems({tr("Video CD"), tr("Super Video CD"), tr("DVD Video")});
  cbVideoDiscType->setCurrentIndex(0);
  Label2->setBuddy(cbVideoDiscType);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setVerticalSpacing(12);
  layout->addWidget(Label1, 0, 0, 1, 3);
  layout->addWidget(Label2, 1, 0);
  layout->addWidget(cbVideoDiscType, 1, 1);
  layout->setColumnMinimumWidth(1, 180);
  layout->setColumnStretch(2, 1);
  layout->setRowStretch(2, 1);
}

std::uint8_t TfrmVideoOptions::GetDiscKind() const {
  return static_cast<std::uint8_t>(std::max(0, cbVideoDiscType->currentIndex()));
}

QString TfrmVideoOptions::GetDiscKindText() const {
  return cbVideoDiscType->currentText();
}

TsbActionList* TfrmVideoOptions::GetActions() {
  TsbVideoBurnOptions options;
  options.IsDVD = cbVideoDiscType->currentIndex() == vkDVDVideo;
  options.VideoKind = GetDiscKind();
  options.VolumeLabel = QStringLiteral("Video");
  options.PublisherName = QStringLiteral("Emberline");
  videoAction_->Options = options;
  actions_->Clear();
  actions_->Add().Action = videoAction_.get();
  return actions_.get();
}

}  // namespace ondrelle
