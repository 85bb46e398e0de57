#pragma once
// The switches that shape a data image's file tree, for every command that
// builds one (image, burn --kind data, verify): Rock Ridge on unless
// --no-rock-ridge, with --keep-owners and --follow-links needing it.

#include <QString>
#include <QStringList>
#include <optional>

#include "engine/source_tree.h"

namespace ondrelle::cli {

struct CommandLine;

/// --no-rock-ridge, --keep-owners and --follow-links.
const QStringList& TreeSwitches();

/// The tree options the switches ask for. Nothing when they contradict
/// each other, with `error` set.
std::optional<SourceTreeOptions> TreeOptionsOf(const CommandLine& line, QString& error);

}  // namespace ondrelle::cli
