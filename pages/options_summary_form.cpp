#include "pages/options_summary_form.h"

#include <QVBoxLayout>

#include "devices/disc_type_text.h"

namespace ondrelle {

namespace {

QString YesNo(bool value) {
  return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

/// The device path without the "\\.\" prefix of a device namespace path.
QString ShownDevicePath(const QString& path) {
  const QString prefix = QStringLiteral("\\\\.\\");
  return path.startsWith(prefix) ? path.mid(prefix.size()) : path;
}

// Each value goes in as it is: a '%' in a name or path is not a placeholder.
QString Line(const char* label, const QString& value) {
  return QString::fromLatin1(label) + value;
}

}  // namespace

QStringList SummaryLines(const TsbSummaryValues& v) {
  return {
      QStringLiteral("Drive: ") + v.Device.Product.trimmed() + QLatin1Char(' ') +
          v.Device.ProductRevisionLevel.trimmed() + QStringLiteral(" (") + ShownDevicePath(v.DevicePath) +
          QLatin1Char(')'),
      v.Transport == TsbTransportType::ttAspi ? QStringLiteral("Transport: ASPI") : QStringLiteral("Transport: SPTI"),
      Line("Disc Type: ", DiscTypeToStr(v.DiscType).trimmed()),
      Line("Burning Speed: ", v.Speed),
      Line("Send OPC: ", YesNo(v.SendOPC)),
      Line("Burning Mode: ", v.BurnMode),
      Line("Test Write: ", YesNo(v.TestMode)),
      Line("Video Format: ", v.VideoFormat),
      QStringLiteral("Source Data: '") + v.SourcePath + QLatin1Char('\''),
      Line("Verify After Burning: ", YesNo(v.Verify)),
  };
}

TfrmOptionsSummary::TfrmOptionsSummary(QWidget* parent) : TsbDockForm(parent) {
  setObjectName(QStringLiteral("frmOptionsSummary"));
  lblName = new QLabel(this);
  lblName->setObjectName(QStringLiteral("lblName"));
  lblName->setFixedWidth(417);
  edtSummary = new QTextEdit(this);
  edtSummary->setObjectName(QStringLiteral("edtSummary"));
  edtSummary->setReadOnly(true);
  edtSummary->setAcceptRichText(false);
  edtSummary->setLineWrapMode(QTextEdit::NoWrap);
  edtSummary->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edtSummary->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette parentColour = edtSummary->palette();
  parentColour.setColor(QPalette::Base, palette().color(QPalette::Window));
  edtSummary->setPalette(parentColour);
  lblNextAction = new QLabel(this);
  lblNextAction->setObjectName(QStringLiteral("lblNextAction"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 2, 8, 4);
  layout->setSpacing(4);
  layout->addWidget(lblName);
  layout->addWidget(edtSummary, 1);
  layout->addWidget(lblNextAction);
}

void TfrmOptionsSummary::Fill(const TsbSummaryValues& values) {
  edtSummary->clear();
  edtSummary->setPlainText(SummaryLines(values).join(QLatin1Char('\n')));
}

}  // namespace ondrelle
