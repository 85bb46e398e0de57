#include "platform/user_settings.h"

#include <QSettings>

#include "platform/system_settings.h"

namespace ondrelle::platform {

bool ReadUserSwitch(const QString& name, bool fallback) {
  const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganisation, kSettingsApplication);
  const QVariant value = settings.value(name);
  return value.isValid() ? value.toBool() : fallback;
}

void WriteUserSwitch(const QString& name, bool value) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganisation, kSettingsApplication);
  settings.setValue(name, value);
}

QString ReadUserText(const QString& name) {
  const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganisation, kSettingsApplication);
  return settings.value(name).toString();
}

void WriteUserText(const QString& name, const QString& value) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganisation, kSettingsApplication);
  settings.setValue(name, value);
}

}  // namespace ondrelle::platform
