// No text of a window is clipped at the default font: every label and
// button is large enough for its text, and sibling labels do not overlap.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "app/about_form.h"
#include "app/finish_form.h"
#include "app/main_form.h"
#include "app/program.h"
#include "app/welcome_form.h"
#include "engine/burner.h"
#include "pages/burn_mode_form.h"
#include "pages/burn_options_form.h"
#include "pages/final_action_form.h"
#include "pages/operation_progress_form.h"
#include "pages/options_summary_form.h"
#include "pages/select_device_form.h"
#include "pages/select_transport_form.h"
#include "pages/source_data_form.h"
#include "pages/video_options_form.h"
#include "strings/string_table.h"

using namespace ondrelle;

namespace {

QStringList ClippedTexts(QWidget& window) {
  window.show();
  QApplication::processEvents();
  QStringList clipped;
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (!label->isVisible() || label->text().isEmpty() || !label->pixmap().isNull()) continue;
    const bool fits = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                        : label->sizeHint().width() <= label->width() + 1 &&
                                              label->fontMetrics().height() <= label->height();
    if (!fits) clipped << label->objectName() + QStringLiteral(": ") + label->text();
    for (QLabel* other : label->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
      if (other == label || !other->isVisible() || other->text().isEmpty()) continue;
      if (label->objectName() < other->objectName() && label->geometry().intersects(other->geometry()))
        clipped << label->objectName() + QStringLiteral(" overlaps ") + other->objectName();
    }
  }
  for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    if (!button->isVisible() || button->text().isEmpty()) continue;
    const int textWidth = button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&')));
    if (textWidth + 8 > button->width()) clipped << button->objectName() + QStringLiteral(": ") + button->text();
  }
  window.hide();
  return clipped;
}

}  // namespace

TEST(WindowTextFit, EveryWindowShowsItsTextsWhole) {
  QTemporaryDir folder;
  TOndrelleProgram program(folder.filePath(QStringLiteral("lame.dll")));
  EXPECT_EQ(ClippedTexts(program.Welcome()), QStringList());
  program.Finish().DescriptionLabel->setText(LoadStr(15229));
  EXPECT_EQ(ClippedTexts(program.Finish()), QStringList());
  program.About().Label1->setText(QStringLiteral("Quenmere"));
  program.About().lblVersion->setText(QStringLiteral("0.1.0"));
  EXPECT_EQ(ClippedTexts(program.About()), QStringList());

  // The longest titles of the wizard's header.
  TMainForm& wizard = program.Wizard();
  wizard.LabelTitle->setText(LoadStr(15447));
  wizard.LabelSubTitle->setText(LoadStr(16059));
  wizard.LoadCaptions();
  EXPECT_EQ(ClippedTexts(wizard), QStringList());

  TfrmFinalAction burn;
  burn.resize(492, 249);
  burn.SetWriteProgress(nullptr, 100);
  // The longest texts of the band above the bar, a two-layer disc's amounts among them.
  burn.ProgressView->lblCaption->setText(TsbBurnProgressMeter::OutcomeText(TsbRunEnding::boTestCompleted));
  burn.ProgressView->lblSpeed->setText(QStringLiteral("16.0x, 21.13 MB/s"));
  burn.ProgressView->lblAmount->setText(QStringLiteral("8,100.0 MB of 8,140.0 MB"));
  burn.ProgressView->lblTimes->setText(QStringLiteral("Elapsed 1:02:05, remaining 1:02:05"));
  EXPECT_EQ(ClippedTexts(burn), QStringList());

  TfrmOperationProgress wait;
  wait.SetInfo(LoadStr(16060));
  wait.lblCancelling->show();
  EXPECT_EQ(ClippedTexts(wait), QStringList());
}

TEST(WindowTextFit, EveryPageOfChoicesShowsItsTextsWholeInItsHost) {
  TsbBurner session;
  session.DiscType = DISC_TYPE_CDR;
  std::vector<std::unique_ptr<TsbDockForm>> pages;
  pages.push_back(std::make_unique<TSelectTransportForm>());
  pages.push_back(std::make_unique<TfrmSelectDevice>());
  pages.push_back(std::make_unique<TfrmVideoOptions>());
  auto source = std::make_unique<TfrmSourceData>();
  source->SetSourceKind(2);
  source->SetSelectedSize(4617089843LL);
  source->SetPossibleSize(4700372992LL);
  pages.push_back(std::move(source));
  auto mode = std::make_unique<TfrmBurnMode>();
  mode->SetBurner(&session);
  pages.push_back(std::move(mode));
  pages.push_back(std::make_unique<TfrmBurnOptions>());
  auto summary = std::make_unique<TfrmOptionsSummary>();
  summary->lblName->setText(QStringLiteral("Video disc will be created with the following options chosen:"));
  summary->lblNextAction->setText(QStringLiteral("Click Next to start burning."));
  pages.push_back(std::move(summary));
  for (auto& page : pages) {
    // A page host of the wizard: its sheet, less nothing.
    QWidget host;
    host.resize(497, 254);
    page->DockTo(&host);
    EXPECT_EQ(ClippedTexts(host), QStringList()) << page->objectName().toStdString();
    page->setParent(nullptr);
  }
}
