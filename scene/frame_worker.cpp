#include "scene/frame_worker.h"

#include "scene/worker_thread.h"

FrameWorker::FrameWorker(Thread thread) : thread_(thread, ThreadMain, this) {}

FrameWorker::~FrameWorker() {
  if (!thread_.Running()) return;
  state_.store(State::kStopping);
  thread_.Stop();
}

DWORD WINAPI FrameWorker::ThreadMain(void* self) {
  auto* worker = static_cast<FrameWorker*>(self);
  while (worker->thread_.WaitForWork()) {
    if (worker->state_.load(std::memory_order_acquire) == State::kStopping) break;
    // A post the caller has withdrawn (or finished alone) is not touched.
    State posted = State::kPosted;
    if (!worker->state_.compare_exchange_strong(posted, State::kWorking,
                                                std::memory_order_acquire))
      continue;
    worker->TakeJobs();
    worker->state_.store(State::kIdle, std::memory_order_release);
    worker->thread_.SignalDone();
  }
  return 0;
}

void FrameWorker::TakeJobs() {
  for (;;) {
    // Relaxed: the jobs were put in place before the post was published.
    const int index = next_.fetch_add(1, std::memory_order_relaxed);
    if (index >= count_) return;
    job_(context_, index);
  }
}

void FrameWorker::Post(Job job, void* context, int count) {
  job_ = job;
  context_ = context;
  count_ = count > 0 ? count : 0;
  next_.store(0, std::memory_order_relaxed);
  if (!thread_.Running() || count_ == 0) return;
  posted_ = true;
  // Release: the post is in place before the worker can see it.
  state_.store(State::kPosted, std::memory_order_release);
  thread_.Wake();
}

void FrameWorker::Finish() {
  TakeJobs();
  if (!posted_) return;
  posted_ = false;
  // The worker never woke: withdraw the post (every job has run here).
  // Otherwise wait for it to be done (at once when it already is).
  State posted = State::kPosted;
  if (!state_.compare_exchange_strong(posted, State::kIdle, std::memory_order_acq_rel))
    thread_.WaitDone();
}
