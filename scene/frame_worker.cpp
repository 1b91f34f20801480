#include "scene/frame_worker.h"

void FrameWorker::TakeJobs(void* self) {
  auto* w = static_cast<FrameWorker*>(self);
  for (;;) {
    // Relaxed: the jobs were put in place before the post was published.
    const int index = w->next_.fetch_add(1, std::memory_order_relaxed);
    if (index >= w->count_) return;
    w->job_(w->context_, index);
  }
}

void FrameWorker::Post(Job job, void* context, int count) {
  job_ = job;
  context_ = context;
  count_ = count > 0 ? count : 0;
  next_.store(0, std::memory_order_relaxed);
  if (count_ > 0) thread_.Post();
}

void FrameWorker::Finish() {
  TakeJobs(this);
  thread_.Finish();
}
