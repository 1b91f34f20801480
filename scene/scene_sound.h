#pragma once
// The sound of a full-screen scene: the WaveMixer and one ambient sound out
// of the resource library, looping from setup on. Target only.
//
// The plan (from the configuration) adds to that loop:
//   volume        the level in percent through the mixer's own volume
//                 (100: the voice's level as it is, 0: no mixer opened);
//   sound minutes after this many minutes the sound fades out over two
//                 seconds and the device is closed (0: never);
//   sound change  every this many minutes the sound crossfades over three
//                 seconds into another of the library's, never the same one
//                 twice in a row, through a second slot (0: never).
// While the display is off or the machine suspends, the device is closed;
// the loop goes on from where it was when the sound comes back.

#include <cstdint>

#include "port/win32.h"
#include "scene/tick_trace.h"

class WaveMixer;

struct SoundPlan {
  bool muted = false;
  std::uint32_t volume = 100;       // percent
  std::uint32_t soundMinutes = 0;   // 0: the sound plays as long as the saver runs
  std::uint32_t soundChange = 0;    // minutes; 0: one loop for the whole run
  std::uint32_t minuteMs = kMinuteMs;  // the length of a minute (tests shorten it)
};

// The mixer's level for a volume in percent: 1000 x log2(percent / 100),
// rounded; 100 gives 0 and 50 gives -1000 (half the gain).
std::int32_t MixerLevelOfPercent(std::uint32_t percent);

class SceneSound {
 public:
  // Opens the resource library again for a change of sound; null when it is gone.
  using LibraryOpener = HMODULE (*)();

  SceneSound() = default;
  ~SceneSound() { Release(); }
  SceneSound(const SceneSound&) = delete;
  SceneSound& operator=(const SceneSound&) = delete;

  // Makes the WaveMixer (in every full-screen scene). Unless muted or at
  // volume 0 it is opened for PCM 22050 Hz, 8 bits, mono, activated, and one
  // of the library's ambient sounds (chosen at random) is copied out of the
  // library into a slot, so that the library can be freed at once. A sound
  // that does not load, or a device that does not open, is logged; the scene
  // runs silent.
  void Start(HWND window, HMODULE library, const SoundPlan& plan, LibraryOpener reopen);
  // The loop from its first frame; nothing when the mixer was not opened.
  void PlayAmbient(std::uint32_t nowMs);
  // Every frame tick: the plan's fade and changes.
  void Tick(std::uint32_t nowMs);
  // The device closed (display off, suspend), the loop's place kept.
  void Pause();
  // The device opened again and the loop going on from its place, unless the
  // sound has faded out for good.
  void Resume();
  // Destroys the mixer, which stops the sound.
  void Release();

  bool DeviceOpen() const;

 private:
  void PlayFrom(std::int32_t slot, std::uint32_t frame, std::uint32_t fadeInMs);
  void ChangeSound();

  WaveMixer* mixer_ = nullptr;
  SoundPlan plan_;
  LibraryOpener reopen_ = nullptr;
  std::int32_t slots_[2] = {-1, -1};  // the playing sound's and the one it changes into
  int playing_ = 0;                   // which of the two plays now
  int sound_ = -1;                    // the playing sound's resource number
  std::uint32_t startMs_ = 0;
  std::uint32_t nextChangeMs_ = 0;
  bool fadingOut_ = false;  // the plan's minutes are up
  std::uint32_t silentSinceMs_ = 0;  // when the faded voices had stopped (0: not yet)
  bool finished_ = false;   // faded out and closed for good
  bool paused_ = false;
  std::uint32_t pausedFrame_ = 0;
};
