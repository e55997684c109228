#pragma once
// The web share: a page whose image reloads itself, and a fresh JPEG of the current frame for every
// other request. The rules are plain functions; WebShareResponder answers the server's requests.

#include <QDate>
#include <QObject>
#include <QString>

#include <functional>

namespace kestrova {

class StreamServer;

// True for a request of the page (the root); every other request gets the image.
bool IsPageRequest(const QString& request);
// The page reply's header lines, with the date as mm-dd-yyyy.
QByteArray PageHeader(const QDate& today);
// The host a browser asked for ("Host:" line). Only a host name or address with an optional port is
// taken; anything else (or no line) gives the fallback, so a request cannot inject into the page.
QString RequestHost(const QString& request, const QString& fallback);
// The script and image block that replaces "<%webshare%>".
QString WebShareBlock(const QString& host, const QString& homePage);
// The template read as comma-separated fields joined with nothing between them.
QString JoinTemplateFields(const QString& text);
// The whole page reply; an unreadable template (null text) gives the header alone.
QByteArray PageReply(const QString& request, const QString& templateText, const QDate& today, const QString& fallbackHost,
                     const QString& homePage);

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
    void answer();

    StreamServer& server_;
    Sources sources_;
};

}  // namespace kestrova
