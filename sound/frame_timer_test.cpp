#include "sound/frame_timer.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

constexpr UINT kProbe = WM_APP + 7;

struct Arrival {
  WPARAM tag;
  DWORD at;  // ms after the start of the wait
};

// A message-only window on this thread to post to.
class Target {
 public:
  Target() {
    window_ = CreateWindowExA(0, "STATIC", "frame timer test", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~Target() { DestroyWindow(window_); }
  HWND window() const { return window_; }

  // Collects kProbe messages for ms milliseconds, timed from `start`.
  std::vector<Arrival> Collect(DWORD ms, DWORD start) {
    std::vector<Arrival> got;
    while (timeGetTime() - start < ms) {
      MSG msg;
      while (PeekMessageA(&msg, window_, kProbe, kProbe, PM_REMOVE))
        got.push_back({msg.wParam, timeGetTime() - start});
      Sleep(1);
    }
    return got;
  }

  bool Queued() {
    MSG msg;
    return PeekMessageA(&msg, window_, kProbe, kProbe, PM_NOREMOVE) != 0;
  }

 private:
  HWND window_;
};

std::map<WPARAM, std::vector<DWORD>> ByTag(const std::vector<Arrival>& arrivals) {
  std::map<WPARAM, std::vector<DWORD>> out;
  for (const Arrival& a : arrivals) out[a.tag].push_back(a.at);
  return out;
}

// Each tag must arrive exactly once, no sooner than its delay.
void ExpectEachOnce(const std::vector<Arrival>& arrivals,
                    const std::map<WPARAM, DWORD>& earliest) {
  auto got = ByTag(arrivals);
  EXPECT_EQ(got.size(), earliest.size());
  for (const auto& [tag, when] : earliest) {
    ASSERT_EQ(got[tag].size(), 1u) << "tag " << tag;
    EXPECT_GE(got[tag][0] + 1, when) << "tag " << tag;  // 1 ms of clock granularity
  }
}

}  // namespace

TEST(FrameTimer, ResolutionIsTheLargerOfDeviceMinimumAndRequest) {
  TIMECAPS caps{};
  ASSERT_EQ(timeGetDevCaps(&caps, sizeof caps), static_cast<MMRESULT>(TIMERR_NOERROR));
  FrameTimer timer(5);
  EXPECT_EQ(timer.Resolution(), caps.wPeriodMin > 5 ? caps.wPeriodMin : 5u);
  EXPECT_EQ(timer.LongestPiece(), caps.wPeriodMax);
  FrameTimer fine(0);
  EXPECT_EQ(fine.Resolution(), caps.wPeriodMin);
  EXPECT_EQ(gFrameTimer.Resolution(), timer.Resolution());
}

TEST(FrameTimer, ZeroAndNegativeDelaysPostAtOnceWithoutARecord) {
  Target target;
  FrameTimer timer(5);
  DWORD start = timeGetTime();
  timer.PostAfter(target.window(), kProbe, 1, 0, 0);
  EXPECT_TRUE(target.Queued());
  timer.PostAfter(target.window(), kProbe, 2, 0, -40);
  timer.PostAfter(target.window(), kProbe, 3, 0, INT32_MIN);
  EXPECT_EQ(timer.PendingCount(), 0u);
  ExpectEachOnce(target.Collect(60, start), {{1, 0}, {2, 0}, {3, 0}});
}

TEST(FrameTimer, ShortDelaysWaitOneResolutionPeriod) {
  Target target;
  FrameTimer timer(5);
  DWORD start = timeGetTime();
  timer.PostAfter(target.window(), kProbe, 1, 0, 1);
  timer.PostAfter(target.window(), kProbe, 2, 0, 5);
  timer.PostAfter(target.window(), kProbe, 3, 0, 12);
  EXPECT_EQ(timer.PendingCount(), 3u);
  ExpectEachOnce(target.Collect(150, start), {{1, 5}, {2, 5}, {3, 12}});
  // The next request frees the three finished records.
  timer.PostAfter(target.window(), kProbe, 4, 0, 0);
  EXPECT_EQ(timer.PendingCount(), 0u);
}

TEST(FrameTimer, LongDelaysAreServedInPiecesAndPostOnce) {
  Target target;
  FrameTimer timer(5, 20);
  ASSERT_EQ(timer.LongestPiece(), 20u);
  DWORD start = timeGetTime();
  timer.PostAfter(target.window(), kProbe, 1, 0, 20);  // one piece
  timer.PostAfter(target.window(), kProbe, 2, 0, 21);  // 20 + a last piece of 1 ms
  timer.PostAfter(target.window(), kProbe, 3, 0, 41);  // 20 + 20 + 1
  timer.PostAfter(target.window(), kProbe, 4, 0, 95);  // five pieces
  ExpectEachOnce(target.Collect(300, start), {{1, 20}, {2, 21}, {3, 41}, {4, 95}});
  EXPECT_EQ(timer.ArmedCount(), 0u);
}

TEST(FrameTimer, ATickChainKeepsAtMostTwoRecords) {
  Target target;
  FrameTimer timer(5);
  DWORD start = timeGetTime();
  int received = 0;
  timer.PostAfter(target.window(), kProbe, 0, 0, 10);
  while (received < 15 && timeGetTime() - start < 2000) {
    MSG msg;
    if (PeekMessageA(&msg, target.window(), kProbe, kProbe, PM_REMOVE)) {
      ++received;
      EXPECT_EQ(timer.ArmedCount(), 0u);
      timer.PostAfter(target.window(), kProbe, 0, 0, 10);
      EXPECT_EQ(timer.PendingCount(), 1u);
      EXPECT_EQ(timer.ArmedCount(), 1u);
    }
    Sleep(1);
  }
  EXPECT_EQ(received, 15);
  EXPECT_GE(timeGetTime() - start + 1, 150u);
}

TEST(FrameTimer, DestructionKillsArmedEvents) {
  Target target;
  DWORD start = timeGetTime();
  {
    FrameTimer timer(5, 25);
    timer.PostAfter(target.window(), kProbe, 1, 0, 5);
    timer.PostAfter(target.window(), kProbe, 2, 0, 40);
    timer.PostAfter(target.window(), kProbe, 3, 0, 120);  // a chain of five pieces
    timer.PostAfter(target.window(), kProbe, 4, 0, 0);    // posted before destruction
    Sleep(30);  // the first has fired, the chain is on its second piece
  }
  auto got = ByTag(target.Collect(250, start));
  EXPECT_EQ(got[1].size(), 1u);
  EXPECT_EQ(got[4].size(), 1u);
  EXPECT_EQ(got.count(2), 0u);
  EXPECT_EQ(got.count(3), 0u);
}

TEST(FrameTimer, AnEventThatCannotBeArmedPostsNothing) {
  Target target;
  FrameTimer probe(5);
  // Pieces longer than the device allows: timeSetEvent refuses the first one.
  UINT tooLong = probe.LongestPiece() + 1000;
  FrameTimer timer(5, tooLong);
  DWORD start = timeGetTime();
  timer.PostAfter(target.window(), kProbe, 1, 0, static_cast<std::int32_t>(tooLong));
  EXPECT_EQ(timer.PendingCount(), 1u);
  EXPECT_EQ(timer.ArmedCount(), 0u);
  timer.PostAfter(target.window(), kProbe, 2, 0, 0);
  EXPECT_EQ(timer.PendingCount(), 0u);
  auto got = ByTag(target.Collect(50, start));
  EXPECT_EQ(got.count(1), 0u);
  EXPECT_EQ(got[2].size(), 1u);
}

TEST(FrameTimer, StopwatchesAreReservedLowestFirst) {
  FrameTimer timer(5);
  for (int i = 0; i < FrameTimer::kStopwatches; ++i) EXPECT_EQ(timer.ReserveStopwatch(), i);
  EXPECT_EQ(timer.ReserveStopwatch(), -1);
  EXPECT_EQ(timer.ReserveStopwatch(), -1);
}

// Takes a little over a minute with the device's real longest period, so it
// runs as its own test entry.
TEST(FrameTimer, DISABLED_LongestPeriodAndOneMore) {
  Target target;
  FrameTimer timer(5);
  UINT longest = timer.LongestPiece();
  ASSERT_LT(longest, 120000u) << "this device's longest period is too long to wait for";
  DWORD start = timeGetTime();
  timer.PostAfter(target.window(), kProbe, 1, 0, static_cast<std::int32_t>(longest));
  timer.PostAfter(target.window(), kProbe, 2, 0, static_cast<std::int32_t>(longest + 1));
  ExpectEachOnce(target.Collect(longest + 2000, start), {{1, longest}, {2, longest + 1}});
}
