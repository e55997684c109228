#include "jpeg.h"

#include "core/translate.h"
#include "platform/jpeg_encoder.h"
#include "platform/prompts.h"

namespace kestrova {

JpegStatus& JpegStatusSignals() {
    static JpegStatus status;
    return status;
}

bool EncodeDibToJpeg(const cDIBSection& dib, const QString& fileName, int quality) {
    const JpegResult result = EncodeJpegFile(dib.view(), fileName, quality);
    switch (result.status) {
    case JpegResult::Ok: return true;
    case JpegResult::InitFailed:
        MsgBox(QStringLiteral("Failed to initialise the IJL library: ") + QString::number(result.code),
               PromptIcon::Exclamation);
        return false;
    case JpegResult::WriteFailed: break;
    }
    MsgBox(QStringLiteral("Failed to save to JPG"), PromptIcon::Exclamation);
    return false;
}

void WriteJpegFile(const QImage& picture, const QString& fileName, int quality) {
    cDIBSection dib;
    dib.ClearUp();
    dib.CreateFromPicture(picture);
    if (!EncodeDibToJpeg(dib, fileName, quality)) {
        emit JpegStatusSignals().statusText(Translate(QStringLiteral("Error writing ")) + fileName +
                                            Translate(QStringLiteral("JPEG File.")));
    }
}

}  // namespace kestrova
