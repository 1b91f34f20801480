#pragma once
// A second thread that shares a frame's scaling with the frame loop, on
// machines with more than one processor. A destination rectangle larger than
// a quarter of the frame's is cut in two bands of rows, the others are one
// band each (each band prepares its columns anew, so no more); the caller and
// the worker take bands in turn from a shared counter until none is left.
// Every scaled pixel depends on its own
// coordinates only, so the cuts leave no seam. A worker that is not running
// when the job is posted (its processor busy elsewhere) never holds the frame
// up: the caller takes every band and withdraws the job. Without a second
// processor, or when the thread could not be made, the caller scales
// everything. Target only.
//
// Each rectangle is handed back to the caller, on the caller's thread and in
// order, as soon as both its bands are scaled and between the caller's own
// bands, so that what is done with it (a copy to the window) reads pixels
// that are still in the caches.

#include <cstdint>
#include <vector>

#include "port/win32.h"
#include "pixel/scale.h"

class ScaleWorker {
 public:
  // Called with each rectangle once all of it is scaled.
  using RectDone = void (*)(void* context, const ScaleRect& r);

  ScaleWorker();
  ~ScaleWorker();
  ScaleWorker(const ScaleWorker&) = delete;
  ScaleWorker& operator=(const ScaleWorker&) = delete;

  // Scales rects[0 .. count) of the destination with kernel (ScaleKernel's
  // arguments), calls done(context, r) for each, and returns when all of it
  // is done.
  void Scale(ScaleKernel kernel, std::uint8_t* dst, std::int32_t dstPitch,
             const std::uint8_t* src, std::int32_t srcPitch, const ScaleGeometry& g,
             const ScaleRect* rects, int count, RectDone done, void* context);

  bool HasThread() const { return thread_ != nullptr; }

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
  // Where the job stands (changed with interlocked operations only).
  enum : LONG { IDLE, POSTED, WORKING, STOPPING };

  static DWORD WINAPI ThreadMain(void* self);
  // The job's bands and each rectangle's count of them.
  void CutBands();
  // Takes one band from the shared counter and scales it; false when none was left.
  bool TakeBand();
  // Hands back the rectangles from next on that are finished, in order; the first
  // one not handed back.
  int HandBack(int next, RectDone done, void* context);

  HANDLE thread_ = nullptr;
  HANDLE work_ = nullptr;  // set by the caller when a job is posted, or to stop
  HANDLE done_ = nullptr;  // set by the worker when it has finished its bands
  Job job_ = {};
  volatile LONG state_ = IDLE;
  std::vector<Band> bands_;
  volatile LONG nextBand_ = 0;   // the next band to take
  std::vector<LONG> bandsDone_;  // per rectangle, its bands scaled; interlocked
  std::vector<LONG> bandsOf_;    // per rectangle, its bands
};
