#include "what_codec.h"

#include "codec_info.h"
#include "core/folders.h"
#include "core/translate.h"
#include "imaging/image_window.h"
#include "platform/prompts.h"

#include <QFileInfo>

namespace kestrova {

QString CodecName(const QByteArray& code) {
    const CodecNameResult result = LookUpCodec(DataFilePath(QStringLiteral("codec.vc")), code);
    if (result.status == CodecLookup::NoFile) MsgBox(QStringLiteral("ERROR C100: Can't find CODEC Information file."));
    if (result.status == CodecLookup::BadFile) MsgBox(QStringLiteral("ERROR C101: Error in Script Alpha."));
    return result.name;
}

std::optional<QString> WhatCodecMessage(const QString& path) {
    const std::optional<QByteArray> handler = AviVideoHandler(path);
    if (!handler) return std::nullopt;
    const QString title = Translate(QStringLiteral("Filename: ")) + QFileInfo(path).fileName() + u'\n';
    if (*handler == QByteArray(4, '\0')) return title + Translate(QStringLiteral("Is not compressed. Codec not required."));
    return title + Translate(QStringLiteral("Compressed with:")) + u'\n' + CodecName(handler->toUpper());
}

void WhatCodec() {
    const QString path = CurrentPrompts().openFile(Translate(QStringLiteral("Open AVI")), QtFileFilter(QStringLiteral("Movie File (*.avi)|*.avi|")), QString());
    if (path.isEmpty()) return;
    if (const std::optional<QString> message = WhatCodecMessage(path)) MsgBox(*message);
}

}  // namespace kestrova
