// The multiple-image and AVI builder bands: the output type and the frame rate lists that the load
// fills. Their windows and buttons come with the multiple-image capture and the AVI builder.

#include "master.h"

#include "core/number_forms.h"
#include "core/translate.h"

#include <QComboBox>
#include <QToolBar>

namespace kestrova {

namespace {

QComboBox* list(QToolBar* bar, const QString& name, const QString& tooltip) {
    auto* box = new QComboBox(bar);
    box->setObjectName(name);
    box->setToolTip(Translate(tooltip));
    bar->addWidget(box);
    return box;
}

}  // namespace

void Master::buildSeriesBands() {
    QToolBar* multiple = addBand(QStringLiteral("multiple"), Translate(QStringLiteral("Multiple Image Capture")));
    multipleImageModeList_ = list(multiple, QStringLiteral("MultipleImageMode"), QStringLiteral("File type selection"));
    for (const char* caption : {"Movie file (.AVI)", "Multiple Bitmap file (.BMP)", "Multiple JPEG file (.JPG)",
                                "Refresh Same Bitmap file (.BMP)", "Refresh Same JPEG file (.JPG)", "Put On Clipboard!"}) {
        multipleImageModeList_->addItem(Translate(QString::fromLatin1(caption)));
    }
    multipleImageFrameRate_ = list(multiple, QStringLiteral("MultipleImageFrameRate"), QStringLiteral("Frame Rate for Movie Viewer"));
    QToolBar* builder = addBand(QStringLiteral("avibuilder"), Translate(QStringLiteral("Avi Builder")));
    aviBuildFps_ = list(builder, QStringLiteral("AVIBuildFPS"), QStringLiteral("Frame Rate"));
}

void Master::fillSeriesLists() {
    for (QComboBox* rates : {multipleImageFrameRate_, aviBuildFps_}) {
        rates->clear();
        for (int rate = 1; rate <= 30; ++rate) rates->addItem(SignColumn(double(rate)) + QStringLiteral(" FPS"));
        rates->setCurrentIndex(10);
    }
    multipleImageModeList_->setCurrentIndex(0);
}

int Master::multipleImageMode() const { return multipleImageModeList_->currentIndex(); }

}  // namespace kestrova
