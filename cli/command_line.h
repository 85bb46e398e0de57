#pragma once
// Options of a command: "--name value...", "--flag".

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace ondrelle::cli {

struct CommandLine {
  QMap<QString, QStringList> values;
  QSet<QString> flags;
  QSet<QString> multiValue;  ///< the options that take several values

  QString Value(const QString& option) const { return values.value(option).value(0); }
  bool Has(const QString& option) const { return values.contains(option) || flags.contains(option); }
  /// The first option of one value that was given more than once (the
  /// later ones would be ignored), or empty.
  QString RepeatedOption() const;

  /// `valueOptions` take one value (or several with `multiValue`), `flagOptions`
  /// none. Unknown options and missing values give an error text.
  static std::optional<CommandLine> Parse(const QStringList& arguments, const QStringList& valueOptions,
                                          const QStringList& multiValueOptions, const QStringList& flagOptions,
                                          QString& error);
};

}  // namespace ondrelle::cli
