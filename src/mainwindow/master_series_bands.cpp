// The multiple-image and AVI builder bands: the output type and the frame rate lists that the load
// fills, and the AVI builder's panel. The multiple-image windows and buttons come with that capture.

#include "master.h"

#include "avitools/avi_builder_panel.h"
#include "core/number_forms.h"
#include "core/translate.h"

#include <QComboBox>
#include <QLabel>
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
    aviBuilder_ = new AviBuilderPanel([this] { return aviBuildFps_->currentText(); }, builder);
    builder->addWidget(aviBuilder_);
    builder->addWidget(new QLabel(Translate(QStringLiteral("Frame Rate:")), builder));
    aviBuildFps_ = list(builder, QStringLiteral("AVIBuildFPS"), QStringLiteral("Frame Rate"));
    aviBuildFps_->setEditable(true);  // the user may type a rate too
    connect(aviBuilder_, &AviBuilderPanel::panelText, this, [this](const QString& key, const QString& text) {
        if (QLabel* panel = statusBarPanel(key)) panel->setText(text);
    });
}

void Master::fillSeriesLists() {
    for (QComboBox* rates : {multipleImageFrameRate_, aviBuildFps_}) {
        rates->clear();
        for (int rate = 1; rate <= 30; ++rate) rates->addItem(SignColumn(double(rate)) + QStringLiteral(" FPS"));
        rates->setCurrentIndex(10);
    }
    multipleImageModeList_->setCurrentIndex(0);
}

void Master::ClearAVIBuilderBuffer() {
    if (aviBuilder_) aviBuilder_->ClearAVIBuilderBuffer();
}

int Master::multipleImageMode() const { return multipleImageModeList_->currentIndex(); }

}  // namespace kestrova
