#pragma once
// "What Codec...": names the codec an AVI file needs; CodecName looks codes up in "codec.vc".

#include <QByteArray>
#include <QString>

#include <optional>

namespace kestrova {

// The display name of a codec from "codec.vc". A missing file shows "ERROR C100: ..." and gives an
// empty name, a file without the right first field "ERROR C101: ..." and "Error".
QString CodecName(const QByteArray& code);

// What "What Codec..." says of a file; nothing for a file that is not a standard AVI.
std::optional<QString> WhatCodecMessage(const QString& path);

// Asks for a movie and shows its message.
void WhatCodec();

}  // namespace kestrova
