#pragma once
// The user's own settings store (QSettings' user scope), under the same
// organisation and application as the machine-wide one: the wizard's
// choices that are remembered from one run to the next.

#include <QString>

namespace ondrelle::platform {

/// The switch stored under `name`, or `fallback` when there is none.
bool ReadUserSwitch(const QString& name, bool fallback);
void WriteUserSwitch(const QString& name, bool value);
/// The text stored under `name`, or an empty one when there is none.
QString ReadUserText(const QString& name);
void WriteUserText(const QString& name, const QString& value);

}  // namespace ondrelle::platform
