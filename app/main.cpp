// ondrelle: the video disc wizard.

#include <QApplication>

#include "app/pictures.h"
#include "app/program.h"
#include "log/callback_eventer.h"
#include "log/diagnostic_logger.h"

int main(int argc, char* argv[]) {
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
