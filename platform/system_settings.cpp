#include "platform/system_settings.h"

#include <QSettings>

namespace ondrelle::platform {

std::optional<QString> ReadSystemSetting(const QString& name) {
  QSettings settings(QSettings::NativeFormat, QSettings::SystemScope, kSettingsOrganisation, kSettingsApplication);
  const QVariant value = settings.value(name);
  if (!value.isValid()) return std::nullopt;
  // A value stored with another type than text is taken by its text form.
  return value.toString();
}

}  // namespace ondrelle::platform
