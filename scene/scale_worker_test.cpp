#include "scene/scale_worker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

// What the worker hands back, checked at the moment it is handed back: the
// rectangle's pixels must already be the whole picture's.
struct HandedBack {
  const std::vector<std::uint8_t>* out;
  const std::vector<std::uint8_t>* whole;
  std::vector<ScaleRect> rects;
  int unfinished = 0;

  static void Take(void* context, const ScaleRect& r) {
    auto* self = static_cast<HandedBack*>(context);
    self->rects.push_back(r);
    for (std::int32_t y = r.y; y < r.y + r.height; ++y)
      for (std::int32_t x = r.x; x < r.x + r.width; ++x)
        for (int c = 0; c < 4; ++c) {
          const std::size_t at = (std::size_t(y) * 90 + x) * 4 + c;
          self->unfinished += (*self->out)[at] != (*self->whole)[at];
        }
  }
};

bool SameRect(const ScaleRect& a, const ScaleRect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

}  // namespace

// Rectangles of all heights (one row, two, odd, even) scaled in bands by
// the worker and this thread together, many times over, equal the whole picture scaled
// at once, and nothing else is written. Each rectangle is handed back once, in order,
// and only when all of it is scaled.
TEST(ScaleWorker, BandsTogetherEqualTheWholePicture) {
  const ScaleGeometry g = {64, 48, 90, 67};
  std::mt19937 random(11);
  std::vector<std::uint8_t> src(64 * 48 * 4);
  for (auto& b : src) b = static_cast<std::uint8_t>(random());
  std::vector<std::uint8_t> whole(90 * 67 * 4);
  ScaleBilinear32(whole.data(), 90 * 4, src.data(), 64 * 4, g, {0, 0, 90, 67});

  ScaleWorker worker;
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  EXPECT_EQ(worker.HasThread(), info.dwNumberOfProcessors >= 2);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::uint8_t> out(whole.size(), 0xA5);
    std::vector<ScaleRect> rects;
    for (int i = 0; i < 1 + round % 5; ++i) {
      const std::int32_t x = random() % 89, y = random() % 66;
      rects.push_back({x, y, 1 + std::int32_t(random() % (90 - x)),
                       1 + std::int32_t(random() % (67 - y))});
    }
    rects.push_back({0, 66, 90, 1});
    HandedBack handed{&out, &whole, {}, 0};
    worker.Scale(ScaleBilinear32, out.data(), 90 * 4, src.data(), 64 * 4, g, rects.data(),
                 static_cast<int>(rects.size()), HandedBack::Take, &handed);
    EXPECT_EQ(handed.unfinished, 0) << "pixels not yet scaled when handed back, round " << round;
    ASSERT_EQ(handed.rects.size(), rects.size()) << round;
    for (std::size_t i = 0; i < rects.size(); ++i)
      EXPECT_TRUE(SameRect(handed.rects[i], rects[i])) << round << " rectangle " << i;
    for (std::int32_t y = 0; y < 67; ++y)
      for (std::int32_t x = 0; x < 90; ++x) {
        bool inside = false;
        for (const ScaleRect& r : rects)
          inside |= x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
        for (int c = 0; c < 4; ++c) {
          const std::size_t at = (std::size_t(y) * 90 + x) * 4 + c;
          ASSERT_EQ(out[at], inside ? whole[at] : 0xA5) << round << " at " << x << "," << y;
        }
      }
  }
  HandedBack none{&whole, &whole, {}, 0};
  worker.Scale(ScaleBilinear32, whole.data(), 90 * 4, src.data(), 64 * 4, g, nullptr, 0,
               HandedBack::Take, &none);
  EXPECT_TRUE(none.rects.empty());
}
