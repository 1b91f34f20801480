#include "scene/frame_worker.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// What the jobs of one post did, and which thread ran them.
struct Jobs {
  static constexpr int kCount = 3;
  std::atomic<int> runs[kCount] = {};
  std::atomic<int> byWorker{0};
  DWORD caller = GetCurrentThreadId();
  // When set, the caller's jobs wait (up to kWaitMs) until the worker has
  // run one, so that the worker is sure to take part.
  bool holdCaller = false;
  // When set, the worker's jobs take kSlowMs, so that the caller must wait.
  bool slowWorker = false;
  std::atomic<bool> timedOut{false};

  static constexpr int kWaitMs = 10000;
  static constexpr int kSlowMs = 30;

  static void Run(void* context, int index) {
    auto* self = static_cast<Jobs*>(context);
    const bool onWorker = GetCurrentThreadId() != self->caller;
    if (onWorker && self->slowWorker) Sleep(kSlowMs);
    if (!onWorker && self->holdCaller) {
      const DWORD start = GetTickCount();
      while (self->byWorker.load() == 0 && !self->timedOut) {
        if (GetTickCount() - start > kWaitMs) self->timedOut = true;
        Sleep(1);
      }
    }
    self->runs[index].fetch_add(1);
    if (onWorker) self->byWorker.fetch_add(1);
  }
  bool EachRanOnce() const {
    for (const auto& r : runs)
      if (r.load() != 1) return false;
    return true;
  }
};

}  // namespace

TEST(FrameWorker, EveryJobRunsOnceOnEitherThreadAndFinishWaitsForAll) {
  FrameWorker worker(FrameWorker::Thread::kAlways);
  ASSERT_TRUE(worker.HasThread());
  // Many posts in a row: each is whole when Finish returns, whoever ran what.
  for (int post = 0; post < 300; ++post) {
    Jobs jobs;
    jobs.slowWorker = post % 50 == 0;
    worker.Post(Jobs::Run, &jobs, Jobs::kCount);
    worker.Finish();
    ASSERT_TRUE(jobs.EachRanOnce()) << "post " << post;
  }
  // The worker takes part: the caller's job waits for one of the worker's.
  Jobs shared;
  shared.holdCaller = true;
  worker.Post(Jobs::Run, &shared, Jobs::kCount);
  worker.Finish();
  EXPECT_FALSE(shared.timedOut);
  EXPECT_GE(shared.byWorker.load(), 1);
  EXPECT_TRUE(shared.EachRanOnce());
}

TEST(FrameWorker, AWorkerThatHasNotWokenNeverHoldsTheFrameUp) {
  FrameWorker worker(FrameWorker::Thread::kHeld);
  ASSERT_TRUE(worker.HasThread());
  worker.Finish();  // nothing posted: returns at once
  for (int post = 0; post < 3; ++post) {
    Jobs jobs;
    worker.Post(Jobs::Run, &jobs, Jobs::kCount);
    worker.Finish();  // the caller runs them all and withdraws the post
    EXPECT_TRUE(jobs.EachRanOnce());
    EXPECT_EQ(jobs.byWorker.load(), 0);
  }
  // Released, with the wake-ups of the withdrawn posts still pending: a post
  // is still whole when Finish returns.
  worker.Release();
  for (int post = 0; post < 20; ++post) {
    Jobs jobs;
    jobs.slowWorker = true;
    worker.Post(Jobs::Run, &jobs, Jobs::kCount);
    worker.Finish();
    ASSERT_TRUE(jobs.EachRanOnce()) << "post " << post;
  }
}
