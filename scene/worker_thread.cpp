#include "scene/worker_thread.h"

namespace {

bool SeveralProcessors() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors >= 2;
}

}  // namespace

WorkerThread::WorkerThread(Start start, Work work, void* owner) : work_(work), owner_(owner) {
  if (start == Start::kIfSeveralProcessors && !SeveralProcessors()) return;
  wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  const DWORD flags = start == Start::kHeld ? CREATE_SUSPENDED : 0;
  if (wake_ && done_) thread_ = CreateThread(nullptr, 0, Main, this, flags, nullptr);
  if (thread_) {
    held_ = start == Start::kHeld;
    return;
  }
  if (wake_) CloseHandle(wake_);
  if (done_) CloseHandle(done_);
  wake_ = done_ = nullptr;
}

WorkerThread::~WorkerThread() {
  if (!thread_) return;
  state_.store(State::kStopping);
  SetEvent(wake_);
  Release();
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  CloseHandle(wake_);
  CloseHandle(done_);
}

void WorkerThread::Release() {
  if (!held_) return;
  held_ = false;
  ResumeThread(thread_);
}

DWORD WINAPI WorkerThread::Main(void* self) {
  auto* t = static_cast<WorkerThread*>(self);
  while (WaitForSingleObject(t->wake_, INFINITE) == WAIT_OBJECT_0) {
    if (t->state_.load(std::memory_order_acquire) == State::kStopping) break;
    // A post the caller has withdrawn (or finished alone) is not touched.
    State posted = State::kPosted;
    if (!t->state_.compare_exchange_strong(posted, State::kWorking, std::memory_order_acquire))
      continue;
    t->work_(t->owner_);
    t->state_.store(State::kIdle, std::memory_order_release);
    SetEvent(t->done_);
  }
  return 0;
}

void WorkerThread::Post() {
  if (!thread_) return;
  posted_ = true;
  // Release: the work is in place before the thread can see it posted.
  state_.store(State::kPosted, std::memory_order_release);
  SetEvent(wake_);
}

void WorkerThread::Finish() {
  if (!posted_) return;
  posted_ = false;
  State posted = State::kPosted;
  if (!state_.compare_exchange_strong(posted, State::kIdle, std::memory_order_acq_rel))
    WaitForSingleObject(done_, INFINITE);
}
