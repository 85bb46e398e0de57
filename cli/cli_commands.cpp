#include "cli/cli_commands.h"

#include <QString>
#include <cstdio>

#include "devices/library_lifetime.h"
#include "emberline/emberline.h"

namespace ondrelle::cli {

namespace {

void PrintUsage(std::FILE* to) {
  std::fputs(
      "Usage: ondrelle-cli <command> [options]\n"
      "Commands:\n"
      "  --version    print the program's and the library's versions\n"
      "  --help       print this text\n",
      to);
}

int PrintVersion() {
  std::printf("Ondrelle %s (libemberline 0x%08X)\n", ONDRELLE_VERSION, Emberline_GetVersion());
  return 0;
}

}  // namespace

int Run(const QStringList& arguments) {
  ReportLibraryVersion();

  if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") ||
      arguments.first() == QLatin1String("-h")) {
    PrintUsage(arguments.isEmpty() ? stderr : stdout);
    return arguments.isEmpty() ? 2 : 0;
  }
  if (arguments.first() == QLatin1String("--version")) return PrintVersion();

  std::fprintf(stderr, "ondrelle-cli: unknown command \"%s\"\n", qPrintable(arguments.first()));
  PrintUsage(stderr);
  return 2;
}

}  // namespace ondrelle::cli
