#pragma once
// A second thread that takes half of a frame's scaling off the frame loop, on
// machines with more than one processor: each destination rectangle is cut in
// two bands of rows, the caller scales the upper and the worker the lower at
// the same time. Every scaled pixel depends on its own coordinates only, so
// the cut leaves no seam. Without a second processor, or when the thread
// could not be made, the caller scales everything. Target only.

#include <cstdint>

#include "port/win32.h"
#include "pixel/scale.h"

class ScaleWorker {
 public:
  ScaleWorker();
  ~ScaleWorker();
  ScaleWorker(const ScaleWorker&) = delete;
  ScaleWorker& operator=(const ScaleWorker&) = delete;

  // Scales rects[0 .. count) of the destination with kernel (ScaleKernel's
  // arguments) and returns when all of it is done.
  void Scale(ScaleKernel kernel, std::uint8_t* dst, std::int32_t dstPitch,
             const std::uint8_t* src, std::int32_t srcPitch, const ScaleGeometry& g,
             const ScaleRect* rects, int count);

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
  static DWORD WINAPI ThreadMain(void* self);
  // The upper (lower = false) or lower band of every rectangle of the job.
  static void ScaleBands(const Job& job, bool lower);

  HANDLE thread_ = nullptr;
  HANDLE work_ = nullptr;  // set by the caller: a job, or the end when job_.kernel is null
  HANDLE done_ = nullptr;  // set by the worker when its bands are scaled
  Job job_ = {};
};
