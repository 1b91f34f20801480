#include "scene/view_presenter.h"

#include <algorithm>
#include <new>
#include <vector>

#include "gfx/dib_surface.h"
#include "gfx/graphics_system.h"
#include "gfx/window_surface.h"
#include "pixel/cpu_features.h"
#include "scene/scale_worker.h"

bool ViewPresenter::SetViews(GraphicsSystem& system, WindowSurface& screen,
                             DibSurface* const* sources, const SceneView* views, int count) {
  if (count < 0 || count > kMaxViews) return false;
  for (int i = 0; i < count; ++i)
    if (!sources[i]) return false;
  View made[kMaxViews] = {};
  bool ok = true;
  for (int i = 0; i < count && ok; ++i) {
    DibSurface& source = *sources[i];
    made[i].place = views[i];
    made[i].source = &source;
    made[i].dirty = DirtyTiles(source.Width(), source.Height());
    if (!views[i].scaled) continue;
    made[i].scale = SelectScaleKernel({source.Type(), true, CpuHasSse2(), CpuHasSsse3()}).kernel;
    made[i].scaled = system.NewDibSurface();
    ok = made[i].scaled &&
         made[i].scaled->Create(views[i].area.width, views[i].area.height, source.Type()) ==
             GFX_OK;
    // A palette the surface refuses leaves its default one: colours may be off, nothing fails.
    if (ok && source.GetPalette()) (void)made[i].scaled->SetPalette(source.GetPalette());
  }
  if (!ok) {
    for (View& v : made)
      if (v.scaled) v.scaled->Release();
    return false;
  }
  Drop();
  for (int i = 0; i < count; ++i) views_[i] = made[i];
  count_ = count;
  screen_ = &screen;
  for (int i = 0; i < count && !worker_; ++i)
    if (views_[i].scaled) worker_ = new (std::nothrow) ScaleWorker;
  return true;
}

void ViewPresenter::Drop() {
  for (int i = 0; i < count_; ++i) {
    if (views_[i].scaled) views_[i].scaled->Release();
    views_[i] = View{};
  }
  count_ = 0;
  screen_ = nullptr;
  delete worker_;
  worker_ = nullptr;
}

void ViewPresenter::PresentRect(const DibSurface& source, const Rect& r) {
  for (int i = 0; i < count_; ++i)
    if (views_[i].source == &source) views_[i].dirty.Add(r);
}

void ViewPresenter::PresentWhole() {
  for (int i = 0; i < count_; ++i)
    views_[i].dirty.Add({0, 0, views_[i].source->Width(), views_[i].source->Height()});
}

void ViewPresenter::EndPresent() {
  for (int i = 0; i < count_; ++i) {
    View& v = views_[i];
    if (v.dirty.Empty()) continue;
    const std::vector<Rect> rects = v.dirty.Take();
    if (v.scaled) {
      PresentScaled(v, rects);
      continue;
    }
    for (const Rect& r : rects) PresentCentred(v, r);
  }
}

namespace {

// r (in the coordinates of a view's area) cut to the view's monitor; empty
// (width 0) when nothing of it shows.
Rect OnMonitor(const SceneView& place, const Rect& r) {
  const Rect& m = place.monitor;
  const Rect& area = place.area;
  const std::int32_t left = std::max(r.x, m.x - area.x);
  const std::int32_t top = std::max(r.y, m.y - area.y);
  const std::int32_t right = std::min(r.x + r.width, m.x + m.width - area.x);
  const std::int32_t bottom = std::min(r.y + r.height, m.y + m.height - area.y);
  if (right <= left || bottom <= top) return {left, top, 0, 0};
  return {left, top, right - left, bottom - top};
}

}  // namespace

// r of the source to its place in an unscaled view, clipped to the view's monitor.
void ViewPresenter::PresentCentred(const View& v, const Rect& r) {
  const Rect c = OnMonitor(v.place, r);
  if (c.width == 0) return;
  // A failed copy shows on the next tick that covers the rectangle.
  (void)screen_->BlitFrom(v.place.area.x + c.x, v.place.area.y + c.y, c.width, c.height, v.source,
                          c.x, c.y, c.width, c.height, 0, 0);
}

// The scaled pixels that the rectangles of the source reach on the view's monitor
// (a covering view reaches past it), computed into the view's surface (by this
// thread and the worker together), each copied to the window as soon as it is ready.
void ViewPresenter::PresentScaled(const View& v, const std::vector<Rect>& rects) {
  DibSurface* source = v.source;
  const ScaleGeometry g = {source->Width(), source->Height(), v.place.area.width,
                           v.place.area.height};
  std::vector<ScaleRect> scaled;
  for (const Rect& r : rects) {
    const ScaleRect d = ScaledDirtyRect(g, {r.x, r.y, r.width, r.height});
    const Rect shown = OnMonitor(v.place, {d.x, d.y, d.width, d.height});
    if (shown.width > 0) scaled.push_back({shown.x, shown.y, shown.width, shown.height});
  }
  if (!v.scale || !worker_ || scaled.empty()) return;
  std::uint8_t *from = nullptr, *to = nullptr;
  std::int32_t fromPitch = 0, toPitch = 0;
  if (source->Lock(&from, &fromPitch) != GFX_OK) return;
  if (v.scaled->Lock(&to, &toPitch) == GFX_OK) {
    struct Copy {
      WindowSurface* screen;
      const View& view;
    } copy = {screen_, v};
    // A failed copy shows on the next tick that covers the rectangle.
    const ScaleWorker::RectDone present = [](void* context, const ScaleRect& d) {
      const Copy& c = *static_cast<const Copy*>(context);
      const Rect& area = c.view.place.area;
      (void)c.screen->BlitFrom(area.x + d.x, area.y + d.y, d.width, d.height, c.view.scaled,
                               d.x, d.y, d.width, d.height, 0, 0);
    };
    worker_->Scale(v.scale, to, toPitch, from, fromPitch, g, scaled.data(),
                   static_cast<int>(scaled.size()), present, &copy);
    (void)v.scaled->Unlock();  // the locks above succeeded: their unlocks cannot fail
  }
  (void)source->Unlock();
}
