#include "pages/source_data_form.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <atomic>

#include "engine/page_checks.h"
#include "engine/source_size.h"
#include "engine/tsb_error.h"
#include "engine/video_burn_options.h"
#include "frame/ui_thread.h"
#include "pages/operation_progress_form.h"
#include "platform/user_settings.h"
#include "platform/worker_thread.h"

namespace ondrelle {

/// One check on its worker: the flag that stops it and what it found.
struct TfrmSourceData::CheckRun {
  std::uint8_t cancel = 0;  // written and read through std::atomic_ref
  TsbSourceCheck result;
};

namespace {

/// The user setting that remembers where the last source came from.
constexpr QLatin1StringView kFolderSetting("LastSourceFolder");

QString CancelledText() {
  return TfrmSourceData::tr("The check of the source was cancelled: choose the source again to have it checked.");
}

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
  // The button's "..." has no letter: the caption's opens the picker.
  laSourceCaption->setBuddy(btnBrowse);
  laFileSize = new QLabel(this);
  laFileSize->setObjectName(QStringLiteral("laFileSize"));
  laMaxFileSize = new QLabel(this);
  laMaxFileSize->setObjectName(QStringLiteral("laMaxFileSize"));
  laSourceInfo = new QLabel(this);
  laSourceInfo->setObjectName(QStringLiteral("laSourceInfo"));
  laSourceInfo->setWordWrap(true);
  laSourceInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  laSourceInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setVerticalSpacing(6);
  layout->addWidget(laSourceCaption, 0, 0, 1, 2);
  layout->addWidget(edSourceData, 1, 0);
  layout->addWidget(btnBrowse, 1, 1);
  layout->setRowMinimumHeight(2, 12);
  layout->addWidget(laFileSize, 3, 0, 1, 2);
  layout->addWidget(laMaxFileSize, 4, 0, 1, 2);
  layout->setRowMinimumHeight(5, 6);
  layout->addWidget(laSourceInfo, 6, 0, 1, 2);
  layout->setRowStretch(7, 1);

  ChooseFile = [this](const QString& filter) {
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The combo box shows the descriptions only: the patterns (both cases)
    // would not fit beside them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters({DialogFilter(filter), tr("All files (*)")});
    dialog.setDirectory(StartFolder());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
  };
  ChooseFolder = [this] {
    return QFileDialog::getExistingDirectory(this, QString(), StartFolder(), QFileDialog::ShowDirsOnly);
  };
  connect(btnBrowse, &QPushButton::clicked, this, &TfrmSourceData::btnBrowseClick);
  waitTimer_.setSingleShot(true);
  connect(&waitTimer_, &QTimer::timeout, this, &TfrmSourceData::ShowWaitWindow);

  SetSourceKind(vkVideoCD);
  SetSourcePath(QString());
  SetPossibleSize(0);
}

TfrmSourceData::~TfrmSourceData() {
  StopCheck();
}

void TfrmSourceData::SetSourceKind(std::uint8_t kind) {
  if (kind != sourceKind_) SetSourcePath(QString());
  sourceKind_ = kind;
  switch (kind) {
    case vkVideoCD:
      filter_ = QStringLiteral("Video CD files (*.mpeg;*.mpg;*.m1v)|*.mpeg;*.mpg;*.m1v||");
      laSourceCaption->setText(tr("&Source File:"));
      break;
    case vkSuperVideoCD:
      filter_ =
          QStringLiteral("Super Video CD files (*.mpeg;*.mpg;*.m2v;*.mpe;*.mp2s)|*.mpeg;*.mpg;*.m2v;*.mpe;*.mp2s||");
      laSourceCaption->setText(tr("&Source File:"));
      break;
    case vkDVDVideo:
      laSourceCaption->setText(tr("&Source Direcotry:"));
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
  StopCheck();
  checked_ = TsbSourceCheck();
  if (path.isEmpty())
    laSourceInfo->clear();
  else
    StartCheck();
}

void TfrmSourceData::SetPossibleSectors(std::uint64_t sectors) {
  possibleSectors_ = sectors;
  if (!checking_ && !checked_.Path.isEmpty()) ShowCheckResult();
}

void TfrmSourceData::StartCheck() {
  auto run = std::make_shared<CheckRun>();
  run_ = run;
  checking_ = true;
  btnBrowse->setEnabled(false);
  laSourceInfo->setText(tr("Checking the source..."));
  BeginBusy();
  const std::uint8_t kind = sourceKind_;
  const QString path = sourcePath_;
  checker_ = std::make_unique<platform::WorkerThread>(
      [run, kind, path] { run->result = CheckVideoSource(kind, path, &run->cancel); },
      [this, run] { RunOnUiThread(this, [this, run] { CheckEnded(run); }); });
  checker_->Start();
  waitTimer_.start(WaitWindowDelay);
}

void TfrmSourceData::StopCheck() {
  if (!checker_) return;
  if (run_) std::atomic_ref<std::uint8_t>(run_->cancel).store(1);
  checker_.reset();  // joins: a cancelled MPEG check stops at its next pack
  // The end it queued is dropped: it no longer belongs to run_.
  run_.reset();
  waitTimer_.stop();
  HideWaitWindow();
  if (checking_) {
    checking_ = false;
    btnBrowse->setEnabled(true);
    EndBusy();
  }
}

void TfrmSourceData::CheckEnded(std::shared_ptr<CheckRun> run) {
  if (run != run_) return;  // a check given up for a newer one
  checker_.reset();
  run_.reset();
  waitTimer_.stop();
  HideWaitWindow();
  checked_ = run->result;
  // A DVD-Video folder's check does not stop midway: asked to, its result is dropped.
  if (std::atomic_ref<std::uint8_t>(run->cancel).load() != 0) checked_.Result = TsbSourceCheck::Outcome::Cancelled;
  checking_ = false;
  btnBrowse->setEnabled(true);
  ShowCheckResult();
  EndBusy();
}

void TfrmSourceData::ShowCheckResult() {
  switch (checked_.Result) {
    case TsbSourceCheck::Outcome::Passed: {
      const QString shortage = SectorShortageText(checked_.Kind, checked_.DiscSectors, possibleSectors_);
      laSourceInfo->setText(
          possibleSectors_ > 0 && !shortage.isEmpty() ? shortage : SourceDescription(checked_, possibleSectors_));
      break;
    }
    case TsbSourceCheck::Outcome::Refused:
      laSourceInfo->setText(checked_.Refusal);
      break;
    case TsbSourceCheck::Outcome::Cancelled:
      laSourceInfo->setText(CancelledText());
      break;
  }
}

void TfrmSourceData::ShowWaitWindow() {
  if (!checking_ || waitWindow_) return;
  waitWindow_ = std::make_unique<TfrmOperationProgress>(window());
  waitWindow_->SetCaption(tr("Checking the source"));
  waitWindow_->SetInfo(tr("Ondrelle is checking %1 to see whether it can be burned.").arg(sourcePath_));
  waitWindow_->ShowCancel(true);
  waitWindow_->SetCancelHandler([this] {
    if (run_) std::atomic_ref<std::uint8_t>(run_->cancel).store(1);
  });
  waitWindow_->Show();
}

void TfrmSourceData::HideWaitWindow() {
  if (!waitWindow_) return;
  waitWindow_->Hide();
  waitWindow_.reset();
}

void TfrmSourceData::RequireCheckedSource() {
  if (checking_)
    throw TsbError(tr("The source is still being checked: press Next once the page shows what was found."));
  if (checked_.Path != sourcePath_ || checked_.Fingerprint != SourceFingerprint(sourcePath_)) {
    StopCheck();
    checked_ = TsbSourceCheck();
    StartCheck();
    throw TsbError(
        tr("The source has changed since it was checked: it is being checked again; press Next once "
           "the page shows what was found."));
  }
  switch (checked_.Result) {
    case TsbSourceCheck::Outcome::Passed:
      return;
    case TsbSourceCheck::Outcome::Refused:
      throw TsbError(checked_.Refusal);
    case TsbSourceCheck::Outcome::Cancelled:
      throw TsbError(CancelledText());
  }
}

void TfrmSourceData::RequireSourceUnchanged() const {
  CheckSourceFileExists(sourceKind_, sourcePath_);
  if (checked_.Path != sourcePath_ || checked_.Fingerprint != SourceFingerprint(sourcePath_))
    throw TsbError(
        tr("The source has changed since it was checked: go back to the source page and choose it "
           "again."));
}

QString TfrmSourceData::StartFolder() const {
  const QString folder = platform::ReadUserText(kFolderSetting);
  return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
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
    if (file.isEmpty()) return;
    platform::WriteUserText(kFolderSetting, QFileInfo(file).absolutePath());
    SetSourcePath(file);
  } else if (sourceKind_ == vkDVDVideo) {
    const QString folder = ChooseFolder();
    if (folder.isEmpty()) return;
    // The folder that holds the VIDEO_TS folders is where the next one is looked for.
    platform::WriteUserText(kFolderSetting, QFileInfo(QDir::cleanPath(folder)).absolutePath());
    SetSourcePath(AddTrailingDelimiter(folder));
  }
}

}  // namespace ondrelle
