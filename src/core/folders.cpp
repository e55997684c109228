#include "folders.h"

#include "global_state.h"
#include "number_forms.h"
#include "version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sys/utsname.h>

namespace kestrova {

namespace {
QString withSlash(QString folder) {
    if (!folder.endsWith(u'/')) folder += u'/';
    return folder;
}
}  // namespace

QString ProgramFolderFrom(const QString& applicationFolder) {
    QString folder = withSlash(applicationFolder);
    if (folder.startsWith(QStringLiteral("\\\\?\\"))) folder.remove(0, 4);
    return folder;
}

QString ProgramFolder() { return ProgramFolderFrom(QCoreApplication::applicationDirPath()); }

QString ResolveAppFolder() {
    const QString home = qEnvironmentVariable("KESTROVA_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return withSlash(home);
    }
    // Only a build tree or a portable copy keeps its files beside the program: an installed program's
    // folder is writable by root, yet no place for a user's files.
    const QString program = ProgramFolder();
    if (QFileInfo::exists(program + QStringLiteral("portable"))) return program;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return withSlash(data);
}

QString DataFilePath(const QString& name) {
    const QString local = Vars.AppFolder + name;
    if (QFileInfo::exists(local)) return local;
    const QString beside = ProgramFolder() + name;
    if (QFileInfo::exists(beside)) return beside;
    // An installed program, wherever its prefix was put: P/bin/kestrova finds P/share/kestrova.
    const QString installed = QDir::cleanPath(ProgramFolder() + QStringLiteral("../share/kestrova/") + name);
    if (QFileInfo::exists(installed)) return installed;
    return QString::fromUtf8(build::DataInstallFolder) + name;
}

QString TempFolder() {
    const QString temp = qEnvironmentVariable("temp");
    return withSlash(temp.isEmpty() ? QDir::tempPath() : temp);
}

QString WindowsVersion() {
    utsname name{};
    if (uname(&name) != 0) return QString();
    const auto match = QRegularExpression(QStringLiteral("^(\\d+)\\.(\\d+)")).match(QString::fromLatin1(name.release));
    if (!match.hasMatch()) return QString();
    return QString::number(match.captured(1).toInt()) + u'.' + QString::number(match.captured(2).toInt());
}

bool IsNewerWindows(const QString& version) { return Val(version) > 5.0; }

}  // namespace kestrova
