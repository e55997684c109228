#include "capture_modes.h"

#include "core/translate.h"

namespace kestrova {

ModeLayout LayoutForMode(const QString& mode, const ToolbarTicks& ticks) {
    ModeLayout layout;
    layout.operationShown = ticks[1];
    auto showBand = [&](const char* band, int item) {
        if (ticks[item]) layout.modeBand = QString::fromLatin1(band);
    };
    const QString recordCaption = Translate(QStringLiteral("Rec/Stop"));
    if (mode == QLatin1String("movie")) {
        layout.recordImage = QStringLiteral("record");
        layout.recordCaption = recordCaption;
        showBand("movie", 2);
        layout.enableItems[2] = layout.enableItems[1] = layout.enableItems[7] = true;
        layout.statusPanel = ticks[7];
    } else if (mode == QLatin1String("image")) {
        layout.recordImage = QStringLiteral("pause");
        layout.recordCaption = Translate(QStringLiteral("Capture"));
        showBand("image", 3);
        layout.enableItems[3] = layout.enableItems[1] = true;
        layout.enableItems[7] = false;
        layout.statusPanel = false;
    } else if (mode == QLatin1String("webshare")) {
        layout.webShare = true;
        layout.operationShown = false;
        layout.enableItems[6] = true;
        showBand("webshare", 6);
        layout.enableItems[1] = layout.enableItems[7] = false;
        layout.statusPanel = false;
    } else if (mode == QLatin1String("multiple")) {
        layout.recordImage = QStringLiteral("record");
        layout.recordCaption = recordCaption;
        showBand("multiple", 4);
        layout.enableItems[4] = layout.enableItems[1] = layout.enableItems[7] = true;
        layout.statusPanel = ticks[7];
    } else if (mode == QLatin1String("avibuilder")) {
        layout.operationShown = false;
        showBand("avibuilder", 5);
        layout.enableItems[5] = true;
        layout.enableItems[1] = false;
        layout.enableItems[7] = true;
        layout.statusPanel = ticks[7];
    }
    return layout;
}

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

QString OverwriteQuestionText(const QString& fileName) {
    return QStringLiteral("The file ") + fileName + QStringLiteral(" already exists. Do you want to replace the existing file ?");
}

}  // namespace kestrova
