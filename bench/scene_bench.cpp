// The scene's cost per tick, under Wine on a display of the depth to test.
// Full-screen setup runs on a window that covers the screen (with the
// configuration the caller put in the registry: all species and a text line,
// see scripts/bench.sh), then the frame tick's work (restore, step, draw,
// present, as RunFrame does it) is driven at the saver's own pace, one tick
// every kTickIntervalMs, each phase timed on its own. Paced, each tick meets
// the machine as the saver's does: the window system has put the last frame
// on screen and the caches hold what the pause left in them. Back to back,
// a tick would also pay for the window system's work on the frame before
// (more of it the larger the screen); that figure is printed too. Then as
// many frames again, paced, are redrawn whole: the whole back surface
// restored, the actors stepped and drawn, the whole surface presented.
// When the configuration shows a clock, the paced ticks come in blocks of
// kClockBlock, with the clock and without it (taken out of its slot) in
// turn, so that both meet the machine's same moments; the first tick of each
// block is not counted (it restores what the block before left). The tick,
// phase and share lines are then those with the clock.
// Prints, B being the back surface's bits:
//
//   setup_ms_B X          full-screen setup
//   memory_mb_B private X working_set X   the process's memory after the run
//   tick_ms_B X           our tick, mean over the frames
//   full_ms_B X           a frame redrawn whole, mean over as many frames
//   unpaced_tick_ms_B X   our tick, driven back to back
//   ratio FullRedraw/Tick_B V
//   tick_ms_B_without_clock X        (with a clock) the tick without it
//   ratio TickClock/Tick_B V         (with a clock) the tick without the
//                                    clock over the tick with it: 0.9 and
//                                    more when the clock costs at most a
//                                    tenth of a tick
//   phase_ms_B restore X step X draw X present X        (our tick)
//   full_phase_ms_B restore X present X                 (the whole surface)
//   the share of the back surface our tick restores and presents,
//   then one line per actor slot with its share of the drawing.
//
//   scene_bench [FRAMES [SUFFIX]]     SUFFIX replaces B in the names
#include <windows.h>
// psapi.h after windows.h, which it needs.
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

#include "gfx/image.h"
#include "gfx/random_below.h"
#include "pixel/pixel_format.h"
#include "scene/actor_table.h"
#include "scene/clock_actor.h"
#include "scene/fish_actor.h"
#include "scene/frame_tick.h"
#include "scene/puffer_actor.h"
#include "scene/scene_graphics.h"
#include "scene/scene_setup.h"
#include "scene/scene_state.h"
#include "scene/text_actor.h"

namespace {

constexpr std::uint32_t kFrameSeed = 0x5CE7E;
// Paced ticks in a row with the clock, then as many without it.
constexpr int kClockBlock = 25;

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The scene is driven from main; only painting is answered, so that the
  // window validates and stays quiet.
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeFullScreenWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = BenchWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "TidewaterSceneBench";
  if (!RegisterClassA(&windowClass)) return nullptr;
  // Every monitor, as the saver's window covers them.
  HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "Scene bench",
                                WS_POPUP | WS_VISIBLE, GetSystemMetrics(SM_XVIRTUALSCREEN),
                                GetSystemMetrics(SM_YVIRTUALSCREEN),
                                GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr, nullptr,
                                windowClass.hInstance, nullptr);
  if (window) SetForegroundWindow(window);
  return window;
}

// Dispatches what is queued except the scene's own WM_TIMER, which would run
// the real tick with its 80 ms pace.
void DrainMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_TIMER) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

int BitsOfType(std::uint16_t type) {
  switch (type) {
    case PIXEL_RGB32: return 32;
    case PIXEL_RGB24: return 24;
    case PIXEL_RGB555: return 16;
    case PIXEL_INDEX8: return 8;
    default: return 0;
  }
}

struct Phases {
  double restore = 0, step = 0, draw = 0, present = 0;
  double fullRestore = 0, fullStepDraw = 0, fullPresent = 0;
  double slots[ActorTable::kSlots] = {};
};

double Area(const Rect& r) {
  return r.width > 0 && r.height > 0 ? static_cast<double>(r.width) * r.height : 0;
}

// Stands in for the scene's objects during the frames, passing every call on
// and counting the pixels the tick restores and presents.
class CountingObjects : public SceneObjects {
 public:
  explicit CountingObjects(SceneObjects& real) : real_(real) {}
  void RestoreBackground(const Rect& r) override {
    restored += Area(r);
    real_.RestoreBackground(r);
  }
  void PresentRect(const Rect& r, std::int32_t offsetX, std::int32_t offsetY) override {
    presented += Area(r);
    real_.PresentRect(r, offsetX, offsetY);
  }
  void BeginPresent() override { real_.BeginPresent(); }
  void EndPresent() override { real_.EndPresent(); }
  void PresentScaled() override { real_.PresentScaled(); }
  void BeginMonitorScenes() override { real_.BeginMonitorScenes(); }
  void EndMonitorScenes() override { real_.EndMonitorScenes(); }
  void RedrawMonitorScenes() override { real_.RedrawMonitorScenes(); }
  void Paint() override { real_.Paint(); }
  void RealizePalette() override { real_.RealizePalette(); }
  void TickSound(std::uint32_t nowMs) override { real_.TickSound(nowMs); }
  void PauseSound() override { real_.PauseSound(); }
  void ResumeSound() override { real_.ResumeSound(); }
  void ReleaseMixer() override { real_.ReleaseMixer(); }
  void ReleaseDisplay() override { real_.ReleaseDisplay(); }
  void ReleaseGraphics() override { real_.ReleaseGraphics(); }

  double restored = 0, presented = 0;

 private:
  SceneObjects& real_;
};

// One tick, phase by phase, as RunFrame does it.
void TimedTick(Phases& p) {
  double t0 = Now();
  // The further monitors' own scenes (edge to edge) are composed beside.
  gScene.objects->BeginMonitorScenes();
  RestoreDirty(gScene);
  double t1 = Now();
  gScene.actors.StepAll();
  double t2 = Now();
  for (int slot = 0; slot < ActorTable::kSlots; ++slot) {
    Actor* actor = gScene.actors.At(slot);
    if (!actor) continue;
    double s = Now();
    actor->Draw();
    p.slots[slot] += Now() - s;
  }
  gScene.objects->EndMonitorScenes();
  double t3 = Now();
  PresentDirty(gScene);
  GdiFlush();
  double t4 = Now();
  p.restore += t1 - t0;
  p.step += t2 - t1;
  p.draw += t3 - t2;
  p.present += t4 - t3;
}

// One frame redrawn whole: the whole back surface restored, the actors
// stepped and drawn, the whole surface presented; the tick's lists of
// rectangles are left empty.
void TimedFullRedraw(SceneObjects& real, const Rect& whole, Phases& p) {
  double t0 = Now();
  real.RedrawMonitorScenes();
  real.BeginMonitorScenes();
  real.RestoreBackground(whole);
  gScene.restoreList.Clear();
  gScene.overlays.BeginFrame(nullptr, nullptr);
  gScene.overlays.TouchAll();
  double t1 = Now();
  gScene.actors.StepAll();
  gScene.actors.DrawAll();
  gScene.presentList.Clear();
  real.EndMonitorScenes();
  double t2 = Now();
  real.BeginPresent();
  real.PresentRect(whole, gScene.offsetX, gScene.offsetY);
  real.EndPresent();
  GdiFlush();
  double t3 = Now();
  p.fullRestore += t1 - t0;
  p.fullStepDraw += t2 - t1;
  p.fullPresent += t3 - t2;
}

// Answers the window's messages until the saver's next tick would come,
// kTickIntervalMs after start.
void AwaitNextTick(double start) {
  DrainMessages();
  const double left = start + kTickIntervalMs - Now();
  if (left > 1) Sleep(static_cast<DWORD>(left));
}

// The slot of the scene's clock, -1 when it has none.
int ClockSlot() {
  for (int slot = 0; slot < ActorTable::kSlots; ++slot)
    if (dynamic_cast<ClockActor*>(gScene.actors.At(slot))) return slot;
  return -1;
}

// The paced ticks: those with the clock (all of them in a scene without
// one) and those without it.
struct PacedTicks {
  Phases with, without;
  int withCount = 0, withoutCount = 0;
};

// Tick i (1 for the first) of a paced pass in blocks: takes the clock out
// at the start of an odd block and puts it back at the start of an even
// one; returns the phases the tick counts in, null for a block's first.
Phases* ClockBlockTick(int i, int clockSlot, Actor*& taken, PacedTicks& ticks) {
  const int block = (i - 1) / kClockBlock;
  const bool first = (i - 1) % kClockBlock == 0;
  if (first && block % 2 == 1) taken = gScene.actors.Take(clockSlot);
  if (first && block % 2 == 0 && taken) {
    gScene.actors.Place(clockSlot, taken);
    taken = nullptr;
  }
  if (first) return nullptr;
  if (block % 2 == 1) {
    ++ticks.withoutCount;
    return &ticks.without;
  }
  ++ticks.withCount;
  return &ticks.with;
}

// The paced pass of frames - 1 ticks; the restored and presented pixels of
// the ticks with the clock are counted.
void PacedPass(int frames, CountingObjects& counting, PacedTicks& ticks) {
  SceneObjects* real = gScene.objects;
  const int clockSlot = ClockSlot();
  Actor* taken = nullptr;
  Phases uncounted;
  for (int i = 1; i < frames; ++i) {
    const double start = Now();
    Phases* phases = &ticks.with;
    if (clockSlot < 0) ++ticks.withCount;
    else phases = ClockBlockTick(i, clockSlot, taken, ticks);
    gScene.objects = phases == &ticks.with ? &counting : real;
    TimedTick(phases ? *phases : uncounted);
    AwaitNextTick(start);
  }
  gScene.objects = real;
  if (taken) gScene.actors.Place(clockSlot, taken);
}

double TickMs(const Phases& p, int n) {
  return n > 0 ? (p.restore + p.step + p.draw + p.present) / n : 0;
}

// What an actor slot holds, for the per-slot lines.
struct ActorInfo {
  const char* name = "actor";
  int width = 0, height = 0;
};

ActorInfo Describe(Actor* actor) {
  ActorInfo info;
  if (auto* fish = dynamic_cast<FishActor*>(actor)) {
    info = {fish->speed() == 0 ? "overlay" : "fish", fish->width(), fish->height()};
  } else if (auto* puffer = dynamic_cast<PufferActor*>(actor)) {
    info = {"puffer", puffer->width(), puffer->height()};
  } else if (auto* text = dynamic_cast<TextActor*>(actor)) {
    info = {"text", text->width(), text->height()};
  } else if (auto* clock = dynamic_cast<ClockActor*>(actor)) {
    info = {"clock", clock->width(), clock->height()};
  }
  return info;
}

}  // namespace

int main(int argc, char** argv) {
  int frames = argc > 1 ? std::atoi(argv[1]) : 250;
  if (frames < 2) frames = 2;
  HWND window = MakeFullScreenWindow();
  if (!window) {
    std::fprintf(stderr, "scene_bench: no window\n");
    return 1;
  }
  DrainMessages();

  double t = Now();
  int setup = SetupFullScreen(window);
  double setupMs = Now() - t;
  DrainMessages();
  auto* graphics = dynamic_cast<SceneGraphics*>(gScene.objects);
  Image* back = graphics ? graphics->Stage().backSurface : nullptr;
  if (setup != 0 || !back) {
    std::fprintf(stderr, "scene_bench: full-screen setup failed (%d)\n", setup);
    return 1;
  }
  const std::int32_t width = back->Width(), height = back->Height();
  const int bits = BitsOfType(back->Type());
  int actors = 0;
  for (int slot = 0; slot < ActorTable::kSlots; ++slot) actors += gScene.actors.At(slot) != nullptr;
  std::printf("scene %dx%d, back surface %d bits, %d actors, %d frames\n", width, height, bits,
              actors, frames);

  // The first frame restores and presents everything setup made; it is not timed.
  SeedRandom(kFrameSeed);
  const Rect whole = {0, 0, width, height};
  SceneObjects* real = gScene.objects;
  Phases phases;
  TimedTick(phases);
  phases = Phases{};
  CountingObjects counting(*real);
  PacedTicks paced;
  PacedPass(frames, counting, paced);
  phases = paced.with;
  Phases unpaced;
  for (int i = 1; i < frames; ++i) {
    TimedTick(unpaced);
    DrainMessages();
  }
  for (int i = 1; i < frames; ++i) {
    const double start = Now();
    TimedFullRedraw(*real, whole, phases);
    AwaitNextTick(start);
  }
  const double n = frames - 1;
  const double ticked = paced.withCount;
  const double tick = TickMs(phases, paced.withCount);
  const double full = (phases.fullRestore + phases.fullStepDraw + phases.fullPresent) / n;
  const double unpacedTick = TickMs(unpaced, frames - 1);

  char label[32];
  if (argc > 2) std::snprintf(label, sizeof label, "%s", argv[2]);
  else std::snprintf(label, sizeof label, "%d", bits);
  std::printf("setup_ms_%s %.1f\n", label, setupMs);
  // Wine counts no private bytes (0): the working set is then the upper bound.
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
    std::printf("memory_mb_%s private %.1f working_set %.1f\n", label,
                memory.PrivateUsage / 1048576.0, memory.WorkingSetSize / 1048576.0);
  std::printf("tick_ms_%s %.3f\n", label, tick);
  std::printf("full_ms_%s %.3f\n", label, full);
  std::printf("unpaced_tick_ms_%s %.3f\n", label, unpacedTick);
  std::printf("ratio FullRedraw/Tick_%s %.2f\n", label, tick > 0 ? full / tick : 0.0);
  if (paced.withoutCount > 0) {
    const double withoutClock = TickMs(paced.without, paced.withoutCount);
    std::printf("tick_ms_%s_without_clock %.3f\n", label, withoutClock);
    std::printf("ratio TickClock/Tick_%s %.2f\n", label, tick > 0 ? withoutClock / tick : 0.0);
  }
  std::printf("phase_ms_%s restore %.3f step %.3f draw %.3f present %.3f\n", label,
              phases.restore / ticked, phases.step / ticked, phases.draw / ticked,
              phases.present / ticked);
  std::printf("full_phase_ms_%s restore %.3f present %.3f\n", label, phases.fullRestore / n,
              phases.fullPresent / n);
  const double surface = static_cast<double>(width) * height;
  std::printf("copied per tick: restore %.0f%%, present %.0f%% of the back surface\n",
              100 * counting.restored / ticked / surface,
              100 * counting.presented / ticked / surface);
  for (int slot = 0; slot < ActorTable::kSlots; ++slot) {
    Actor* actor = gScene.actors.At(slot);
    if (!actor) continue;
    const ActorInfo info = Describe(actor);
    std::printf("  slot %2d %-7s %4dx%-4d draw %.3f ms\n", slot, info.name, info.width,
                info.height, phases.slots[slot] / ticked);
  }
  std::fflush(stdout);
  ShutDownScene(gScene);
  DestroyWindow(window);
  return 0;
}
