#include "scan_command.h"

#include "cli.h"
#include "options.h"

#include "core/number_forms.h"
#include "core/settings.h"
#include "platform/image_view.h"
#include "platform/picture_writer.h"
#include "platform/scanner_library.h"

#include <QThread>

#include <cstdio>

namespace kestrova::cli {

namespace {

int fail(int status, const QString& text) { return SayFailure("scan", status, text); }

int list() {
    const ScannerList found = ListScanners();
    if (!found.error.isEmpty()) return fail(ExitFailed, QStringLiteral("the scanner library cannot start: ") + found.error);
    for (const ScannerDevice& device : found.devices) {
        const QByteArray line = QStringList{device.name, device.vendor, device.model, device.type}.join(u'\t').toUtf8() + '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    }
    return ExitOk;
}

}  // namespace

int RunScanCommand(const QStringList& arguments) {
    QString error;
    const auto options = ParseOptions(arguments, {"out", "device", "quality", "option"}, {"list"}, error);
    if (!options) return fail(ExitUsage, error);
    if (!options->positional.isEmpty()) return fail(ExitUsage, QStringLiteral("unexpected %1").arg(options->positional.front()));
    if (options->has("list")) return list();
    const QString out = options->value("out");
    if (out.isEmpty()) return fail(ExitUsage, QStringLiteral("usage: scan --list | scan --out FILE [--device NAME]"));
    int quality = ValInt(GetSetting(SettingsAppVC, "JPEG", "Compression", "100"));
    if (options->has("quality")) {
        const auto given = ParseInt(options->value("quality"), 1, 100);
        if (!given) return fail(ExitUsage, QStringLiteral("--quality takes 1 to 100"));
        quality = *given;
    }
    ScanOptions settings;
    for (const QString& option : options->values.value(QStringLiteral("option"))) {
        const qsizetype equals = option.indexOf(u'=');
        if (equals <= 0) return fail(ExitUsage, QStringLiteral("--option takes NAME=VALUE, such as resolution=150"));
        settings.emplace_back(option.left(equals), option.mid(equals + 1));
    }

    std::atomic<int> percent{0};
    ScanOutcome outcome;
    QThread* worker = QThread::create([&] { outcome = ScanPicture(options->value("device"), settings, nullptr, &percent); });
    worker->start();
    int shown = -1;
    while (!worker->wait(200)) {
        if (percent.load() != shown) {
            shown = percent.load();
            std::fprintf(stderr, "scanning: %d%%\r", shown);
        }
    }
    delete worker;
    if (shown >= 0) std::fprintf(stderr, "\n");
    if (outcome.picture.isNull()) return fail(ExitFailed, ScanFailureText(outcome));
    const QImage picture = outcome.picture.convertToFormat(QImage::Format_BGR888);
    QString why;
    if (!WritePicture(ViewOf(picture), out, quality, 24, &why)) return fail(ExitFailed, QStringLiteral("cannot write %1: %2").arg(out, why));
    return ExitOk;
}

}  // namespace kestrova::cli
