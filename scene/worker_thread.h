#pragma once
// The thread of a worker that shares a frame's work with the frame loop
// (ScaleWorker, FrameWorker), and how the two agree on a post: the caller
// puts the work in place and posts it, does its own part, then finishes. A
// thread that has not woken by then (its processor busy elsewhere) never
// holds the frame up: the post is withdrawn and the caller has done it all.
// Otherwise the caller waits for the thread's part. How the work is shared
// (bands, jobs from a counter) is the worker's. The thread is made on a
// machine with two processors or more unless told otherwise; without one,
// the caller does everything. Target only.
//
// Where a post stands (State), and who moves it on:
//   kIdle    -> kPosted    caller (Post), once the work is in place; then it
//                          wakes the thread
//   kPosted  -> kWorking   thread, once woken (compare-exchange): it does
//                          its part beside the caller
//   kPosted  -> kIdle      caller (Finish), when the thread has not woken
//                          (compare-exchange): the post is withdrawn
//   kWorking -> kIdle      thread, when its part is done; then it signals
//                          done, which the caller (Finish) waits for
//   kIdle    -> kStopping  destructor, between posts: the thread's loop ends
// Exactly one of the two compare-exchanges out of kPosted succeeds, so a
// post is either withdrawn or waited for, never both. A thread woken late
// for a withdrawn post finds kIdle (or the next post, which it may take).

#include <atomic>

#include "port/win32.h"

class WorkerThread {
 public:
  enum class Start {
    kIfSeveralProcessors,  // on a machine with two processors or more (the saver)
    kAlways,               // on any machine
    kHeld,                 // on any machine, held before it first wakes until Release
  };
  // The thread's part of a post, on the thread.
  using Work = void (*)(void* owner);

  // A thread that does work(owner) for each post it takes up; none when
  // start says so or it could not be made (Running() is false). The owner
  // keeps it as its last member, so that it is stopped first.
  WorkerThread(Start start, Work work, void* owner);
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  bool Running() const { return thread_ != nullptr; }
  // Caller, with the work in place: the thread may take part. Only while
  // Running, one post at a time.
  void Post();
  // Caller, once it has no more to do: returns at once when nothing was
  // posted or the thread never took the post up, otherwise when its part is
  // done.
  void Finish();
  // Lets a held thread run; nothing otherwise.
  void Release();

 private:
  enum class State { kIdle, kPosted, kWorking, kStopping };
  static DWORD WINAPI Main(void* self);

  Work work_;
  void* owner_;
  bool posted_ = false;  // since the last Finish
  std::atomic<State> state_{State::kIdle};
  bool held_ = false;      // made suspended and not yet released
  HANDLE wake_ = nullptr;  // set by the caller when a post is in place, or to stop
  HANDLE done_ = nullptr;  // set by the thread when its part is done
  HANDLE thread_ = nullptr;
};
