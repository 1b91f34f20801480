#include "shell/dismissal_rules.h"

namespace {

std::uint64_t Distance(std::int32_t a, std::int32_t b) {
  std::int64_t d = static_cast<std::int64_t>(a) - b;
  return static_cast<std::uint64_t>(d < 0 ? -d : d);
}

}  // namespace

bool MovedPastThreshold(std::int32_t savedX, std::int32_t savedY, std::int32_t x,
                        std::int32_t y) {
  return Distance(x, savedX) + Distance(y, savedY) > kMouseThreshold;
}

bool WithinRefusalWindow(std::uint32_t lastVerification, std::uint32_t now) {
  if (lastVerification == kNeverVerified) return false;
  return now - lastVerification < kRefusalWindowMs;
}
