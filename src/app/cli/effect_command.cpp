#include "effect_command.h"

#include "cli.h"
#include "imaging/dib.h"
#include "imaging/effects.h"


namespace kestrova::cli {

namespace {

int fail(int status, const QString& text) { return SayFailure("effect", status, text); }

QString effectNames() {
    QStringList names;
    for (const Effect& effect : Effects()) names << QString::fromLatin1(effect.key);
    return names.join(u' ');
}

}  // namespace

int RunEffectCommand(const QStringList& arguments) {
    if (arguments.size() != 3) return fail(ExitUsage, QStringLiteral("usage: effect NAME IN.bmp OUT.bmp"));
    const Effect* effect = FindEffect(arguments[0]);
    if (!effect) {
        return fail(ExitUsage, QStringLiteral("unknown effect \"%1\" (one of: %2)").arg(arguments[0], effectNames()));
    }
    cDib file;
    if (!file.CreateFromFile(arguments[1])) {
        return fail(ExitFailed, QStringLiteral("cannot read %1: %2").arg(arguments[1], file.LoadError()));
    }
    cDib converted;
    const bool trueColour = file.view().isValid();
    if (!trueColour && !ToTrueColour(file, converted)) {
        return fail(ExitFailed, QStringLiteral("cannot read %1: compressed bitmaps are not supported").arg(arguments[1]));
    }
    cDib& picture = trueColour ? file : converted;
    if (!ApplyEffect(*effect, picture.bits(), {})) {
        return fail(ExitFailed, QStringLiteral("not enough memory for %1").arg(arguments[1]));
    }
    QString why;
    if (!picture.WriteToFile(arguments[2], &why)) return fail(ExitFailed, QStringLiteral("cannot write %1: %2").arg(arguments[2], why));
    return ExitOk;
}

}  // namespace kestrova::cli
