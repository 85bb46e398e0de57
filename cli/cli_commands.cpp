#include "cli/cli_commands.h"

#include <QString>
#include <cstdio>

#include "cli/burn_commands.h"
#include "cli/device_commands.h"
#include "cli/verify_command.h"
#include "devices/library_lifetime.h"
#include "emberline/emberline.h"
#include "engine/tsb_error.h"
#include "platform/virtual_writer_setting.h"

namespace ondrelle::cli {

namespace {

void PrintUsage(std::FILE* to) {
  std::fputs(
      "Usage: ondrelle-cli <command> [options]\n"
      "Commands:\n"
      "  devices [--transport spti|aspi] [--all]\n"
      "               scan for CD/DVD writers (--all: every CD/DVD device)\n"
      "  speeds --device D\n"
      "               list the write speeds of device D for its disc, fastest last\n"
      "  image --source PATH... --output FILE.iso [--label L] [--boot IMG]\n"
      "       [--no-rock-ridge | --keep-owners] [--follow-links]\n"
      "               write an ISO9660/Joliet image of the sources into a file\n"
      "  image --kind dvd --source FOLDER --output FILE.iso [--label L]\n"
      "               write the DVD-Video image (UDF + ISO9660) of a VIDEO_TS folder\n"
      "  burn --kind data --device D --source PATH... --mode tao|sao|dao-pq|dao-raw\n"
      "       [--speed X] [--test] [--opc] [--multisession] [--label L] [--verify]\n"
      "       [--no-rock-ridge | --keep-owners] [--follow-links]\n"
      "               burn the sources onto the disc in device D\n"
      "  Data images and discs carry Rock Ridge (Unix names, modes, links, folders\n"
      "  of any depth; owners 0, readable by all) unless --no-rock-ridge; --keep-owners\n"
      "  keeps the sources' owners and modes, --follow-links adds what links point to.\n"
      "  burn --kind vcd|svcd|dvd --device D --source FILE|FOLDER [--speed X] [--test] [--opc]\n"
      "       [--verify]\n"
      "               burn a Video CD or Super Video CD from an MPEG file, or a\n"
      "               DVD-Video disc from a VIDEO_TS folder, after the wizard's checks\n"
      "  --verify     read the disc back after the burn and compare it with its sources;\n"
      "               a disc that differs or cannot be read fails the burn\n"
      "  verify --device D --source PATH... [--label L] [--no-rock-ridge | --keep-owners]\n"
      "       [--follow-links]\n"
      "               compare the data disc in device D with the sources it was made\n"
      "               from (give the options its image or burn had), writing nothing\n"
      "  --version    print the program's and the library's versions\n"
      "  --help       print this text\n"
      "Exit status: 0 done, 1 failed, 2 bad command line; a burn or image stopped by\n"
      "SIGINT, SIGTERM or SIGHUP ends with 128 + the signal's number (130 for Ctrl+C).\n",
      to);
}

int PrintVersion() {
  std::printf("Ondrelle %s (libemberline 0x%08X)\n", ONDRELLE_VERSION, Emberline_GetVersion());
  return 0;
}

}  // namespace

int Run(const QStringList& arguments) {
  ReportLibraryVersion();

  if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h")) {
    PrintUsage(arguments.isEmpty() ? stderr : stdout);
    return arguments.isEmpty() ? 2 : 0;
  }
  if (arguments.first() == QLatin1String("--version")) return PrintVersion();

  using Command = int (*)(const QStringList&);
  Command command = nullptr;
  if (arguments.first() == QLatin1String("devices")) command = RunDevicesCommand;
  if (arguments.first() == QLatin1String("speeds")) command = RunSpeedsCommand;
  if (arguments.first() == QLatin1String("image")) command = RunImageCommand;
  if (arguments.first() == QLatin1String("burn")) command = RunBurnCommand;
  if (arguments.first() == QLatin1String("verify")) command = RunVerifyCommand;
  if (command != nullptr) {
    // An image is written to a file, never by a writer: the library starts
    // without virtual writers, so their configuration and their folder play
    // no part in it.
    if (command == RunImageCommand) platform::OfferNoVirtualWriters();
    try {
      StartLibrary();
    } catch (const TsbError& error) {
      std::fprintf(stderr, "%s\n", qPrintable(error.Message()));
      return 1;
    }
    const int status = command(arguments.mid(1));
    ShutDownLibrary();
    return status;
  }

  std::fprintf(stderr, "ondrelle-cli: unknown command \"%s\"\n", qPrintable(arguments.first()));
  PrintUsage(stderr);
  return 2;
}

}  // namespace ondrelle::cli
