#pragma once
// The sound of a full-screen scene: the WaveMixer, one ambient sound out of
// the resource library, looping from setup until shutdown. Target only.

#include "port/win32.h"

class WaveMixer;

class SceneSound {
 public:
  SceneSound() = default;
  ~SceneSound() { Release(); }
  SceneSound(const SceneSound&) = delete;
  SceneSound& operator=(const SceneSound&) = delete;

  // Makes the WaveMixer (in every full-screen scene). Unless muted it is
  // opened for PCM 22050 Hz, 8 bits, mono, activated, and one of the
  // library's ambient sounds (chosen at random) is copied out of the library
  // into a slot, so that the library can be freed at once. A sound that does
  // not load is logged; the scene runs silent.
  void Start(HWND window, HMODULE library, bool muted);
  // Slot 0 from its first frame, looping until Release, pan and volume as
  // they are; nothing when the mixer was not made.
  void PlayAmbient();
  // Destroys the mixer, which stops the sound.
  void Release();

 private:
  WaveMixer* mixer_ = nullptr;
};
