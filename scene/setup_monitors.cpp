#include "scene/setup_monitors.h"

#include <new>

#include "gfx/debug_log.h"
#include "gfx/dib_surface.h"
#include "gfx/random_below.h"
#include "scene/config.h"
#include "scene/monitor_scene.h"
#include "scene/scene_graphics.h"
#include "scene/screen_layout.h"
#include "scene/setup_background.h"
#include "scene/creature_table.h"

namespace {

// A random stock scene that is not in used (a bit an index), while one is
// left; marks it used.
std::int32_t UnusedStockIndex(std::uint32_t& used) {
  const std::uint32_t all = (1u << kBackgroundCount) - 1;
  if ((used & all) == all) used = 0;
  std::int32_t free[kBackgroundCount];
  int count = 0;
  for (int i = 0; i < kBackgroundCount; ++i)
    if (!(used >> i & 1u)) free[count++] = i;
  const std::int32_t index = free[RandomMod(count)];
  used |= 1u << index;
  return index;
}

// The scene of one monitor, with its background and actors; null when it
// could not be made.
MonitorScene* MakeMonitorScene(GraphicsSystem* system, const Rect& monitor,
                               const MonitorSceneSetup& setup, std::uint32_t& usedStock) {
  ScreenLayout layout = EdgeLayout(monitor.width, monitor.height, setup.bitsPerPixel, setup.green6);
  if (LibraryHasTwiceSizeArt(setup.library))
    layout = TwiceSizeLayout(layout, monitor.width, monitor.height);
  auto* scene = new (std::nothrow)
      MonitorScene(*system, layout.width, layout.height, setup.backType, layout.scale);
  if (!scene || !scene->Ready()) {
    delete scene;
    return nullptr;
  }
  SceneConfig config = *setup.config;
  if (DecodeDisplayChoice(config.display).kind == BackgroundChoice::kRandom)
    config.display = UnusedStockIndex(usedStock);
  const BackgroundTarget target = {layout.width, layout.height, layout.designWidth, true,
                                   layout.scale};
  BackgroundPicture background =
      LoadFullScreenBackground(system, setup.library, config, target, setup.backType);
  ConvertBackground(background.image, setup.backType, nullptr);
  FitBackground(system, background);
  scene->SetBackground(background.image);
  const SpriteTarget sprites = {setup.library, setup.backType, nullptr, layout.scale,
                                setup.resampled};
  const BubbleImages bubbles = LoadBubbles(sprites);
  scene->SetBubbles(bubbles.sprite, bubbles.mask);
  FillActorTable(scene->Actors(), scene->Stage(), sprites, config, background);
  DebugLog("Tidewater: monitor scene %dx%d (scale %d/%d) over stock scene %d\n", layout.width,
           layout.height, layout.scale.num, layout.scale.den, background.stockIndex);
  return scene;
}

}  // namespace

int AddMonitorScenes(SceneGraphics& graphics, const Rect* monitors, int count,
                     const MonitorSceneSetup& setup, SceneView* views) {
  std::uint32_t usedStock = setup.mainStock >= 0 ? 1u << setup.mainStock : 0;
  for (int i = 0; i < count; ++i) {
    MonitorScene* scene = MakeMonitorScene(graphics.System(), monitors[i], setup, usedStock);
    DibSurface* back = scene ? scene->Back() : nullptr;
    if (!back || !graphics.AddMonitorScene(scene)) {
      DebugLog("Tidewater: no scene of its own for monitor %d; it stays black\n", i + 1);
      return i;
    }
    views[i] = CoveringView(monitors[i], back->Width(), back->Height());
  }
  return count;
}
