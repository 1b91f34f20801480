#pragma once
// A second thread that shares a frame's scaling with the frame loop, on
// machines with more than one processor (WorkerThread). A destination
// rectangle larger than a quarter of the frame's is cut in two bands of rows,
// the others are one band each (each band prepares its columns anew, so no
// more); the caller and the worker take bands in turn from a shared counter
// until none is left. Every scaled pixel depends on its own coordinates only,
// so the cuts leave no seam. A worker that is not running
// when the job is posted (its processor busy elsewhere) never holds the frame
// up: the caller takes every band and withdraws the job. Without a second
// processor, or when the thread could not be made, the caller scales
// everything. Target only.
//
// Each rectangle is handed back to the caller, on the caller's thread and in
// order, as soon as both its bands are scaled and between the caller's own
// bands, so that what is done with it (a copy to the window) reads pixels
// that are still in the caches.
//
// The band counter and the per-rectangle counts are atomics: a count is
// raised (release) only after its band's pixels are written, and read
// (acquire) before the rectangle is handed back.

#include <atomic>
#include <cstdint>
#include <vector>

#include "port/win32.h"
#include "pixel/scale.h"
#include "scene/worker_thread.h"

class ScaleWorker {
 public:
  // Called with each rectangle once all of it is scaled.
  using RectDone = void (*)(void* context, const ScaleRect& r);

  using Thread = WorkerThread::Start;

  explicit ScaleWorker(Thread thread = Thread::kIfSeveralProcessors)
      : thread_(thread, TakeBands, this) {}

  // Scales rects[0 .. count) of the destination with kernel (ScaleKernel's
  // arguments), calls done(context, r) for each, and returns when all of it
  // is done.
  void Scale(ScaleKernel kernel, std::uint8_t* dst, std::int32_t dstPitch,
             const std::uint8_t* src, std::int32_t srcPitch, const ScaleGeometry& g,
             const ScaleRect* rects, int count, RectDone done, void* context);

  bool HasThread() const { return thread_.Running(); }
  // Lets a held thread (Thread::kHeld) run; nothing otherwise.
  void Release() { thread_.Release(); }

 private:
  struct Job {
    ScaleKernel kernel;
    std::uint8_t* dst;
    std::int32_t dstPitch;
    const std::uint8_t* src;
    std::int32_t srcPitch;
    ScaleGeometry g;
    const ScaleRect* rects;
    int count;
  };
  struct Band {
    int rect;         // which rectangle it is part of
    ScaleRect piece;  // its rows of that rectangle
  };
  // The worker's part: bands until none is left.
  static void TakeBands(void* self);
  // The job's bands, each rectangle's count of them, and its count of bands
  // scaled (0).
  void CutBands();
  // Takes one band from the shared counter and scales it; false when none was left.
  bool TakeBand();
  // Hands back the rectangles from next on that are finished, in order; the first
  // one not handed back.
  int HandBack(int next, RectDone done, void* context);

  Job job_ = {};
  std::vector<Band> bands_;
  std::atomic<int> nextBand_{0};  // the next band to take
  std::vector<std::atomic<int>> bandsDone_;  // per rectangle, its bands scaled (room for more)
  std::vector<int> bandsOf_;                 // per rectangle, its bands
  WorkerThread thread_;                      // last: stopped first
};
