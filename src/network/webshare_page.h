#pragma once
// The web share's page: which request wants it, the host it names, the script and image block and
// the template read as comma-separated fields. Plain functions on the request text.

#include <QByteArray>
#include <QDate>
#include <QString>

namespace kestrova {

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

}  // namespace kestrova
