#include "sources.h"

#include <map>

namespace kestrova::media {

std::unique_ptr<Source> CreateSource(const SourceSettings& settings, Interrupt& interrupt) {
    static const std::map<QString, SourceFactory> factories = {
        {QString::fromLatin1(KindTestPattern), NewTestPatternSource},
        {QString::fromLatin1(KindCamera), NewFfmpegSource},
        {QString::fromLatin1(KindLavfi), NewFfmpegSource},
        {QString::fromLatin1(KindStream), NewFfmpegSource},
        {QString::fromLatin1(KindIpCamera), NewIpCameraSource},
    };
    const auto found = factories.find(settings.kind);
    return found == factories.end() ? nullptr : found->second(settings, interrupt);
}

}  // namespace kestrova::media
