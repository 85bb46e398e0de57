#include "app/about_form.h"

#include <QDate>
#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QSettings>

#include "platform/executable_path.h"

namespace ondrelle {

namespace {

constexpr int kWidth = 291;
constexpr int kHeight = 159;
constexpr int kTextLeft = 52;
constexpr int kTextWidth = kWidth - kTextLeft - 8;

QString ReadText(const QSettings& settings, const char* key) {
  const QVariant value = settings.value(QString::fromLatin1(key));
  // A value with commas reads back as a list: put it together again.
  if (value.userType() == QMetaType::QStringList) return value.toStringList().join(QStringLiteral(", "));
  return value.toString();
}

QLabel* TextLabel(QWidget* parent, const char* name, int top) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(kTextLeft, top, kTextWidth, 16);
  return label;
}

}  // namespace

TAboutSettings TAboutSettings::Read(const QString& path) {
  QSettings file(path, QSettings::IniFormat);
  file.beginGroup(QStringLiteral("SYSTEM"));
  return {ReadText(file, "Name"), ReadText(file, "Company"), ReadText(file, "Version")};
}

TfrmAbout::TfrmAbout(QWidget* parent, const QString& settingsPath)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      OpenUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
  setObjectName(QStringLiteral("frmAbout"));
  setFixedSize(kWidth, kHeight);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(8, 8, 33, 33);
  Image1->setScaledContents(true);
  Label1 = TextLabel(this, "Label1", 8);
  lblAppName = TextLabel(this, "lblAppName", 26);
  QFont bold = lblAppName->font();
  bold.setBold(true);
  lblAppName->setFont(bold);
  lblVersion = TextLabel(this, "lblVersion", 44);
  lblCopyright = TextLabel(this, "lblCopyright", 62);
  lblSite = TextLabel(this, "lblSite", 84);
  lblEmail = TextLabel(this, "lblEmail", 102);
  for (QLabel* link : {lblSite, lblEmail}) {
    link->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline"));
    link->installEventFilter(this);
  }
  lblSite->setText(QStringLiteral("lblSite"));
  lblEmail->setText(QStringLiteral("lblEmail"));
  Button1 = new QPushButton(tr("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry((kWidth - 89) / 2, kHeight - 25 - 9, 89, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

  FormCreate(settingsPath.isEmpty() ? platform::FileBesideExecutable(QString::fromLatin1(kAboutSettingsFile))
                                    : settingsPath);

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TfrmAbout::FormCreate(const QString& settingsPath) {
  const int year = QDate::currentDate().year();
  const TAboutSettings settings = TAboutSettings::Read(settingsPath);
  QString site;
  QString mail;
  if (settings.Name == QLatin1String(kProductName)) {
    site = QString::fromLatin1(kProductSite);
    mail = QString::fromLatin1(kSupportAddress);
  }
  Label1->setText(settings.Company);
  lblVersion->setText(settings.Version);
  lblCopyright->setText(tr("Copyright \u00A9 %1 %2").arg(QString::number(year), settings.Company));
  lblSite->setText(site);
  lblEmail->setText(mail);
}

void TfrmAbout::lblSiteClick() {
  OpenUrl(QUrl(lblSite->text()));
}

void TfrmAbout::lblEmailClick() {
  OpenUrl(QUrl(QStringLiteral("mailto:") + lblEmail->text()));
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblSite || watched == lblEmail) {
    switch (event->type()) {
      case QEvent::Enter:
        setCursor(Qt::PointingHandCursor);
        break;
      case QEvent::Leave:
        setCursor(Qt::ArrowCursor);
        break;
      case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
          if (watched == lblSite)
            lblSiteClick();
          else
            lblEmailClick();
          return true;
        }
        break;
      default:
        break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace ondrelle
