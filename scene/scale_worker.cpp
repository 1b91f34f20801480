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
  InterlockedExchange(&state_, STOPPING);
  SetEvent(work_);
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  CloseHandle(work_);
  CloseHandle(done_);
}

DWORD WINAPI ScaleWorker::ThreadMain(void* self) {
  auto* worker = static_cast<ScaleWorker*>(self);
  while (WaitForSingleObject(worker->work_, INFINITE) == WAIT_OBJECT_0) {
    if (worker->state_ == STOPPING) break;
    // A job the caller has withdrawn (or finished alone) is not touched.
    if (InterlockedCompareExchange(&worker->state_, WORKING, POSTED) != POSTED) continue;
    while (worker->TakeBand()) {
    }
    InterlockedExchange(&worker->state_, IDLE);
    SetEvent(worker->done_);
  }
  return 0;
}

void ScaleWorker::CutBands() {
  double total = 0;
  for (int i = 0; i < job_.count; ++i) total += double(job_.rects[i].width) * job_.rects[i].height;
  bands_.clear();
  bandsOf_.assign(std::size_t(job_.count), 1);
  for (int i = 0; i < job_.count; ++i) {
    const ScaleRect& r = job_.rects[i];
    const std::int32_t upper = r.height / 2;
    if (upper == 0 || 4 * double(r.width) * r.height <= total) {
      bands_.push_back({i, r});
      continue;
    }
    bands_.push_back({i, {r.x, r.y, r.width, upper}});
    bands_.push_back({i, {r.x, r.y + upper, r.width, r.height - upper}});
    bandsOf_[std::size_t(i)] = 2;
  }
}

bool ScaleWorker::TakeBand() {
  const Job& job = job_;
  const LONG band = InterlockedIncrement(&nextBand_) - 1;
  if (band >= LONG(bands_.size())) return false;
  const Band& b = bands_[std::size_t(band)];
  if (b.piece.width > 0 && b.piece.height > 0)
    job.kernel(job.dst, job.dstPitch, job.src, job.srcPitch, job.g, b.piece);
  // A full barrier: the pixels are written before the count says so.
  InterlockedIncrement(&bandsDone_[std::size_t(b.rect)]);
  return true;
}

int ScaleWorker::HandBack(int next, RectDone done, void* context) {
  // An interlocked read: the band's pixels are seen once its count is.
  for (; next < job_.count &&
         InterlockedCompareExchange(&bandsDone_[next], 0, 0) == bandsOf_[std::size_t(next)];
       ++next)
    done(context, job_.rects[next]);
  return next;
}

void ScaleWorker::Scale(ScaleKernel kernel, std::uint8_t* dst, std::int32_t dstPitch,
                        const std::uint8_t* src, std::int32_t srcPitch, const ScaleGeometry& g,
                        const ScaleRect* rects, int count, RectDone done, void* context) {
  if (count <= 0) return;
  job_ = {kernel, dst, dstPitch, src, srcPitch, g, rects, count};
  CutBands();
  bandsDone_.assign(std::size_t(count), 0);
  nextBand_ = 0;
  int next = 0;
  if (!thread_) {
    while (TakeBand()) next = HandBack(next, done, context);
    return;
  }
  InterlockedExchange(&state_, POSTED);  // a full barrier: the job is in place before
  SetEvent(work_);
  while (TakeBand()) next = HandBack(next, done, context);
  // The worker never started: withdraw the job (everything is scaled and handed
  // back). Otherwise wait for its last band.
  if (InterlockedCompareExchange(&state_, IDLE, POSTED) != POSTED)
    WaitForSingleObject(done_, INFINITE);
  HandBack(next, done, context);
}
