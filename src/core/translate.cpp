#include "translate.h"

#include "folders.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

namespace kestrova {

namespace {
QTranslator* lookup() {
    static QTranslator* translator = [] {
        auto* t = new QTranslator(QCoreApplication::instance());
        const QString file = DataFilePath(QStringLiteral("kestrova_") + QLocale().name() + QStringLiteral(".qm"));
        if (!QFileInfo::exists(file) || !t->load(file)) {
            delete t;
            return static_cast<QTranslator*>(nullptr);
        }
        return t;
    }();
    return translator;
}
}  // namespace

QString Translate(const QString& text, int) {
    if (QCoreApplication::instance() == nullptr) return text;
    QTranslator* translator = lookup();
    if (translator == nullptr) return text;
    const QString translated = translator->translate("Kestrova", text.toUtf8().constData());
    return translated.isEmpty() ? text : translated;
}

}  // namespace kestrova
