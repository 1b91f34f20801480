#include "scene/scale_worker.h"

#include <gtest/gtest.h>

#include <atomic>
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

// Which thread scaled the bands. The kernel is a plain function, so what it
// reports lives here; each test resets it.
struct BandLog {
  std::atomic<DWORD> caller{0};
  std::atomic<int> byCaller{0};
  std::atomic<int> byWorker{0};  // counted as the worker starts a band
  // When set, the caller's next band waits (up to kWaitMs) until the worker
  // has started one, so that the worker is sure to take bands.
  std::atomic<bool> holdCaller{false};
  // When set, every band of the worker takes kSlowMs longer, so that the
  // caller runs out of bands first and has to wait for the worker's.
  std::atomic<bool> slowWorker{false};
  std::atomic<bool> timedOut{false};

  static constexpr int kWaitMs = 10000;
  static constexpr int kSlowMs = 30;

  void Reset() {
    caller = GetCurrentThreadId();
    byCaller = byWorker = 0;
    holdCaller = slowWorker = timedOut = false;
  }
};
BandLog gBands;

void LoggingKernel(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                   std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r) {
  if (GetCurrentThreadId() != gBands.caller) {
    ++gBands.byWorker;
    if (gBands.slowWorker) Sleep(BandLog::kSlowMs);
    ScaleBilinear32(dst, dstPitch, src, srcPitch, g, r);
    return;
  }
  if (gBands.holdCaller.exchange(false)) {
    int waited = 0;
    while (gBands.byWorker == 0 && waited++ < BandLog::kWaitMs) Sleep(1);
    if (gBands.byWorker == 0) gBands.timedOut = true;
  }
  ScaleBilinear32(dst, dstPitch, src, srcPitch, g, r);
  ++gBands.byCaller;
}

// A 64 x 48 picture scaled to 90 x 67, and the whole of it scaled at once.
class ScaleWorkerTest : public ::testing::Test {
 protected:
  ScaleWorkerTest() : random_(11), src_(64 * 48 * 4), whole_(90 * 67 * 4) {
    for (auto& b : src_) b = static_cast<std::uint8_t>(random_());
    ScaleBilinear32(whole_.data(), 90 * 4, src_.data(), 64 * 4, kGeometry, {0, 0, 90, 67});
    gBands.Reset();
  }

  // count random rectangles (all heights: one row, two, odd, even), then the last row.
  std::vector<ScaleRect> RandomRects(int count) {
    std::vector<ScaleRect> rects;
    for (int i = 0; i < count; ++i) {
      const std::int32_t x = random_() % 89, y = random_() % 66;
      rects.push_back({x, y, 1 + std::int32_t(random_() % (90 - x)),
                       1 + std::int32_t(random_() % (67 - y))});
    }
    rects.push_back({0, 66, 90, 1});
    return rects;
  }

  // Scales rects with kernel through worker: they equal the whole picture and
  // nothing else is written; each is handed back once, in order, and only when
  // all of it is scaled.
  void ExpectScaled(ScaleWorker& worker, ScaleKernel kernel, const std::vector<ScaleRect>& rects,
                    int round) {
    std::vector<std::uint8_t> out(whole_.size(), 0xA5);
    HandedBack handed{&out, &whole_, {}, 0};
    worker.Scale(kernel, out.data(), 90 * 4, src_.data(), 64 * 4, kGeometry, rects.data(),
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
          ASSERT_EQ(out[at], inside ? whole_[at] : 0xA5) << round << " at " << x << "," << y;
        }
      }
  }

  static constexpr ScaleGeometry kGeometry = {64, 48, 90, 67};
  std::mt19937 random_;
  std::vector<std::uint8_t> src_;
  std::vector<std::uint8_t> whole_;
};

}  // namespace

// Rectangles of all heights scaled in bands by the worker and this thread
// together, many times over, equal the whole picture scaled at once. A job of
// no rectangles hands nothing back.
TEST_F(ScaleWorkerTest, BandsTogetherEqualTheWholePicture) {
  ScaleWorker worker;
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  EXPECT_EQ(worker.HasThread(), info.dwNumberOfProcessors >= 2);
  for (int round = 0; round < 20; ++round)
    ExpectScaled(worker, ScaleBilinear32, RandomRects(1 + round % 5), round);
  HandedBack none{&whole_, &whole_, {}, 0};
  worker.Scale(ScaleBilinear32, whole_.data(), 90 * 4, src_.data(), 64 * 4, kGeometry, nullptr,
               0, HandedBack::Take, &none);
  EXPECT_TRUE(none.rects.empty());
}

// A worker whose thread has not woken leaves every band to the caller, who
// withdraws the job and returns, job after job. Once the thread runs, it finds
// the withdrawn jobs gone and takes bands of the next one. A held worker that
// is never let go is still stopped by its destructor.
TEST_F(ScaleWorkerTest, AWorkerThatHasNotWokenHasItsJobsWithdrawn) {
  ScaleWorker worker(ScaleWorker::Thread::kHeld);
  ASSERT_TRUE(worker.HasThread());
  for (int round = 0; round < 5; ++round) {
    const DWORD start = GetTickCount();
    ExpectScaled(worker, LoggingKernel, RandomRects(1 + round), round);
    EXPECT_LT(GetTickCount() - start, 1000u) << "a withdrawn job held the caller, round " << round;
    EXPECT_EQ(gBands.byWorker, 0) << round;
    EXPECT_GE(gBands.byCaller, 2 + round) << round;
  }
  worker.Release();
  gBands.Reset();
  gBands.holdCaller = true;
  ExpectScaled(worker, LoggingKernel, RandomRects(4), 5);
  EXPECT_FALSE(gBands.timedOut) << "the released worker never took a band";
  EXPECT_GT(gBands.byWorker, 0);

  ScaleWorker neverReleased(ScaleWorker::Thread::kHeld);
  gBands.Reset();
  ExpectScaled(neverReleased, LoggingKernel, RandomRects(2), 6);
  EXPECT_EQ(gBands.byWorker, 0);
}

// While the caller is busy with its first band (if the worker, woken at
// once, has left it one) the worker takes one; the worker's bands being slow,
// the caller takes the rest and then waits for the worker's last band before
// it hands the rest back. Round after round, on any machine.
TEST_F(ScaleWorkerTest, TheWorkerTakesBandsWhileTheCallerIsBusy) {
  ScaleWorker worker(ScaleWorker::Thread::kAlways);
  ASSERT_TRUE(worker.HasThread());
  for (int round = 0; round < 10; ++round) {
    gBands.Reset();
    gBands.holdCaller = true;
    gBands.slowWorker = true;
    const std::vector<ScaleRect> rects = RandomRects(1 + round % 4);
    ExpectScaled(worker, LoggingKernel, rects, round);
    EXPECT_FALSE(gBands.timedOut) << "the worker never took a band, round " << round;
    EXPECT_GT(gBands.byWorker, 0) << round;
    EXPECT_GE(gBands.byCaller + gBands.byWorker, int(rects.size())) << round;
  }
}
