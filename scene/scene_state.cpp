#include "scene/scene_state.h"

SceneState gScene;

void RestoreDirty(SceneState& scene) {
  while (scene.restoreList.Count() != 0) {
    Rect r = scene.restoreList.TakeFirst();
    if (scene.objects) scene.objects->RestoreBackground(r);
    scene.presentList.Add(r);
  }
  while (scene.quietRestoreList.Count() != 0) {
    Rect r = scene.quietRestoreList.TakeFirst();
    if (scene.objects) scene.objects->RestoreBackground(r);
  }
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
  RestoreDirty(scene);
  scene.actors.StepAll();
  scene.actors.DrawAll();
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
