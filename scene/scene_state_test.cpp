#include "scene/scene_state.h"

#include <gtest/gtest.h>

#include "scene/actor_test_support.h"

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

std::string Describe(const char* what, const Rect& r) {
  return std::string(what) + " " + std::to_string(r.x) + "," + std::to_string(r.y) + "," +
         std::to_string(r.width) + "," + std::to_string(r.height);
}

class RecordingObjects : public SceneObjects {
 public:
  explicit RecordingObjects(Log& log) : log_(log) {}
  ~RecordingObjects() override { log_.push_back("delete objects"); }
  void RestoreBackground(const Rect& r) override { log_.push_back(Describe("restore", r)); }
  // Presents outside BeginPresent / EndPresent show up in the log.
  void PresentRect(const Rect& r, std::int32_t ox, std::int32_t oy) override {
    const Rect onScreen = {r.x + ox, r.y + oy, r.width, r.height};
    log_.push_back(Describe(held_ ? "present" : "present unheld", onScreen));
  }
  void BeginPresent() override {
    if (held_++) log_.push_back("nested begin");
  }
  void EndPresent() override {
    if (held_-- != 1) log_.push_back("unbalanced end");
  }
  void PresentScaled() override { log_.push_back("present scaled"); }
  void BeginMonitorScenes() override {
    log_.push_back(held_ ? "monitors begin held" : "monitors begin");
  }
  void EndMonitorScenes() override { log_.push_back(held_ ? "monitors end held" : "monitors end"); }
  void RedrawMonitorScenes() override { log_.push_back("redraw monitors"); }
  void Paint() override { log_.push_back("paint"); }
  void RealizePalette() override { log_.push_back("realize"); }
  void TickSound(std::uint32_t) override {}
  void PauseSound() override {}
  void ResumeSound() override {}
  void ReleaseMixer() override { log_.push_back("release mixer"); }
  void ReleaseDisplay() override { log_.push_back("release display"); }
  void ReleaseGraphics() override { log_.push_back("release graphics"); }

 private:
  Log& log_;
  int held_ = 0;
};

// Draws one rectangle that moves right by `speed` each step, adding it to
// both lists as a sprite does.
class SlidingActor : public Actor {
 public:
  SlidingActor(SceneState& scene, Log& log, const char* name, Rect at, int speed,
               int stepsToLive = -1)
      : scene_(scene), log_(log), name_(name), at_(at), speed_(speed), life_(stepsToLive) {}
  ~SlidingActor() override { log_.push_back(std::string("destroy ") + name_); }
  std::int32_t Step() override {
    log_.push_back(std::string("step ") + name_);
    at_.x += speed_;
    return life_ >= 0 && --life_ < 0;
  }
  std::int32_t Draw() override {
    log_.push_back(std::string("draw ") + name_);
    scene_.presentList.Add(at_);
    scene_.restoreList.Add(at_);
    return 0;
  }

 private:
  SceneState& scene_;
  Log& log_;
  const char* name_;
  Rect at_;
  int speed_;
  int life_;
};

struct Fixture {
  Log log;
  SceneState scene;
  Fixture() { scene.objects = new RecordingObjects(log); }
  ~Fixture() { ShutDownScene(scene); }
};

}  // namespace

TEST(FrameLoop, FirstTickPresentsTheWholeSurfaceOnce) {
  Fixture f;
  f.scene.actors.Place(0, new SlidingActor(f.scene, f.log, "a", {10, 10, 20, 20}, 5));
  f.scene.restoreList.Add({0, 0, 640, 480});
  RunFrame(f.scene);
  EXPECT_EQ(f.log, (Log{"monitors begin", "restore 0,0,640,480", "step a", "draw a", "monitors end",
                        "present 0,0,640,480"}));
  EXPECT_EQ(f.scene.presentList.Count(), 0u);
  EXPECT_EQ(f.scene.restoreList.Count(), 1u);  // what the actor covered

  // Next tick: restore last frame's rectangle, present the union of old and new.
  f.log.clear();
  RunFrame(f.scene);
  EXPECT_EQ(f.log, (Log{"monitors begin", "restore 15,10,20,20", "step a", "draw a", "monitors end",
                        "present 15,10,20,20", "present 20,10,20,20"}));
}

// The restore walk touches the overlays before it restores: their tiles under
// last frame's rectangles are restored whole, through the scene's restore.
TEST(FrameLoop, RestoreTouchesTheOverlaysTilesWhole) {
  Fixture f;
  SizedImage surface(640, 480), rocks(100, 100);
  f.scene.overlays.Attach(&surface);
  ASSERT_EQ(f.scene.overlays.Add({&rocks, nullptr, 0, {0, 0, 100, 100}, 0}), 0);
  f.scene.restoreList.Add({20, 20, 8, 8});
  RunFrame(f.scene);
  EXPECT_EQ(f.log, (Log{"monitors begin", "restore 16,16,16,16", "restore 20,20,8,8",
                        "monitors end", "present 20,20,8,8"}));
}

TEST(FrameLoop, PresentAddsTheScreenOffset) {
  Fixture f;
  f.scene.offsetX = 128;
  f.scene.offsetY = 96;
  f.scene.restoreList.Add({1, 2, 3, 4});
  RunFrame(f.scene);
  EXPECT_EQ(f.log,
            (Log{"monitors begin", "restore 1,2,3,4", "monitors end", "present 129,98,3,4"}));
}

TEST(FrameLoop, ActorsStepAllThenDrawAllInSlotOrder) {
  Fixture f;
  f.scene.actors.Place(7, new SlidingActor(f.scene, f.log, "late", {0, 0, 1, 1}, 0));
  f.scene.actors.Place(2, new SlidingActor(f.scene, f.log, "early", {5, 5, 1, 1}, 0));
  f.scene.actors.Place(3, nullptr);  // a slot whose actor could not be made
  RunFrame(f.scene);
  EXPECT_EQ(f.log, (Log{"monitors begin", "step early", "step late", "draw early", "draw late",
                        "monitors end", "present 5,5,1,1", "present 0,0,1,1"}));
}

TEST(FrameLoop, AnActorThatAsksToGoIsDestroyedBeforeDrawing) {
  Fixture f;
  f.scene.actors.Place(0, new SlidingActor(f.scene, f.log, "once", {0, 0, 1, 1}, 0, 0));
  f.scene.actors.Place(1, new SlidingActor(f.scene, f.log, "stays", {9, 9, 1, 1}, 0));
  RunFrame(f.scene);
  EXPECT_EQ(f.log, (Log{"monitors begin", "step once", "destroy once", "step stays", "draw stays",
                        "monitors end", "present 9,9,1,1"}));
  EXPECT_EQ(f.scene.actors.At(0), nullptr);
  EXPECT_NE(f.scene.actors.At(1), nullptr);
}

TEST(FrameLoop, PreviewScalesTheWholeSurfaceEveryTick) {
  Fixture f;
  f.scene.preview = true;
  f.scene.restoreList.Add({0, 0, 1024, 768});
  RunFrame(f.scene);
  RunFrame(f.scene);
  EXPECT_EQ(f.log, (Log{"restore 0,0,1024,768", "present scaled", "present scaled"}));
  // The present list is neither read nor emptied in preview.
  EXPECT_EQ(f.scene.presentList.Count(), 1u);
}

TEST(FrameLoop, WithoutObjectsTheListsStillDrain) {
  SceneState scene;
  scene.restoreList.Add({0, 0, 10, 10});
  RunFrame(scene);
  EXPECT_EQ(scene.restoreList.Count(), 0u);
  EXPECT_EQ(scene.presentList.Count(), 0u);
}

TEST(SceneShutdown, FixedOrderAndOnlyOnce) {
  Fixture f;
  f.scene.actors.Place(4, new SlidingActor(f.scene, f.log, "b", {0, 0, 1, 1}, 0));
  f.scene.actors.Place(1, new SlidingActor(f.scene, f.log, "a", {0, 0, 1, 1}, 0));
  f.scene.restoreList.Add({0, 0, 1, 1});
  ShutDownScene(f.scene);
  EXPECT_EQ(f.log, (Log{"destroy a", "destroy b", "release mixer", "release display",
                        "release graphics", "delete objects"}));
  EXPECT_TRUE(f.scene.shutDown);
  EXPECT_EQ(f.scene.objects, nullptr);
  EXPECT_EQ(f.scene.restoreList.Count(), 1u);  // emptied only at process exit
  f.log.clear();
  ShutDownScene(f.scene);
  EXPECT_TRUE(f.log.empty());
}

TEST(ActorTable, PlaceReplacesAndRejectsOutOfRange) {
  Log log;
  SceneState scene;
  ActorTable table;
  EXPECT_TRUE(table.Place(0, new SlidingActor(scene, log, "first", {}, 0)));
  EXPECT_TRUE(table.Place(0, new SlidingActor(scene, log, "second", {}, 0)));
  EXPECT_EQ(log, (Log{"destroy first"}));
  EXPECT_FALSE(table.Place(25, new SlidingActor(scene, log, "outside", {}, 0)));
  EXPECT_FALSE(table.Place(-1, nullptr));
  EXPECT_EQ(log, (Log{"destroy first", "destroy outside"}));
  EXPECT_EQ(table.At(25), nullptr);
  EXPECT_TRUE(table.Place(24, new SlidingActor(scene, log, "last", {}, 0)));
  table.DestroyAll();
  EXPECT_EQ(log, (Log{"destroy first", "destroy outside", "destroy second", "destroy last"}));
  EXPECT_EQ(table.At(0), nullptr);
}

TEST(ActorTable, TakeHandsOverWithoutDestroying) {
  Log log;
  SceneState scene;
  ActorTable table;
  auto* actor = new SlidingActor(scene, log, "taken", {}, 0);
  table.Place(3, actor);
  EXPECT_EQ(table.Take(3), actor);
  EXPECT_EQ(table.At(3), nullptr);
  EXPECT_EQ(table.Take(3), nullptr);
  EXPECT_EQ(table.Take(25), nullptr);
  table.DestroyAll();
  EXPECT_TRUE(log.empty());  // the table no longer owned it
  EXPECT_TRUE(table.Place(3, actor));
  table.DestroyAll();
  EXPECT_EQ(log, (Log{"destroy taken"}));
}
