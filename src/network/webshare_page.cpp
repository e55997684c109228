#include "webshare_page.h"

#include <QRegularExpression>
#include <QStringList>

namespace kestrova {

bool IsPageRequest(const QString& request) { return request.contains(QLatin1String("GET / HTTP")); }

QByteArray PageHeader(const QDate& today) {
    return "HTTP/1.1 200 OK\r\nServer: Video Kestrova\r\nDate: " + today.toString(QStringLiteral("MM-dd-yyyy")).toLatin1() +
           "\r\nStatus: 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n";
}

QString RequestHost(const QString& request, const QString& fallback) {
    // The line that begins with "Host:": an "X-Forwarded-Host:" before it is another field.
    for (const QString& line : request.split(u'\n')) {
        if (!line.startsWith(QLatin1String("Host:"), Qt::CaseInsensitive)) continue;
        const QString host = line.mid(5).trimmed();
        // Anchored to the very end: "$" alone would let a trailing line break through.
        static const QRegularExpression plain(QRegularExpression::anchoredPattern(
            QStringLiteral("([A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)*|\\[[0-9A-Fa-f:.]+\\])(:[0-9]{1,5})?")));
        return plain.match(host).hasMatch() ? host : fallback;
    }
    return fallback;
}

QString WebShareBlock(const QString& host, const QString& homePage) {
    const QString address = QStringLiteral("\"http://") + host + QStringLiteral("/live\"");
    const QStringList lines = {
        QStringLiteral("<SCRIPT LANGUAGE=\"Javascript\"><!--"),
        QStringLiteral("function reloadCam()"),
        QStringLiteral("{reload = new Date();"),
        QStringLiteral("reload = \"?\"+reload.getTime();"),
        QStringLiteral("document.images[\"webcambuild\"].src = ") + address + QStringLiteral("+reload;"),
        QStringLiteral("window.status = 'Powered by: Video Kestrova (") + homePage + QStringLiteral(")'}"),
        QStringLiteral("//--></SCRIPT>"),
        QStringLiteral("<IMG NAME=\"webcambuild\" SRC=") + address +
            QStringLiteral(" ALT=\"Live Image...\" BORDER=0 onLoad=\"reloadCam()\"></center>"),
        QStringLiteral("<SCRIPT LANGUAGE=\"Javascript\">"),
        QStringLiteral("<!--"),
        QStringLiteral("reloadCam();"),
        QStringLiteral("//--></SCRIPT>"),
    };
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QString JoinTemplateFields(const QString& text) {
    QString page;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto lineBreak = [&](qsizetype at) { return text[at] == u'\r' || text[at] == u'\n'; };
    while (i < n) {
        while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
        if (i < n && text[i] == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            page += text.mid(i + 1, close < 0 ? -1 : close - i - 1);
            i = close < 0 ? n : close + 1;
            // What follows the closing quote up to the field's end is not part of the field.
            while (i < n && text[i] != u',' && !lineBreak(i)) ++i;
        } else {
            while (i < n && text[i] != u',' && !lineBreak(i)) page += text[i++];
        }
        if (i < n) ++i;  // the comma or line break that ended the field
    }
    return page;
}

QByteArray PageReply(const QString& request, const QString& templateText, const QDate& today, const QString& fallbackHost,
                     const QString& homePage) {
    QString page = JoinTemplateFields(templateText);
    page.replace(QLatin1String("<%webshare%>"), WebShareBlock(RequestHost(request, fallbackHost), homePage));
    return PageHeader(today) + page.toUtf8();
}

}  // namespace kestrova
