#include "pages/source_data_form.h"

#include <QFileDialog>
#include <QGridLayout>

#include "engine/source_size.h"
#include "engine/video_burn_options.h"

namespace ondrelle {

namespace {

/// "Description (a;b)|a;b||" as the file dialog takes it: "Description (a b)".
QString DialogFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
  if (parts.size() < 2) return {};
  const QString description = parts.at(0).section(QLatin1Char('('), 0, 0).trimmed();
  QStringList patterns = parts.at(1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
  // Names on Linux are case-sensitive: "MOVIE.MPG" is an MPEG file too.
  const qsizetype count = patterns.size();
  for (qsizetype i = 0; i < count; ++i) patterns.append(patterns.at(i).toUpper());
  return QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
}

}  // namespace

QString MegabytesText(std::int64_t bytes) {
  return QString::number(static_cast<double>(bytes) / 1024.0 / 1024.0, 'f', 2);
}

TfrmSourceData::TfrmSourceData(QWidget* parent) : TsbDockForm(parent) {
  setObjectName(QStringLiteral("frmSourceData"));
  laSourceCaption = new QLabel(tr("Source directory:"), this);
  laSourceCaption->setObjectName(QStringLiteral("laSourceCaption"));
  edSourceData = new QLineEdit(this);
  edSourceData->setObjectName(QStringLiteral("edSourceData"));
  edSourceData->setReadOnly(true);
  edSourceData->setBackgroundRole(QPalette::Button);
  QPalette face = edSourceData->palette();
  face.setColor(QPalette::Base, face.color(QPalette::Button));
  edSourceData->setPalette(face);
  btnBrowse = new QPushButton(QStringLiteral("..."), this);
  btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
  btnBrowse->setFixedWidth(30);
  laFileSize = new QLabel(this);
  laFileSize->setObjectName(QStringLiteral("laFileSize"));
  laMaxFileSize = new QLabel(this);
  laMaxFileSize->setObjectName(QStringLiteral("laMaxFileSize"));

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setVerticalSpacing(6);
  layout->addWidget(laSourceCaption, 0, 0, 1, 2);
  layout->addWidget(edSourceData, 1, 0);
  layout->addWidget(btnBrowse, 1, 1);
  layout->setRowMinimumHeight(2, 12);
  layout->addWidget(laFileSize, 3, 0, 1, 2);
  layout->addWidget(laMaxFileSize, 4, 0, 1, 2);
  layout->setRowStretch(5, 1);

  ChooseFile = [this](const QString& filter) {
    return QFileDialog::getOpenFileName(this, QString(), QString(), DialogFilter(filter));
  };
  ChooseFolder = [this] {
    return QFileDialog::getExistingDirectory(this, QString(), QString(), QFileDialog::ShowDirsOnly);
  };
  connect(btnBrowse, &QPushButton::clicked, this, &TfrmSourceData::btnBrowseClick);

  SetSourceKind(vkVideoCD);
  SetSourcePath(QString());
  SetPossibleSize(0);
}

void TfrmSourceData::SetSourceKind(std::uint8_t kind) {
  if (kind != sourceKind_) SetSourcePath(QString());
  sourceKind_ = kind;
  switch (kind) {
    case vkVideoCD:
      filter_ = QStringLiteral("Video CD files (*.mpeg;*.mpg;*.m1v)|*.mpeg;*.mpg;*.m1v||");
      laSourceCaption->setText(tr("Source File:"));
      break;
    case vkSuperVideoCD:
      filter_ =
          QStringLiteral("Super Video CD files (*.mpeg;*.mpg;*.m2v;*.mpe;*.mp2s)|*.mpeg;*.mpg;*.m2v;*.mpe;*.mp2s||");
      laSourceCaption->setText(tr("Source File:"));
      break;
    case vkDVDVideo:
      laSourceCaption->setText(tr("Source Direcotry:"));
      break;
    default:
      break;
  }
}

void TfrmSourceData::SetSourcePath(const QString& path) {
  sourcePath_ = path;
  edSourceData->setText(path);
  if (path.isEmpty()) {
    SetSelectedSize(0);
  } else if (sourceKind_ == vkVideoCD || sourceKind_ == vkSuperVideoCD) {
    SetSelectedSize(GetFileSize(path));
  } else if (sourceKind_ == vkDVDVideo) {
    SetSelectedSize(GetFolderSize(path));
  }
}

void TfrmSourceData::SetSelectedSize(std::int64_t size) {
  selectedSize_ = size;
  laFileSize->setText(tr("Selected file(s) size: %1 MB").arg(MegabytesText(size)));
}

void TfrmSourceData::SetPossibleSize(std::int64_t size) {
  possibleSize_ = size;
  laMaxFileSize->setText(tr("Possible file(s) size: %1 MB").arg(MegabytesText(size)));
}

void TfrmSourceData::btnBrowseClick() {
  if (sourceKind_ == vkVideoCD || sourceKind_ == vkSuperVideoCD) {
    const QString file = ChooseFile(filter_);
    if (!file.isEmpty()) SetSourcePath(file);
  } else if (sourceKind_ == vkDVDVideo) {
    const QString folder = ChooseFolder();
    if (!folder.isEmpty()) SetSourcePath(AddTrailingDelimiter(folder));
  }
}

}  // namespace ondrelle
