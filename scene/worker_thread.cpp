#include "scene/worker_thread.h"

namespace {

bool SeveralProcessors() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors >= 2;
}

}  // namespace

WorkerThread::WorkerThread(Start start, LPTHREAD_START_ROUTINE main, void* argument) {
  if (start == Start::kIfSeveralProcessors && !SeveralProcessors()) return;
  work_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  const DWORD flags = start == Start::kHeld ? CREATE_SUSPENDED : 0;
  if (work_ && done_) thread_ = CreateThread(nullptr, 0, main, argument, flags, nullptr);
  if (thread_) {
    held_ = start == Start::kHeld;
    return;
  }
  if (work_) CloseHandle(work_);
  if (done_) CloseHandle(done_);
  work_ = done_ = nullptr;
}

WorkerThread::~WorkerThread() { Stop(); }

void WorkerThread::Wake() { SetEvent(work_); }

void WorkerThread::WaitDone() { WaitForSingleObject(done_, INFINITE); }

bool WorkerThread::WaitForWork() { return WaitForSingleObject(work_, INFINITE) == WAIT_OBJECT_0; }

void WorkerThread::SignalDone() { SetEvent(done_); }

void WorkerThread::Release() {
  if (!held_) return;
  held_ = false;
  ResumeThread(thread_);
}

void WorkerThread::Stop() {
  if (!thread_) return;
  SetEvent(work_);
  Release();
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  CloseHandle(work_);
  CloseHandle(done_);
  thread_ = work_ = done_ = nullptr;
}
