// libFuzzer target: the web share's handling of what a browser sends and of the page template.
// The bytes are the request head and, after a NUL, the template; the page built from them must
// carry the request's host only when it is a plain host.
#include "network/webshare_page.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    const QString request = QString::fromLatin1(split < 0 ? bytes : bytes.left(split));
    const QString text = split < 0 ? QString() : QString::fromUtf8(bytes.mid(split + 1));
    const QString host = kestrova::RequestHost(request, QStringLiteral("self"));
    for (const QChar c : host) {
        if (c == u'"' || c == u'<' || c == u'>' || c == u'\'' || c.isSpace()) std::abort();
    }
    const QByteArray reply =
        kestrova::PageReply(request, text, QDate(2026, 1, 2), QStringLiteral("self"), QStringLiteral("https://home/"));
    if (!reply.startsWith("HTTP/1.1 200 OK\r\n")) std::abort();
    return kestrova::IsPageRequest(request) ? 1 : 0;
}
