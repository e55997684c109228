#pragma once
// Whether this build runs under ThreadSanitizer: it runs code several times slower and holds shadow
// memory beside every byte, so real-time and memory bounds do not hold there.

namespace kestrova::test {

#if defined(__SANITIZE_THREAD__)
inline constexpr bool UnderThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
inline constexpr bool UnderThreadSanitizer = true;
#else
inline constexpr bool UnderThreadSanitizer = false;
#endif
#else
inline constexpr bool UnderThreadSanitizer = false;
#endif

}  // namespace kestrova::test
