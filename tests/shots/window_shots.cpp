// Renders every window of the wizard at its fixed size into PNG files, for
// review: ondrelle-window-shots OUTPUT_FOLDER. Run under a display server
// (scripts/window-shots starts one with Xvfb).

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/about_form.h"
#include "app/finish_form.h"
#include "app/main_form.h"
#include "app/program.h"
#include "app/welcome_form.h"
#include "log/operation_log.h"
#include "pages/final_action_form.h"
#include "pages/operation_progress_form.h"
#include "pages/source_data_form.h"
#include "strings/string_table.h"

using namespace ondrelle;

namespace {

bool Save(QWidget& window, const QDir& folder, const char* name) {
  window.show();
  QApplication::processEvents();
  const QString path = folder.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
  const bool saved = window.grab().save(path);
  std::printf("%s %s (%dx%d)\n", saved ? "wrote" : "FAILED", qPrintable(path), window.width(), window.height());
  window.hide();
  return saved;
}

/// Walks a second wizard over its pages on two virtual writers, as a user
/// would, and saves each page as it shows.
bool SavePages(const QDir& folder) {
  QTemporaryDir scratch;
  ::setenv("ONDRELLE_VIRTUAL_DIR", scratch.filePath(QStringLiteral("recordings")).toLocal8Bit().constData(), 1);
  ::setenv("ONDRELLE_VIRTUAL_WRITERS", "cd-r,product=CD-RW 52X;dvd+r,product=DVD+-RW 16X", 1);
  // The source page checks the stream: a real one of the test media.
  const QString movie = scratch.filePath(QStringLiteral("holiday.mpg"));
  if (!QFile::copy(QStringLiteral(ONDRELLE_VIDEO_FIXTURES "/vcd-pal.mpg"), movie)) {
    std::fprintf(stderr, "no test media in %s (build the video-fixtures target)\n", ONDRELLE_VIDEO_FIXTURES);
    return false;
  }
  QFile videoTemplate(scratch.filePath(QStringLiteral("Emberline_VideoCD.iso")));
  if (!videoTemplate.open(QIODevice::WriteOnly) || !videoTemplate.resize(2048)) return false;
  QDir().mkpath(scratch.filePath(QStringLiteral("recordings")));

  TOndrelleProgram program;
  TMainForm& wizard = program.Wizard();
  wizard.TemplateDirectory = scratch.path();
  bool ok = Save(wizard, folder, "page-transport");
  wizard.ButtonNext->click();
  ok &= wizard.ActivePage() == wpDevice && Save(wizard, folder, "page-device");
  wizard.ButtonNext->click();
  ok &= wizard.ActivePage() == wpDiscType && Save(wizard, folder, "page-disc-type");
  wizard.ButtonNext->click();
  wizard.SourcePage()->SetSourcePath(movie);
  while (wizard.SourcePage()->Checking()) QApplication::processEvents(QEventLoop::AllEvents, 10);
  ok &= wizard.ActivePage() == wpSource && Save(wizard, folder, "page-source");
  wizard.ButtonNext->click();
  ok &= wizard.ActivePage() == wpBurnMode && Save(wizard, folder, "page-burn-mode");
  wizard.ButtonNext->click();
  ok &= wizard.ActivePage() == wpBurnOptions && Save(wizard, folder, "page-burn-options");
  wizard.ButtonNext->click();
  ok &= wizard.ActivePage() == wpSummary && Save(wizard, folder, "page-summary");
  if (!ok) std::fprintf(stderr, "the page walk stopped on page %d\n", wizard.ActivePage());
  return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("Ondrelle"));
  if (argc != 2) {
    std::fprintf(stderr, "usage: ondrelle-window-shots OUTPUT_FOLDER\n");
    return 2;
  }
  QDir folder(QString::fromLocal8Bit(argv[1]));
  folder.mkpath(QStringLiteral("."));
  bool ok = true;

  TOndrelleProgram program;
  ok &= Save(program.Welcome(), folder, "welcome");
  ok &= Save(program.About(), folder, "about");
  program.Finish().DescriptionLabel->setText(LoadStr(15229));
  ok &= Save(program.Finish(), folder, "completion");

  TMainForm& wizard = program.Wizard();
  ok &= Save(wizard, folder, "wizard");

  // The burning page as a finished burn leaves it.
  wizard.Log->Add().LogMessage = LoadStr(16064);
  wizard.Log->Add().LogMessage = LoadStr(15509) + QStringLiteral(" /home/user/Videos/holiday.mpg");
  auto* burn = new TfrmFinalAction;
  burn->DockTo(wizard.PageHost(wpBurn));
  burn->Log = wizard.Log.get();
  burn->SetBurner(wizard.Burner.get());
  wizard.pcBurner->blockSignals(true);
  wizard.pcBurner->setCurrentIndex(wpBurn);
  wizard.pcBurner->blockSignals(false);
  wizard.LabelTitle->setText(LoadStr(15202));
  wizard.LabelSubTitle->setText(LoadStr(16064));
  wizard.show();
  for (const char* line : {"Testing unit ready", "Setting CD/DVD speeds", "Burning mode: Track-At-Once (from tree)",
                           "Closing session", "Eject disc", "Burning completed"})
    burn->AddLogLine(nullptr, QString::fromLatin1(line), TsbLogItemType::litInfo);
  burn->AddLogLine(nullptr, QStringLiteral("Buffer underrun protection is not supported"), TsbLogItemType::litWarning);
  burn->SetWriteProgress(nullptr, 100);
  burn->ProgressView->Start(false);
  burn->ProgressView->Report(734003200, 734003200);
  burn->ProgressView->Finish(TsbRunEnding::boCompleted);
  burn->btnSaveLog->setEnabled(true);
  ok &= Save(wizard, folder, "wizard-burn");

  ok &= SavePages(folder);

  TfrmOperationProgress wait;
  wait.SetCaption(LoadStr(15109));
  wait.SetInfo(LoadStr(16060));
  wait.ShowCancel(true);
  wait.show();
  QTimer::singleShot(320, &application, [] { QCoreApplication::exit(0); });  // a few frames of the clock
  QApplication::exec();
  ok &= Save(wait, folder, "wait");
  return ok ? 0 : 1;
}
