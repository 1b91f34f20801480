#pragma once
// A second thread that composes the further monitors' own scenes while the
// frame loop composes the main one, on machines with more than one processor.
// The caller posts the jobs (one a scene), does its own frame, then finishes:
// it takes the jobs the worker has not taken yet from a shared counter and
// waits for those the worker is running. A worker that has not woken by then
// (its processor busy elsewhere) never holds the frame up: the caller runs
// every job and withdraws the post. Without a second processor, or when the
// thread could not be made, the caller runs every job when it finishes.
// Target only.
//
// The jobs must touch nothing the caller's own frame touches (each scene has
// its own surfaces, lists, actors and random sequence; the pictures they
// share are only read).
//
// Where a post stands (State), and who moves it on:
//   kIdle    -> kPosted    caller (Post), once the jobs are in place; then it
//                          wakes the thread
//   kPosted  -> kWorking   worker, once woken (compare-exchange)
//   kPosted  -> kIdle      caller (Finish), once no job is left, when the
//                          worker has not woken (compare-exchange): withdrawn
//   kWorking -> kIdle      worker, when no job is left; then it signals done,
//                          which the caller waits for
//   kIdle    -> kStopping  destructor, between posts: the worker's loop ends
// Exactly one of the two compare-exchanges out of kPosted succeeds, so a post
// is either withdrawn or waited for, never both.

#include <atomic>

#include "port/win32.h"
#include "scene/worker_thread.h"

class FrameWorker {
 public:
  using Job = void (*)(void* context, int index);
  using Thread = WorkerThread::Start;

  explicit FrameWorker(Thread thread = Thread::kIfSeveralProcessors);
  ~FrameWorker();
  FrameWorker(const FrameWorker&) = delete;
  FrameWorker& operator=(const FrameWorker&) = delete;

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
  enum class State { kIdle, kPosted, kWorking, kStopping };

  static DWORD WINAPI ThreadMain(void* self);
  // Runs jobs from the shared counter until none is left.
  void TakeJobs();

  Job job_ = nullptr;
  void* context_ = nullptr;
  int count_ = 0;
  bool posted_ = false;       // to the worker, since the last Finish
  std::atomic<int> next_{0};  // the next job to take
  std::atomic<State> state_{State::kIdle};
  WorkerThread thread_;  // last: it starts once the rest is in place
};
