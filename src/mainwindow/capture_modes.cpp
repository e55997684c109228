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

QString OverwriteQuestionText(const QString& fileName) {
    return QStringLiteral("The file ") + fileName + QStringLiteral(" already exists. Do you want to replace the existing file ?");
}

}  // namespace kestrova
