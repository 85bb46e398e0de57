// ondrelle: the video disc wizard.

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "app/program.h"
#include "frame/pictures.h"
#include "log/callback_eventer.h"
#include "log/diagnostic_logger.h"
#include "platform/executable_path.h"

namespace {

/// Lists the files the program reads beside itself and whether each is
/// there; for checking an installation.
int ListFilesBesideProgram() {
  for (const char* name : {"lame.dll", "Emberline_VideoCD.iso", "Emberline_SuperVideoCD.iso"}) {
    const QString path = ondrelle::platform::FileBesideExecutable(QString::fromLatin1(name));
    std::printf("%s %s\n", QFileInfo::exists(path) ? "found" : "missing", qPrintable(path));
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 2 && std::strcmp(argv[1], "--files") == 0) return ListFilesBesideProgram();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ondrelle"));
  QApplication::setApplicationDisplayName(QStringLiteral("Ondrelle"));
  QApplication::setApplicationVersion(QStringLiteral(ONDRELLE_VERSION));
  QApplication::setWindowIcon(ondrelle::pictures::ApplicationIcon());
  QApplication::setDesktopFileName(QStringLiteral("ondrelle"));
  // The welcome window is the main window: the program ends when it closes,
  // not when the last visible window goes.
  QApplication::setQuitOnLastWindowClosed(false);
  ondrelle::InstallTranslations();

  // The two process-wide objects exist before the first window and after the last.
  ondrelle::Logger();
  ondrelle::CallBackEventer();
  ondrelle::CheckLibraryVersionAtStart();

  ondrelle::TOndrelleProgram program;
  // Ends the loop outright: quit() would first ask every window to close,
  // and the wait window never agrees.
  QObject::connect(
      &program, &ondrelle::TOndrelleProgram::Ended, &application, [] { QCoreApplication::exit(0); },
      Qt::QueuedConnection);
  program.Start();
  return QApplication::exec();
}
