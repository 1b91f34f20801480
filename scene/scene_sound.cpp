#include "scene/scene_sound.h"

#include <cmath>
#include <new>

#include "gfx/debug_log.h"
#include "gfx/random_below.h"
#include "scene/creature_table.h"
#include "sound/wave_format.h"
#include "sound/wave_mixer.h"

namespace {

constexpr std::uint32_t kFadeOutMs = 2000;
constexpr std::uint32_t kCrossfadeMs = 3000;
constexpr std::uint32_t kResumeFadeMs = 100;  // the loop comes back without a click
constexpr std::uint32_t kOutputRate = 22050;
// More than the device's queue of five 45 ms buffers.
constexpr std::uint32_t kDrainMs = 400;

// Signed: the tick's clock wraps after 49 days.
bool Reached(std::uint32_t now, std::uint32_t when) { return std::int32_t(now - when) >= 0; }

}  // namespace

std::int32_t MixerLevelOfPercent(std::uint32_t percent) {
  if (percent >= 100) return 0;
  if (percent == 0) return -10000;
  return std::int32_t(std::lround(1000.0 * std::log2(percent / 100.0)));
}

void SceneSound::Start(HWND window, HMODULE library, const SoundPlan& plan,
                       LibraryOpener reopen) {
  plan_ = plan;
  reopen_ = reopen;
  mixer_ = new (std::nothrow) WaveMixer;
  if (!mixer_ || plan.muted || plan.volume == 0) return;
  WAVEFORMATEX format;
  MakePcmFormat(&format, kOutputRate, 8, 1);
  auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  mixer_->Open(module, window, &format, 0);
  mixer_->Activate(false);
  mixer_->Activate(true);
  if (!mixer_->IsActive()) DebugLog("Tidewater: no wave device opened; the scene runs silent\n");
  slots_[0] = mixer_->AllocSlot();
  slots_[1] = mixer_->AllocSlot();
  sound_ = kFirstSoundId + RandomMod(kSoundCount);
  const int status =
      mixer_->LoadResource(slots_[0], library, MAKEINTRESOURCEA(sound_), 1, WAVEMIX_COPY);
  if (status != WAVEMIX_LOADED)
    DebugLog("Tidewater: ambient sound %d not loaded (status %d)\n", sound_, status);
  else
    DebugLog("Tidewater: ambient sound %d\n", sound_);
}

bool SceneSound::DeviceOpen() const { return mixer_ && mixer_->IsActive(); }

void SceneSound::PlayFrom(std::int32_t slot, std::uint32_t frame, std::uint32_t fadeInMs) {
  if (fadeInMs) mixer_->FadeIn(slot, fadeInMs);
  if (plan_.volume >= 100) {
    mixer_->Play(slot, frame, kKeepPanAndVolume, kKeepPanAndVolume, kKeepPanAndVolume, true);
  } else {
    mixer_->Play(slot, frame, 0, MixerLevelOfPercent(plan_.volume), 0, true);
  }
}

void SceneSound::PlayAmbient(std::uint32_t nowMs) {
  if (!mixer_ || slots_[0] < 0) return;
  startMs_ = nowMs;
  nextChangeMs_ = nowMs + plan_.soundChange * plan_.minuteMs;
  PlayFrom(slots_[playing_], 0, 0);
}

void SceneSound::Tick(std::uint32_t nowMs) {
  if (!DeviceOpen() || finished_ || paused_) return;
  if (plan_.soundMinutes && !fadingOut_ &&
      Reached(nowMs, startMs_ + plan_.soundMinutes * plan_.minuteMs)) {
    fadingOut_ = true;
    mixer_->FadeOut(slots_[0], kFadeOutMs);
    mixer_->FadeOut(slots_[1], kFadeOutMs);
    DebugLog("Tidewater: the sound fades out\n");
  }
  if (fadingOut_) {
    if (mixer_->IsPlaying(slots_[0]) || mixer_->IsPlaying(slots_[1])) return;
    // The device still holds the fade's last buffers: let them play out.
    if (!silentSinceMs_) silentSinceMs_ = nowMs | 1;
    if (!Reached(nowMs, silentSinceMs_ + kDrainMs)) return;
    mixer_->Activate(false);
    finished_ = true;
    DebugLog("Tidewater: the sound has faded out; wave device closed\n");
    return;
  }
  if (plan_.soundChange && Reached(nowMs, nextChangeMs_)) {
    nextChangeMs_ += plan_.soundChange * plan_.minuteMs;
    ChangeSound();
  }
}

// Another of the library's sounds into the other slot, crossfaded with the
// one playing.
void SceneSound::ChangeSound() {
  HMODULE library = reopen_ ? reopen_() : nullptr;
  if (!library) {
    DebugLog("Tidewater: the resource library is gone; the sound stays\n");
    return;
  }
  // One of the other fifteen, so never the same twice in a row.
  const int next = kFirstSoundId + (sound_ - kFirstSoundId + 1 + RandomMod(kSoundCount - 1)) %
                                       kSoundCount;
  const int other = 1 - playing_;
  const int status =
      mixer_->LoadResource(slots_[other], library, MAKEINTRESOURCEA(next), 1, WAVEMIX_COPY);
  FreeLibrary(library);
  if (status != WAVEMIX_LOADED) {
    DebugLog("Tidewater: ambient sound %d not loaded (status %d); the sound stays\n", next,
             status);
    return;
  }
  mixer_->FadeOut(slots_[playing_], kCrossfadeMs);
  PlayFrom(slots_[other], 0, kCrossfadeMs);
  DebugLog("Tidewater: ambient sound %d crossfades into %d\n", sound_, next);
  playing_ = other;
  sound_ = next;
}

void SceneSound::Pause() {
  if (!DeviceOpen() || paused_) return;
  const std::int32_t slot = slots_[playing_];
  const std::uint32_t rate = mixer_->GetSampleRate(slot);
  // The voice's place is in output bytes (8-bit mono: output frames).
  pausedFrame_ =
      rate ? std::uint32_t(std::uint64_t(mixer_->GetPosition(slot)) * rate / kOutputRate) : 0;
  mixer_->Activate(false);  // stops every voice and closes the device
  paused_ = true;
  DebugLog("Tidewater: sound paused at frame %u; wave device closed\n", pausedFrame_);
}

void SceneSound::Resume() {
  if (!paused_ || !mixer_) return;
  if (fadingOut_) {
    // Paused while fading out: the sound is over.
    paused_ = false;
    finished_ = true;
    return;
  }
  mixer_->Activate(true);
  if (!mixer_->IsActive()) {
    DebugLog("Tidewater: no wave device opened again; the scene runs silent\n");
    return;  // still paused: the next resume tries again
  }
  const std::int32_t slot = slots_[playing_];
  const std::uint32_t length = mixer_->GetLength(slot);
  PlayFrom(slot, length ? pausedFrame_ % length : 0, kResumeFadeMs);
  paused_ = false;
  DebugLog("Tidewater: sound resumed at frame %u\n", pausedFrame_);
}

void SceneSound::Release() {
  delete mixer_;
  mixer_ = nullptr;
}
