// ondrelle-cli: the headless front end over the same engine as the wizard.

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "cli/cli_commands.h"

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("ondrelle-cli"));
  QStringList arguments = QCoreApplication::arguments();
  arguments.removeFirst();
  return ondrelle::cli::Run(arguments);
}
