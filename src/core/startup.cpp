#include "startup.h"

#include "folders.h"
#include "global_state.h"
#include "number_forms.h"
#include "settings.h"
#include "translate.h"
#include "version.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QTime>

#include <clocale>
#include <csignal>

namespace kestrova {

namespace {
const QString startSection = QStringLiteral("Video Kestrova");
}

void PrepareApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("kestrova"));
    QCoreApplication::setOrganizationName(QStringLiteral("kestrova"));
    // Qt takes the user's locale for everything; numbers in files and in FFmpeg options stay "C".
    std::setlocale(LC_NUMERIC, "C");
    // A file size limit (ulimit -f) is a write that fails, ending a movie with its reason, rather
    // than a signal that kills the program with the movie unfinished.
    std::signal(SIGXFSZ, SIG_IGN);
}

QString BuildVersionText(const QString& title, int major, int minor, int revision) {
    return title + u' ' + Translate(QStringLiteral("Version")) + SignColumn(double(major)) + u'.' +
           FormatMask(minor, QStringLiteral("#00")) + u' ' + Translate(QStringLiteral("Build")) + u' ' +
           FormatMask(revision, QStringLiteral("#"));
}

void SetStartDefaults() {
    Vars.VersionText = BuildVersionText(SettingsAppTitle(), build::VersionMajor, build::VersionMinor,
                                        build::VersionRevision);
    Vars.HomePageAddress = QStringLiteral("https://kestrova.example.org/");
    Vars.AppFolder = ResolveAppFolder();
    Vars.NewerWindows = IsNewerWindows(WindowsVersion());
    Vars.PreviewRate = 10;
    Vars.AutostartHours = 0;
    Vars.AutostartMinutes = 0;
    Vars.AutostartSeconds = 10;
    Vars.CaptureFileName = Vars.AppFolder + QStringLiteral("kestrova.avi");
}

void WriteStartSettings() {
    const QLocale locale = QLocale::system();
    SaveSetting(SettingsAppKestrova, startSection, QStringLiteral("Version"),
                QString::number(build::VersionMajor) + u'.' + QString::number(build::VersionMinor));
    SaveSetting(SettingsAppKestrova, startSection, QStringLiteral("Build"), QString::number(build::VersionRevision));
    SaveSetting(SettingsAppKestrova, startSection, QStringLiteral("Path"), Vars.AppFolder);
    SaveSetting(SettingsAppKestrova, startSection, QStringLiteral("Date"),
                locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    SaveSetting(SettingsAppKestrova, startSection, QStringLiteral("Time"),
                locale.toString(QTime::currentTime(), QLocale::LongFormat));
}

void ReadStartPreferences() {
    Vars.AVIInfo[7] = GetSetting(SettingsAppVC, QStringLiteral("VC"), QStringLiteral("PUMV"));
    Vars.AVIInfo[8] = GetSetting(SettingsAppVC, QStringLiteral("VC"), QStringLiteral("AP"));
    Vars.AVIInfo[9] = GetSetting(SettingsAppVC, QStringLiteral("VC"), QStringLiteral("ES"), QStringLiteral("1"));
    Vars.JpegQuality = ValInt(GetSetting(SettingsAppVC, QStringLiteral("JPEG"), QStringLiteral("Compression"),
                                         QStringLiteral("100")));
    Vars.MotionTolerance = short(ValInt(GetSetting(SettingsAppVC, QStringLiteral("MD"), QStringLiteral("SENSE"),
                                                   QStringLiteral("5"))));
}

}  // namespace kestrova
