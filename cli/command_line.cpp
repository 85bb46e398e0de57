#include "cli/command_line.h"

namespace ondrelle::cli {

std::optional<CommandLine> CommandLine::Parse(const QStringList& arguments, const QStringList& valueOptions,
                                              const QStringList& multiValueOptions, const QStringList& flagOptions,
                                              QString& error) {
  CommandLine line;
  line.multiValue = QSet<QString>(multiValueOptions.begin(), multiValueOptions.end());
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& option = arguments.at(i);
    if (flagOptions.contains(option)) {
      line.flags.insert(option);
      continue;
    }
    const bool multi = multiValueOptions.contains(option);
    if (!multi && !valueOptions.contains(option)) {
      error = QStringLiteral("unknown option \"%1\"").arg(option);
      return std::nullopt;
    }
    QStringList& values = line.values[option];
    while (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1String("--"))) {
      values << arguments.at(++i);
      if (!multi) break;
    }
    if (values.isEmpty()) {
      error = QStringLiteral("%1 needs a value").arg(option);
      return std::nullopt;
    }
  }
  return line;
}

QString CommandLine::RepeatedOption() const {
  for (auto it = values.begin(); it != values.end(); ++it)
    if (it.value().size() > 1 && !multiValue.contains(it.key())) return it.key();
  return {};
}

}  // namespace ondrelle::cli
