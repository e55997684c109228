#pragma once
// The per-user settings store: text values addressed by application, section and key.
// Each application name is one INI file in the user's config folder ("kestrova/<application>.ini"),
// located anew at each call so that a changed XDG_CONFIG_HOME takes effect at once.

#include <QString>

namespace kestrova {

// The four application names the program stores settings under.
inline const QString SettingsAppKestrova = QStringLiteral("KESTROVA");
inline const QString SettingsAppVC = QStringLiteral("VC");
inline const QString SettingsAppVKestrova = QStringLiteral("VKESTROVA");
QString SettingsAppTitle();  // the application title, "Video Kestrova 2009"

// The stored text, or defaultValue when the key is absent or the store cannot be read.
QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue = QString());

// Stores value, creating the file and section as needed. Store errors are ignored.
void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);

// The INI file behind an application name.
QString SettingsFilePath(const QString& application);

}  // namespace kestrova
