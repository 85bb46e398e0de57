#pragma once
// The machine-wide settings store of the program (the system registry on
// Windows; QSettings' system scope elsewhere), organisation "Quenmere",
// application "Tallowen".

#include <QString>
#include <optional>

namespace ondrelle::platform {

inline constexpr const char* kSettingsOrganisation = "Quenmere";
inline constexpr const char* kSettingsApplication = "Tallowen";

/// The value stored under `name`, as text; nothing when it is absent.
std::optional<QString> ReadSystemSetting(const QString& name);

}  // namespace ondrelle::platform
