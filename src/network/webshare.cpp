#include "webshare.h"

#include "core/text_files.h"
#include "core/translate.h"
#include "platform/stream_server.h"

#include <QFile>

namespace kestrova {

WebShareResponder::WebShareResponder(StreamServer& server, Sources sources, QObject* parent)
    : QObject(parent), server_(server), sources_(std::move(sources)) {
    connect(&server_, &StreamServer::requestReceived, this, &WebShareResponder::answer);
}

void WebShareResponder::answer(StreamRequest* request) {
    const QString text = request->text();
    if (IsPageRequest(text)) {
        // Read afresh for every page, so an edited template shows at the next reload.
        QFile file(sources_.templateFile);
        const QString page = file.open(QIODevice::ReadOnly) ? DecodeText(file.readAll()) : QString();
        const int port = server_.boundPort();
        const QString self = server_.localAddress() + (port == 80 ? QString() : u':' + QString::number(port));
        request->sendText(PageReply(text, page, QDate::currentDate(), self, sources_.homePage));
        return;
    }
    // The picture file is written and read within this one answer, so no other request sees it half
    // made; the status texts show on the next turn of the loop.
    emit statusText(Translate(QStringLiteral("Streaming.")));
    QFile::remove(sources_.imageFile);
    sources_.saveStill(sources_.imageFile, sources_.quality());
    emit statusText(Translate(QStringLiteral("Streaming..")));
    request->sendFile(sources_.imageFile);
    emit statusText(Translate(QStringLiteral("Streaming")));
}

}  // namespace kestrova
