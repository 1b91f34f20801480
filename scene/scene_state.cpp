#include "scene/scene_state.h"

SceneState gScene;

void RestoreLists(DirtyRectList& presentList, DirtyRectList& restoreList,
                  StillOverlays& overlays, RestoreRect restore, void* context) {
  overlays.BeginFrame(restore, context);
  while (restoreList.Count() != 0) {
    Rect r = restoreList.TakeFirst();
    overlays.Touch(r);
    restore(context, r);
    presentList.Add(r);
  }
}

void RestoreDirty(SceneState& scene) {
  const RestoreRect fromObjects = [](void* context, const Rect& r) {
    if (auto* objects = static_cast<SceneObjects*>(context)) objects->RestoreBackground(r);
  };
  RestoreLists(scene.presentList, scene.restoreList, scene.overlays, fromObjects,
               scene.objects);
}

void PresentDirty(SceneState& scene) {
  if (!scene.objects) {
    scene.presentList.Clear();
    return;
  }
  scene.objects->BeginPresent();
  while (scene.presentList.Count() != 0) {
    Rect r = scene.presentList.TakeFirst();
    scene.objects->PresentRect(r, scene.offsetX, scene.offsetY);
  }
  scene.objects->EndPresent();
}

void RunFrame(SceneState& scene) {
  const bool monitors = !scene.preview && scene.objects;
  if (monitors) scene.objects->BeginMonitorScenes();
  RestoreDirty(scene);
  scene.actors.StepAll();
  scene.actors.DrawAll();
  if (monitors) scene.objects->EndMonitorScenes();
  if (!scene.preview) {
    PresentDirty(scene);
    return;
  }
  if (scene.objects) scene.objects->PresentScaled();
}

void ShutDownScene(SceneState& scene) {
  if (scene.shutDown) return;
  scene.shutDown = true;
  scene.actors.DestroyAll();
  SceneObjects* objects = scene.objects;
  scene.objects = nullptr;
  if (!objects) return;
  objects->ReleaseMixer();
  objects->ReleaseDisplay();
  objects->ReleaseGraphics();
  delete objects;
}
