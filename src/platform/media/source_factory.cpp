#include "sources.h"

#include <map>

namespace kestrova::media {

std::unique_ptr<Source> CreateSource(const SourceSpec& spec, Interrupt& interrupt) {
    static const std::map<QString, SourceFactory> factories = {
        {QString::fromLatin1(KindTestPattern), NewTestPatternSource},
        {QString::fromLatin1(KindCamera), NewFfmpegSource},
        {QString::fromLatin1(KindLavfi), NewFfmpegSource},
        {QString::fromLatin1(KindStream), NewFfmpegSource},
        {QString::fromLatin1(KindIpCamera), NewIpCameraSource},
    };
    const auto found = factories.find(spec.kind);
    return found == factories.end() ? nullptr : found->second(spec, interrupt);
}

}  // namespace kestrova::media
