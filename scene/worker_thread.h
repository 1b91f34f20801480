#pragma once
// The thread of a worker the frame loop shares its work with (ScaleWorker,
// FrameWorker): made with the worker, on a machine with two processors or
// more unless told otherwise; woken by the caller when there is work, it
// signals back when its part is done, and is stopped with the worker. What
// the work is, and how the two sides agree on who does which part, is the
// worker's. Target only.

#include "port/win32.h"

class WorkerThread {
 public:
  enum class Start {
    kIfSeveralProcessors,  // on a machine with two processors or more (the saver)
    kAlways,               // on any machine
    kHeld,                 // on any machine, held before it first wakes until Release
  };

  // A thread running main(argument); none when start says so or it could not
  // be made (Running() is false). main loops on WaitForWork.
  WorkerThread(Start start, LPTHREAD_START_ROUTINE main, void* argument);
  // Stop, when still running.
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  bool Running() const { return thread_ != nullptr; }
  // Caller: there is work (or the worker is to stop); wait for its part.
  void Wake();
  void WaitDone();
  // Thread: false when the wait failed and the loop must end; its part done.
  bool WaitForWork();
  void SignalDone();
  // Lets a held thread run; nothing otherwise.
  void Release();
  // Wakes the thread and waits for it to end: the worker has told its loop
  // to end before.
  void Stop();

 private:
  HANDLE thread_ = nullptr;
  bool held_ = false;      // made suspended and not yet released
  HANDLE work_ = nullptr;  // set by the caller when there is work, or to stop
  HANDLE done_ = nullptr;  // set by the thread when its part is done
};
