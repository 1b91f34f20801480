#include "scene/scale_worker.h"

ScaleWorker::ScaleWorker() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  if (info.dwNumberOfProcessors < 2) return;
  work_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (work_ && done_) thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
  if (thread_) return;
  if (work_) CloseHandle(work_);
  if (done_) CloseHandle(done_);
  work_ = done_ = nullptr;
}

ScaleWorker::~ScaleWorker() {
  if (!thread_) return;
  job_.kernel = nullptr;
  SetEvent(work_);
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  CloseHandle(work_);
  CloseHandle(done_);
}

DWORD WINAPI ScaleWorker::ThreadMain(void* self) {
  auto* worker = static_cast<ScaleWorker*>(self);
  while (WaitForSingleObject(worker->work_, INFINITE) == WAIT_OBJECT_0 && worker->job_.kernel) {
    ScaleBands(worker->job_, true);
    SetEvent(worker->done_);
  }
  return 0;
}

void ScaleWorker::ScaleBands(const Job& job, bool lower) {
  for (int i = 0; i < job.count; ++i) {
    ScaleRect band = job.rects[i];
    const std::int32_t upper = band.height / 2;
    if (lower) {
      band.y += upper;
      band.height -= upper;
    } else {
      band.height = upper;
    }
    if (band.width > 0 && band.height > 0)
      job.kernel(job.dst, job.dstPitch, job.src, job.srcPitch, job.g, band);
  }
}

void ScaleWorker::Scale(ScaleKernel kernel, std::uint8_t* dst, std::int32_t dstPitch,
                        const std::uint8_t* src, std::int32_t srcPitch, const ScaleGeometry& g,
                        const ScaleRect* rects, int count) {
  const Job job = {kernel, dst, dstPitch, src, srcPitch, g, rects, count};
  if (!thread_) {
    ScaleBands(job, false);
    ScaleBands(job, true);
    return;
  }
  job_ = job;
  SetEvent(work_);
  ScaleBands(job, false);
  WaitForSingleObject(done_, INFINITE);
}
