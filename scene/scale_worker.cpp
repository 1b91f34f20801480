#include "scene/scale_worker.h"

void ScaleWorker::TakeBands(void* self) {
  auto* worker = static_cast<ScaleWorker*>(self);
  while (worker->TakeBand()) {
  }
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
  // Atomics do not move: the counts are made anew only when there are more rectangles.
  if (bandsDone_.size() < std::size_t(job_.count))
    bandsDone_ = std::vector<std::atomic<int>>(std::size_t(job_.count));
  for (int i = 0; i < job_.count; ++i)
    bandsDone_[std::size_t(i)].store(0, std::memory_order_relaxed);
}

bool ScaleWorker::TakeBand() {
  const Job& job = job_;
  // Relaxed: the bands were put in place before the job was posted.
  const int band = nextBand_.fetch_add(1, std::memory_order_relaxed);
  if (band >= int(bands_.size())) return false;
  const Band& b = bands_[std::size_t(band)];
  if (b.piece.width > 0 && b.piece.height > 0)
    job.kernel(job.dst, job.dstPitch, job.src, job.srcPitch, job.g, b.piece);
  // Release: the pixels are written before the count says so.
  bandsDone_[std::size_t(b.rect)].fetch_add(1, std::memory_order_release);
  return true;
}

int ScaleWorker::HandBack(int next, RectDone done, void* context) {
  // Acquire: the band's pixels are seen once its count is.
  for (; next < job_.count; ++next) {
    const std::size_t i = std::size_t(next);
    if (bandsDone_[i].load(std::memory_order_acquire) != bandsOf_[i]) break;
    done(context, job_.rects[next]);
  }
  return next;
}

void ScaleWorker::Scale(ScaleKernel kernel, std::uint8_t* dst, std::int32_t dstPitch,
                        const std::uint8_t* src, std::int32_t srcPitch, const ScaleGeometry& g,
                        const ScaleRect* rects, int count, RectDone done, void* context) {
  if (count <= 0) return;
  job_ = {kernel, dst, dstPitch, src, srcPitch, g, rects, count};
  CutBands();
  nextBand_.store(0, std::memory_order_relaxed);
  int next = 0;
  thread_.Post();
  while (TakeBand()) next = HandBack(next, done, context);
  // Everything is scaled here when the worker never started; otherwise its
  // last band is awaited.
  thread_.Finish();
  HandBack(next, done, context);
}
