#pragma once

// Sanitized builds run several times slower than the shipped one: bounds on elapsed time that
// catch work done twice scale with them rather than fail on the instrumentation.
#if defined(__SANITIZE_ADDRESS__)
#define OVTEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OVTEST_SANITIZED 1
#endif
#endif

namespace ovtest {
#ifdef OVTEST_SANITIZED
inline constexpr int kSlowdown = 10;
#else
inline constexpr int kSlowdown = 1;
#endif
}  // namespace ovtest
