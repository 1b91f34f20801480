#include "scene/scene_view.h"

namespace {

std::int32_t CentredStart(std::int32_t start, std::int32_t room, std::int32_t size) {
  const std::int32_t offset = (room - size) / 2;
  return start + (offset < 0 ? 0 : offset);
}

}  // namespace

SceneView CentredView(const Rect& monitor, std::int32_t width, std::int32_t height) {
  SceneView view;
  view.area = {CentredStart(monitor.x, monitor.width, width),
               CentredStart(monitor.y, monitor.height, height), width, height};
  view.monitor = monitor;
  view.scaled = false;
  return view;
}

namespace {

// The scene scaled with its shape kept to the monitor's full width or its
// full height, the other side rounded to the nearest pixel, centred: to fit,
// the side that reaches the monitor's edges first; to cover, the other one.
SceneView ScaledView(const Rect& monitor, std::int32_t width, std::int32_t height, bool cover) {
  if (width <= 0 || height <= 0 || monitor.width <= 0 || monitor.height <= 0)
    return CentredView(monitor, width, height);
  std::int32_t w = monitor.width, h = monitor.height;
  const std::int64_t across = std::int64_t(monitor.width) * height;
  const std::int64_t down = std::int64_t(monitor.height) * width;
  if ((across <= down) != cover)
    h = static_cast<std::int32_t>((across + width / 2) / width);
  else
    w = static_cast<std::int32_t>((down + height / 2) / height);
  SceneView view;
  view.area = {monitor.x + (monitor.width - w) / 2, monitor.y + (monitor.height - h) / 2, w, h};
  view.monitor = monitor;
  view.scaled = w != width || h != height;
  return view;
}

}  // namespace

SceneView FilledView(const Rect& monitor, std::int32_t width, std::int32_t height) {
  return ScaledView(monitor, width, height, false);
}

SceneView CoveringView(const Rect& monitor, std::int32_t width, std::int32_t height) {
  return ScaledView(monitor, width, height, true);
}

int MakeViews(const Rect* monitors, int count, std::int32_t width, std::int32_t height,
              FillMode fill, SceneView* views) {
  for (int i = 0; i < count; ++i)
    views[i] = fill == FILL_EDGE   ? CoveringView(monitors[i], width, height)
               : fill == FILL_BARS ? FilledView(monitors[i], width, height)
                                   : CentredView(monitors[i], width, height);
  return count < 0 ? 0 : count;
}
