#pragma once
// A second thread that composes the further monitors' own scenes while the
// frame loop composes the main one, on machines with more than one processor
// (WorkerThread). The caller posts the jobs (one a scene), does its own
// frame, then finishes: it takes the jobs the worker has not taken yet from
// a shared counter and waits for those the worker is running. Without the
// thread, or when it has not woken, the caller runs every job as it
// finishes. Target only.
//
// The jobs must touch nothing the caller's own frame touches (each scene has
// its own surfaces, lists, actors and random sequence; the pictures they
// share are only read).

#include <atomic>

#include "port/win32.h"
#include "scene/worker_thread.h"

class FrameWorker {
 public:
  using Job = void (*)(void* context, int index);
  using Thread = WorkerThread::Start;

  explicit FrameWorker(Thread thread = Thread::kIfSeveralProcessors)
      : thread_(thread, TakeJobs, this) {}

  // job(context, i) for i in 0 .. count-1 is to run, on the worker or in
  // Finish; returns at once. One post at a time: Finish before the next.
  void Post(Job job, void* context, int count);
  // Runs the jobs no one has taken and returns when every job of the post
  // has run.
  void Finish();

  bool HasThread() const { return thread_.Running(); }
  // Lets a held thread (Thread::kHeld) run; nothing otherwise.
  void Release() { thread_.Release(); }

 private:
  // Runs jobs from the shared counter until none is left.
  static void TakeJobs(void* self);

  Job job_ = nullptr;
  void* context_ = nullptr;
  int count_ = 0;
  std::atomic<int> next_{0};  // the next job to take
  WorkerThread thread_;       // last: stopped first
};
