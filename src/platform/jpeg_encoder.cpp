#include "jpeg_encoder.h"

#include "core/text_files.h"

#include <turbojpeg.h>

#include <algorithm>
#include <memory>

namespace kestrova {

namespace {

struct HandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};
struct BufferFree {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

}  // namespace

QByteArray EncodeJpeg(const PictureView& picture, int quality, JpegResult* result) {
    JpegResult local;
    JpegResult& outcome = result ? *result : local;
    outcome = JpegResult{};
    std::unique_ptr<void, HandleCloser> handle(tjInitCompress());
    if (!handle) {
        outcome = JpegResult{JpegResult::InitFailed, -1, {}};
        return {};
    }
    if (!picture.isValid()) {
        outcome.status = JpegResult::WriteFailed;
        return {};
    }
    quality = std::clamp(quality, 1, 100);
    // Room for the worst case up front, so that the library never reallocates while encoding.
    const unsigned long capacity = tjBufSize(picture.width, picture.height, TJSAMP_420);
    std::unique_ptr<unsigned char, BufferFree> buffer(tjAlloc(int(capacity)));
    unsigned char* out = buffer.get();
    unsigned long size = capacity;
    const int flags = TJFLAG_NOREALLOC | (picture.bottomUp ? TJFLAG_BOTTOMUP : 0);
    if (!out || tjCompress2(handle.get(), picture.bits, picture.width, picture.stride, picture.height, TJPF_BGR, &out,
                            &size, TJSAMP_420, quality, flags) != 0) {
        outcome.status = JpegResult::WriteFailed;
        return {};
    }
    return QByteArray(reinterpret_cast<const char*>(out), qsizetype(size));
}

JpegResult EncodeJpegFile(const PictureView& picture, const QString& fileName, int quality, Durability durability) {
    JpegResult result;
    const QByteArray bytes = EncodeJpeg(picture, quality, &result);
    if (result.status == JpegResult::Ok && !WriteFileAtomically(fileName, bytes, false, &result.reason, durability)) {
        result.status = JpegResult::WriteFailed;
    }
    return result;
}

}  // namespace kestrova
