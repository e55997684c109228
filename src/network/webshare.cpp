#include "webshare.h"

#include "core/text_files.h"
#include "core/translate.h"
#include "platform/stream_server.h"

#include <QCoreApplication>
#include <QFile>

namespace kestrova {

WebShareResponder::WebShareResponder(StreamServer& server, Sources sources, QObject* parent)
    : QObject(parent), server_(server), sources_(std::move(sources)) {
    connect(&server_, &StreamServer::requestReceived, this, &WebShareResponder::answer);
}

void WebShareResponder::answer() {
    const QString request = server_.requestText();
    if (IsPageRequest(request)) {
        // Read afresh for every page, so an edited template shows at the next reload.
        QFile file(sources_.templateFile);
        const QString text = file.open(QIODevice::ReadOnly) ? DecodeText(file.readAll()) : QString();
        const int port = server_.boundPort();
        const QString self = server_.localAddress() + (port == 80 ? QString() : u':' + QString::number(port));
        server_.sendText(PageReply(request, text, QDate::currentDate(), self, sources_.homePage));
        return;
    }
    emit statusText(Translate(QStringLiteral("Streaming.")));
    QCoreApplication::processEvents();
    QFile::remove(sources_.imageFile);
    sources_.saveStill(sources_.imageFile, sources_.quality());
    emit statusText(Translate(QStringLiteral("Streaming..")));
    QCoreApplication::processEvents();
    server_.sendFile(sources_.imageFile);
    emit statusText(Translate(QStringLiteral("Streaming")));
    QCoreApplication::processEvents();
}

}  // namespace kestrova
