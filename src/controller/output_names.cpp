#include "output_names.h"

#include "core/number_forms.h"
#include "core/translate.h"

namespace kestrova {

QString WithExtension(const QString& fileName, const QString& extension) {
    return fileName.left(qMax(0, fileName.size() - 3)) + extension;
}

CaptureExtension ApplyCaptureExtension(const QString& fileName, bool movieShown, bool imageShown, bool multipleShown,
                                       int multipleImageMode) {
    CaptureExtension result{fileName, std::nullopt};
    auto fit = [&](const QString& extension) {
        result.fileName = WithExtension(result.fileName, extension);
        result.panel = QStringLiteral("Filename: ") + result.fileName;
    };
    if (movieShown) fit(QStringLiteral("avi"));
    if (imageShown) result.panel = QString();
    if (multipleShown) {
        switch (multipleImageMode) {
        case 0: fit(QStringLiteral("avi")); break;
        case 1:
        case 3: fit(QStringLiteral("bmp")); break;
        case 2:
        case 4: fit(QStringLiteral("jpg")); break;
        case 5: result.panel = QString(); break;
        default: break;
        }
    }
    return result;
}

QString SyncedCaptureFileName(const QString& videoFileName, const QString& appFolder) {
    if (videoFileName.toLower() == QLatin1String("error")) return appFolder + QStringLiteral("kestrova.avi");
    return videoFileName;
}

QString MultipleImageFileName(const QString& captureFileName, int outputType, int imageCounter, int counterOffset,
                              const QString& counterMask) {
    const QString base = captureFileName.left(qMax(0, captureFileName.size() - 4));
    const QString number = FormatMask(static_cast<long long>(imageCounter) + counterOffset, counterMask);
    switch (outputType) {
    case 1: return base + number + QStringLiteral(".bmp");
    case 2: return base + number + QStringLiteral(".jpg");
    case 3: return base + QStringLiteral(".bmp");
    case 4: return base + QStringLiteral(".jpg");
    default: return QString();
    }
}

QString StillCaption(bool dvConnected, const QString& dvPosition, const QString& dvTaken) {
    const QString untitled = Translate(QStringLiteral("Untitled"));
    if (!dvConnected) return untitled;
    auto plain = [](QString text) { return text.replace(u':', u'_'); };
    return untitled + QStringLiteral("_DV_") + plain(dvPosition) + u'_' + Translate(QStringLiteral("Taken")) + u' ' + plain(dvTaken);
}

QString ImageCounterPrompt() {
    return Translate(QStringLiteral("Enter the offset on image counter:")) + QStringLiteral("\r\n\r\n") +
           Translate(QStringLiteral("Example: 0000010 to define number of zeros"));
}

ImageCounter ImageCounterFromAnswer(const QString& answer) {
    return {QStringLiteral("#") + QString(answer.size(), u'0'), ValInt(answer)};
}

}  // namespace kestrova
