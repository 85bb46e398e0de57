#include "cli/tree_switches.h"

#include "cli/command_line.h"

namespace ondrelle::cli {

const QStringList& TreeSwitches() {
  static const QStringList switches = {QStringLiteral("--no-rock-ridge"), QStringLiteral("--keep-owners"),
                                       QStringLiteral("--follow-links")};
  return switches;
}

std::optional<SourceTreeOptions> TreeOptionsOf(const CommandLine& line, QString& error) {
  SourceTreeOptions options;
  options.rockRidge = !line.Has(QStringLiteral("--no-rock-ridge"));
  options.keepOwners = line.Has(QStringLiteral("--keep-owners"));
  options.followLinks = line.Has(QStringLiteral("--follow-links"));
  if (!options.rockRidge && (options.keepOwners || options.followLinks)) {
    error = QStringLiteral("%1 needs Rock Ridge; leave out --no-rock-ridge")
                .arg(options.keepOwners ? QStringLiteral("--keep-owners") : QStringLiteral("--follow-links"));
    return std::nullopt;
  }
  return options;
}

}  // namespace ondrelle::cli
