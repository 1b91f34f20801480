#include "sound/wave_mixer.h"

#include <algorithm>
#include <cstring>

#include "gfx/file_mapping_block.h"
#include "gfx/global_memory_block.h"
#include "gfx/resource_block.h"
#include "gfx/wrapped_memory_block.h"
#include "pixel/cpu_features.h"
#include "sound/mix_engine.h"
#include "sound/mix_voice.h"
#include "sound/sound.h"
#include "sound/wave_format.h"

WaveMixer::WaveMixer() {
  for (int i = 0; i < kSlots; ++i) {
    std::fill(std::begin(voices_[i]), std::end(voices_[i]), nullptr);
    voiceCount_[i] = -1;
    nextVoice_[i] = 0;
  }
}

// The engine destroys every voice, and each voice its sound.
WaveMixer::~WaveMixer() { delete engine_; }

void WaveMixer::Open(HINSTANCE instance, HWND owner, const WAVEFORMATEX* format,
                     std::uint32_t kernelChoice) {
  if (engine_) return;
  std::uint32_t set = CpuHasMmx() ? MIX_KERNELS_MMX : MIX_KERNELS_PORTABLE;
  if (kernelChoice == 1) set = MIX_KERNELS_PORTABLE;
  if (kernelChoice == 2) set = MIX_KERNELS_MMX;
  engine_ = new MixEngine(format, instance, owner, set);
  std::memcpy(&format_, format, sizeof format_);
}

std::uint32_t WaveMixer::GetDeviceCaps() {
  WAVEOUTCAPSA caps = {};
  if (waveOutGetDevCapsA(UINT(GetDeviceIndex()), &caps, sizeof caps) != MMSYSERR_NOERROR) return 0;
  const DWORD mono = WAVE_FORMAT_1M08 | WAVE_FORMAT_1M16 | WAVE_FORMAT_2M08 | WAVE_FORMAT_2M16 |
                     WAVE_FORMAT_4M08 | WAVE_FORMAT_4M16 | WAVE_FORMAT_48M08 | WAVE_FORMAT_48M16 |
                     WAVE_FORMAT_96M08 | WAVE_FORMAT_96M16;
  const DWORD stereo = WAVE_FORMAT_1S08 | WAVE_FORMAT_1S16 | WAVE_FORMAT_2S08 | WAVE_FORMAT_2S16 |
                       WAVE_FORMAT_4S08 | WAVE_FORMAT_4S16 | WAVE_FORMAT_48S08 |
                       WAVE_FORMAT_48S16 | WAVE_FORMAT_96S08 | WAVE_FORMAT_96S16;
  const DWORD eight = WAVE_FORMAT_1M08 | WAVE_FORMAT_1S08 | WAVE_FORMAT_2M08 | WAVE_FORMAT_2S08 |
                      WAVE_FORMAT_4M08 | WAVE_FORMAT_4S08 | WAVE_FORMAT_48M08 | WAVE_FORMAT_48S08 |
                      WAVE_FORMAT_96M08 | WAVE_FORMAT_96S08;
  const DWORD sixteen = (mono | stereo) & ~eight;
  std::uint32_t flags = 0x10000000;
  if (caps.dwFormats & mono) flags |= 1;
  if (caps.dwFormats & stereo) flags |= 2;
  if (caps.dwFormats & eight) flags |= 4;
  if (caps.dwFormats & sixteen) flags |= 8;
  return flags;
}

std::int32_t WaveMixer::AllocSlot() {
  for (std::int32_t i = 0; i < kSlots; ++i) {
    if (voiceCount_[i] == -1) {
      voiceCount_[i] = 0;
      return i;
    }
  }
  return -1;
}

void WaveMixer::FreeSlot(std::int32_t slot) {
  if (!ValidSlot(slot)) return;
  UnloadSlot(slot);
  voiceCount_[slot] = -1;
}

void WaveMixer::UnloadSlot(std::int32_t slot) {
  if (!ValidSlot(slot)) return;
  for (MixVoice*& voice : voices_[slot]) {
    delete voice;
    voice = nullptr;
  }
  if (voiceCount_[slot] > 0) voiceCount_[slot] = 0;
}

WaveMixStatus WaveMixer::LoadFile(std::int32_t slot, const char* path, std::uint32_t, std::int32_t voices,
                        std::uint32_t flags) {
  if (!ValidSlot(slot)) return WAVEMIX_BAD_SLOT;
  if (!engine_) return WAVEMIX_NOT_OPENED;
  UnloadSlot(slot);
  auto* file = new FileMappingBlock(0, path, false, nullptr, true, true);
  if (!file->Pointer()) {
    delete file;
    return WAVEMIX_NOT_A_SOUND;
  }
  return LoadBlock(slot, file, nullptr, voices, flags);
}

WaveMixStatus WaveMixer::LoadResource(std::int32_t slot, HMODULE module, const char* name,
                            std::int32_t voices, std::uint32_t flags) {
  if (!ValidSlot(slot)) return WAVEMIX_BAD_SLOT;
  if (!engine_) return WAVEMIX_NOT_OPENED;
  UnloadSlot(slot);
  auto* resource = new ResourceBlock(module, name, "WAVE");
  if (!resource->Pointer() || resource->Size() == 0) {
    delete resource;
    return WAVEMIX_NO_RESOURCE;
  }
  return LoadBlock(slot, resource, nullptr, voices, flags);
}

WaveMixStatus WaveMixer::LoadMemory(std::int32_t slot, std::uint32_t, const WAVEFORMATEX* format,
                          const void* data, std::uint32_t length, std::uint32_t,
                          std::uint32_t flags) {
  if (!ValidSlot(slot)) return WAVEMIX_BAD_SLOT;
  if (!engine_) return WAVEMIX_NOT_OPENED;
  UnloadSlot(slot);
  if (!data || !format) return WAVEMIX_BAD_SLOT;
  auto* wrapper = new WrappedMemoryBlock(const_cast<void*>(data), length, false, true);
  return LoadBlock(slot, wrapper, format, 1, flags);
}

// The rest of every load: the bytes (copied with WAVEMIX_COPY) become a
// Sound (a WAVE image, or samples of the given format), then the voices.
WaveMixStatus WaveMixer::LoadBlock(std::int32_t slot, MemoryBlock* block,
                                   const WAVEFORMATEX* format, std::int32_t voices,
                                   std::uint32_t flags) {
  if (flags & WAVEMIX_COPY) {
    auto* copy = new GlobalMemoryBlock(block->Size(), true);
    const bool copied = copy->Pointer() != nullptr || block->Size() == 0;
    if (copied) std::memcpy(copy->Pointer(), block->Pointer(), block->Size());
    delete block;
    if (!copied) {
      delete copy;
      return WAVEMIX_NO_MEMORY;
    }
    block = copy;
  }
  auto* sound = new Sound(true, nullptr);
  const bool accepted = block->Pointer() && (format ? sound->SetSamples(format, block, true)
                                                    : sound->ParseWave(block, true));
  if (!accepted) {
    if (!block->Pointer()) delete block;  // the sound never took it
    delete sound;
    return WAVEMIX_NOT_A_SOUND;
  }
  // A sound the platform cannot convert keeps its own format: the voice's
  // stream converts it while it plays instead.
  if (flags & WAVEMIX_CONVERT) (void)sound->ConvertTo(&format_);
  voices_[slot][0] = new MixVoice(sound, true, engine_);
  voiceCount_[slot] = std::clamp(voices, 1, kVoicesPerSlot);
  for (int i = 1; i < voiceCount_[slot] && !voices_[slot][i]; ++i) {
    auto* shared = new Sound(true, nullptr);
    // The first sound was accepted with samples: sharing them cannot fail.
    (void)shared->ShareSamples(sound->Format(), sound->Data(), sound->DataSize());
    voices_[slot][i] = new MixVoice(shared, true, engine_);
  }
  for (int i = 0; i < voiceCount_[slot]; ++i) {
    if (voices_[slot][i] && voices_[slot][i]->Attached()) continue;
    UnloadSlot(slot);  // reserved and empty, as after any failed load
    return WAVEMIX_NO_MEMORY;
  }
  return WAVEMIX_LOADED;
}

void WaveMixer::Activate(bool on) {
  if (!engine_) return;
  // Inactive here, so the format is taken; a device that does not open
  // leaves the engine inactive, which IsActive tells the caller.
  if (!engine_->IsActive() && on) (void)engine_->SetFormat(&format_);
  (void)engine_->SetActive(on);
}

bool WaveMixer::IsActive() { return engine_ && engine_->IsActive(); }

void WaveMixer::Play(std::int32_t slot, std::uint32_t startFrame, std::int32_t pan,
                     std::int32_t volume, std::int32_t, bool loop) {
  if (!ValidSlot(slot) || !engine_ || !engine_->IsActive()) return;
  if (nextVoice_[slot] >= voiceCount_[slot]) nextVoice_[slot] = 0;
  MixVoice* voice = voices_[slot][nextVoice_[slot]];
  if (!voice) return;
  if (pan != kKeepPanAndVolume) voice->SetLevels(volume, pan);
  // A start past the end leaves the voice stopped, which IsPlaying tells.
  (void)voice->Start(startFrame, loop);
  ++nextVoice_[slot];
}

static std::uint32_t FadeFrames(const WAVEFORMATEX& format, std::uint32_t ms) {
  return std::uint32_t(std::uint64_t(ms) * format.nSamplesPerSec / 1000);
}

void WaveMixer::FadeIn(std::int32_t slot, std::uint32_t ms) {
  if (!ValidSlot(slot) || !engine_) return;
  const MixFade fade = MakeMixFade(0, kFadeUnity, FadeFrames(format_, ms), false);
  for (MixVoice* voice : voices_[slot])
    if (voice) engine_->SetVoiceFade(voice, fade);
}

void WaveMixer::FadeOut(std::int32_t slot, std::uint32_t ms) {
  if (!ValidSlot(slot) || !engine_) return;
  const std::uint32_t frames = FadeFrames(format_, ms);
  for (MixVoice* voice : voices_[slot])
    if (voice) engine_->FadeVoiceTo(voice, 0, frames, true);
}

void WaveMixer::Stop(std::int32_t slot) {
  if (!ValidSlot(slot)) return;
  for (MixVoice* voice : voices_[slot]) {
    if (voice) voice->Stop();
  }
}

void WaveMixer::StopAll() {
  for (std::int32_t i = 0; i < kSlots; ++i) Stop(i);
}

std::int32_t WaveMixer::GetVolume(std::int32_t slot) {
  MixVoice* voice = Voice(slot, 0);
  return voice ? voice->Volume() : 0;
}

void WaveMixer::SetVolume(std::int32_t slot, std::int32_t level) {
  if (!ValidSlot(slot)) return;
  for (MixVoice* voice : voices_[slot]) {
    if (voice) voice->SetVolume(level);
  }
}

std::int32_t WaveMixer::GetPan(std::int32_t slot) {
  MixVoice* voice = Voice(slot, 0);
  return voice ? voice->Pan() : 0;
}

void WaveMixer::SetPan(std::int32_t slot, std::int32_t pan) {
  if (!ValidSlot(slot)) return;
  for (MixVoice* voice : voices_[slot]) {
    if (voice) voice->SetPan(pan);
  }
}

std::uint32_t WaveMixer::GetPosition(std::int32_t slot) {
  MixVoice* voice = Voice(slot, 0);
  return voice && engine_ ? voice->Tell() : 0;
}

void WaveMixer::SetPosition(std::int32_t slot, std::uint32_t byteOffset) {
  if (!ValidSlot(slot)) return;
  for (MixVoice* voice : voices_[slot]) {
    // A voice without samples has no position to set; the others take it.
    if (voice) (void)voice->Seek(byteOffset);
  }
}

bool WaveMixer::IsPlaying(std::int32_t slot) {
  if (!ValidSlot(slot) || !engine_) return false;
  for (MixVoice* voice : voices_[slot]) {
    if (voice && voice->IsPlaying()) return true;
  }
  return false;
}

const Sound* WaveMixer::FirstSound(std::int32_t slot) const {
  MixVoice* voice = Voice(slot, 0);
  return voice && engine_ ? voice->GetSound() : nullptr;
}

std::uint32_t WaveMixer::GetSampleRate(std::int32_t slot) {
  const Sound* s = FirstSound(slot);
  return s && s->Format() ? s->Format()->nSamplesPerSec : 0;
}
std::uint32_t WaveMixer::GetBitsPerSample(std::int32_t slot) {
  const Sound* s = FirstSound(slot);
  return s && s->Format() ? s->Format()->wBitsPerSample : 0;
}
std::uint32_t WaveMixer::GetChannels(std::int32_t slot) {
  const Sound* s = FirstSound(slot);
  return s && s->Format() ? s->Format()->nChannels : 0;
}
std::uint32_t WaveMixer::GetDataSize(std::int32_t slot) {
  const Sound* s = FirstSound(slot);
  return s ? s->DataSize() : 0;
}
std::uint32_t WaveMixer::GetLength(std::int32_t slot) {
  const Sound* s = FirstSound(slot);
  return s ? s->FrameCount() : 0;
}
std::uint32_t WaveMixer::GetBytesPerFrame(std::int32_t slot) {
  const Sound* s = FirstSound(slot);
  return s ? BytesPerFrameOfCode(s->FormatCode()) : 0;
}

void WaveMixer::SetDevice(std::int32_t device) {
  // Refused while the device is open, as the interface has it: nothing to report.
  if (engine_) (void)engine_->SetDevice(device);
}

std::uint32_t WaveMixer::GetDeviceCount() { return waveOutGetNumDevs(); }

TextString WaveMixer::GetDeviceName(std::uint32_t device) {
  WAVEOUTCAPSA caps = {};
  if (waveOutGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR) return TextString();
  caps.szPname[sizeof caps.szPname - 1] = 0;
  return TextString(caps.szPname);
}

std::int32_t WaveMixer::VoiceCount(std::int32_t slot) const {
  return ValidSlot(slot) ? voiceCount_[slot] : -1;
}

MixVoice* WaveMixer::Voice(std::int32_t slot, int place) const {
  if (!ValidSlot(slot) || place < 0 || place >= kVoicesPerSlot) return nullptr;
  return voices_[slot][place];
}
