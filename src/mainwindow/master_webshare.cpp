// The web share band: the port, the picture quality, the page address and the streaming status;
// the server goes on with the "webshare" mode and off with every other.

#include "master.h"

#include "capture/video_screen.h"
#include "core/folders.h"
#include "core/global_state.h"
#include "core/settings.h"
#include "core/translate.h"
#include "network/webshare.h"
#include "platform/stream_server.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolBar>

namespace kestrova {

namespace {

const QString WebShareSection = QStringLiteral("WebShare");
constexpr int DesignQuality = 75;

}  // namespace

void Master::buildWebShareBar() {
    QToolBar* bar = addBand(QStringLiteral("webshare"), Translate(QStringLiteral("Web Share")));
    auto* panel = new QWidget(bar);
    panel->setObjectName(QStringLiteral("WebSharePanel"));
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 0, 4, 0);
    webSharePortBox_ = new QLineEdit(QStringLiteral("80"), panel);
    webSharePortBox_->setObjectName(QStringLiteral("WebShare_Port"));
    webSharePortBox_->setMaximumWidth(70);
    webShareQuality_ = new QSlider(Qt::Horizontal, panel);
    webShareQuality_->setObjectName(QStringLiteral("WebShare_Quality"));
    webShareQuality_->setRange(1, 100);
    webShareQuality_->setValue(DesignQuality);
    webShareQuality_->setToolTip(Translate(QStringLiteral("Image Quality")));
    webShareUrl_ = new QLabel(panel);
    webShareUrl_->setObjectName(QStringLiteral("WebShare_Url"));
    webShareUrl_->setCursor(Qt::PointingHandCursor);
    webShareStatus_ = new QLabel(Translate(QStringLiteral("Stand by")), panel);
    webShareStatus_->setObjectName(QStringLiteral("Labels_14"));
    grid->addWidget(new QLabel(Translate(QStringLiteral("Streaming Port:")), panel), 0, 0);
    grid->addWidget(webSharePortBox_, 1, 0);
    grid->addWidget(new QLabel(Translate(QStringLiteral("Image Quality")), panel), 0, 1);
    grid->addWidget(webShareQuality_, 1, 1);
    grid->addWidget(webShareUrl_, 0, 2);
    grid->addWidget(webShareStatus_, 1, 2);
    grid->setColumnStretch(2, 1);
    bar->addWidget(panel);

    stream_ = new StreamServer(this);
    WebShareResponder::Sources sources;
    sources.templateFile = DataFilePath(QStringLiteral("webshare.html"));
    sources.imageFile = Vars.AppFolder + QStringLiteral("qorb-stream.jpg");
    sources.homePage = Vars.HomePageAddress;
    sources.saveStill = [this](const QString& file, int quality) { videoScreen_->SaveStill(file, quality, false); };
    sources.quality = [this] { return webShareQuality_->value(); };
    auto* responder = new WebShareResponder(*stream_, sources, this);
    connect(responder, &WebShareResponder::statusText, webShareStatus_, &QLabel::setText);
    // Applied when the editing ends (Enter, or the box losing the focus): every keystroke of "8080"
    // would open 8, 80 and 808 on the way.
    connect(webSharePortBox_, &QLineEdit::editingFinished, this, [this] {
        const int port = webSharePortBox_->text().toInt();
        if (Vars.CaptureMode != QLatin1String("webshare")) {
            stream_->setPort(port);
            return;
        }
        if (port == stream_->port() && stream_->active()) return;
        switchWebShare(false);
        switchWebShare(true, port);
    });
}

void Master::loadWebShareSettings() {
    webSharePortBox_->setText(GetSetting(SettingsAppTitle(), WebShareSection, QStringLiteral("Port"), QStringLiteral("80")));
    // The server takes the box's port at once, so that closing stores it even if the mode never ran.
    stream_->setPort(webSharePortBox_->text().toInt());
    webShareQuality_->setValue(
        GetSetting(SettingsAppTitle(), WebShareSection, QStringLiteral("Quality"), QString::number(webShareQuality_->value()))
            .toInt());
}

void Master::storeWebShareSettings() {
    SaveSetting(SettingsAppTitle(), WebShareSection, QStringLiteral("Port"), QString::number(stream_->port()));
    SaveSetting(SettingsAppTitle(), WebShareSection, QStringLiteral("Quality"), QString::number(webShareQuality_->value()));
}

void Master::switchWebShare(bool on, int port) {
    if (port >= 0) stream_->setPort(port);
    if (!on) {
        stream_->setActive(false);
        return;
    }
    if (stream_->setActive(true)) {
        webShareStatus_->setText(Translate(QStringLiteral("Stand by")));
    } else {
        webShareStatus_->setText(Translate(QStringLiteral("Cannot listen on port ")) + QString::number(stream_->port()) +
                                 QStringLiteral(": ") + stream_->errorString());
    }
}

bool Master::webShareOn() const { return stream_->active(); }

int Master::webSharePort() const { return stream_->port(); }

StreamServer& Master::stream() const { return *stream_; }

QString Master::webShareAddress() const {
    const int port = stream_->active() ? stream_->boundPort() : stream_->port();
    return QStringLiteral("http://") + stream_->localAddress() + (port == 80 ? QString() : u':' + QString::number(port));
}

}  // namespace kestrova
