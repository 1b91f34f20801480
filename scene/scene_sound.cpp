#include "scene/scene_sound.h"

#include <new>

#include "gfx/debug_log.h"
#include "gfx/random_below.h"
#include "scene/species_table.h"
#include "sound/wave_format.h"
#include "sound/wave_mixer.h"

void SceneSound::Start(HWND window, HMODULE library, bool muted) {
  mixer_ = new (std::nothrow) WaveMixer;
  if (!mixer_ || muted) return;
  WAVEFORMATEX format;
  MakePcmFormat(&format, 22050, 8, 1);
  auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  mixer_->Open(module, window, &format, 0);
  mixer_->Activate(false);
  mixer_->Activate(true);
  const int sound = kFirstSoundId + RandomMod(kSoundCount);
  const int status = mixer_->LoadResource(mixer_->AllocSlot(), library, MAKEINTRESOURCEA(sound),
                                          1, WAVEMIX_COPY);
  if (status != 0) DebugLog("Tidewater: ambient sound %d not loaded (status %d)\n", sound, status);
}

void SceneSound::PlayAmbient() {
  if (mixer_)
    mixer_->Play(0, 0, kKeepPanAndVolume, kKeepPanAndVolume, kKeepPanAndVolume, true);
}

void SceneSound::Release() {
  delete mixer_;
  mixer_ = nullptr;
}
