#pragma once
// The web share: a page whose image reloads itself, and a fresh JPEG of the current frame for every
// other request.

#include "webshare_page.h"

#include <QObject>
#include <QString>

#include <functional>

namespace kestrova {

class StreamRequest;
class StreamServer;

// Answers the server's requests: the page from the template, the image through saveStill.
class WebShareResponder final : public QObject {
    Q_OBJECT
public:
    struct Sources {
        QString templateFile;  // "webshare.html"
        QString imageFile;     // AppFolder + "qorb-stream.jpg"
        QString homePage;
        std::function<void(const QString& file, int quality)> saveStill;
        std::function<int()> quality;
    };
    WebShareResponder(StreamServer& server, Sources sources, QObject* parent = nullptr);

signals:
    // "Streaming.", "Streaming..", "Streaming": they cycle with every image request.
    void statusText(const QString& text);

private:
    void answer(StreamRequest* request);

    StreamServer& server_;
    Sources sources_;
};

}  // namespace kestrova
