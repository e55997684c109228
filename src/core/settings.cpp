#include "settings.h"

#include "version.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace kestrova {

QString SettingsAppTitle() { return QString::fromUtf8(build::ApplicationTitle); }

QString SettingsFilePath(const QString& application) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return folder + QStringLiteral("/kestrova/") + application + QStringLiteral(".ini");
}

namespace {
QString settingsKey(const QString& section, const QString& key) { return section + u'/' + key; }
}  // namespace

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue) {
    const QSettings store(SettingsFilePath(application), QSettings::IniFormat);
    const QVariant value = store.value(settingsKey(section, key));
    if (!value.isValid()) return defaultValue;
    // A hand-edited value with commas reads back as a list; it is still one text.
    if (value.userType() == QMetaType::QStringList) return value.toStringList().join(u',');
    return value.toString();
}

void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value) {
    const QString path = SettingsFilePath(application);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings store(path, QSettings::IniFormat);
    store.setValue(settingsKey(section, key), value);
    store.sync();
}

}  // namespace kestrova
