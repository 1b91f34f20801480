#pragma once
// The two numeric rules of dismissal: how far the cursor must travel to close
// the saver, and how soon after a refused password another close is refused
// without asking again.

#include <cstdint>

// The cursor must move more than this many pixels, horizontal plus vertical.
constexpr std::uint32_t kMouseThreshold = 4;

// True when (x, y) lies more than the threshold away from (savedX, savedY).
bool MovedPastThreshold(std::int32_t savedX, std::int32_t savedY, std::int32_t x,
                        std::int32_t y);

// A close request that comes less than this long after a verification ended
// is refused without a second password dialog.
constexpr std::uint32_t kRefusalWindowMs = 200;
// The last-verification time before any verification has happened.
constexpr std::uint32_t kNeverVerified = 0xFFFFFFFFu;

// Both times are millisecond tick counts, which wrap modulo 2^32.
bool WithinRefusalWindow(std::uint32_t lastVerification, std::uint32_t now);
