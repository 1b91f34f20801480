// WaveMixer: the sound front end. One MixEngine and 60 sound slots; a slot
// holds one loaded sound played through up to four voices, so that the sound
// can overlap itself, which Play hands out in turn. Target only.
//
// Slot states: free (count -1) -> reserved (0, AllocSlot) -> loaded (1 ... 4
// voices) -> reserved (UnloadSlot) -> free (FreeSlot). A failed load leaves the
// slot reserved and empty.
//
// Load results: WaveMixStatus (sound_status.h).
#pragma once

#include "sound/wave_mixer_base.h"

class MixEngine;
class MixVoice;
class MemoryBlock;
class Sound;

enum WaveMixerLoadFlags : std::uint32_t {
  WAVEMIX_CONVERT = 0x10000,  // convert to the output format at load time
  WAVEMIX_COPY = 0x40000,     // copy the bytes into a block of the mixer's own
};

// The pan argument of Play that leaves pan and volume as they are.
constexpr std::int32_t kKeepPanAndVolume = 999999;

class WaveMixer : public WaveMixerBase {
 public:
  static constexpr int kSlots = 60;
  static constexpr int kVoicesPerSlot = 4;

  WaveMixer();
  ~WaveMixer() override;

  // Only the first call does anything. kernelChoice: 1 portable, 2 "MMX",
  // anything else "MMX" when the processor has it.
  void Open(HINSTANCE instance, HWND owner, const WAVEFORMATEX* format,
            std::uint32_t kernelChoice) override;
  std::uint32_t GetDeviceCaps() override;
  std::int32_t AllocSlot() override;
  void FreeSlot(std::int32_t slot) override;
  [[nodiscard]] WaveMixStatus LoadFile(std::int32_t slot, const char* path, std::uint32_t reserved, std::int32_t voices,
               std::uint32_t flags) override;
  [[nodiscard]] WaveMixStatus LoadResource(std::int32_t slot, HMODULE module, const char* name, std::int32_t voices,
                   std::uint32_t flags) override;
  [[nodiscard]] WaveMixStatus LoadMemory(std::int32_t slot, std::uint32_t reserved, const WAVEFORMATEX* format,
                 const void* data, std::uint32_t length, std::uint32_t reserved2,
                 std::uint32_t flags) override;
  void UnloadSlot(std::int32_t slot) override;
  void Activate(bool on) override;
  bool IsActive() override;
  void Play(std::int32_t slot, std::uint32_t startFrame, std::int32_t pan, std::int32_t volume,
            std::int32_t reserved, bool loop) override;
  void Stop(std::int32_t slot) override;
  void StopAll() override;
  std::int32_t GetVolume(std::int32_t slot) override;
  void SetVolume(std::int32_t slot, std::int32_t level) override;
  std::int32_t GetPan(std::int32_t slot) override;
  void SetPan(std::int32_t slot, std::int32_t pan) override;
  std::uint32_t GetPosition(std::int32_t slot) override;
  void SetPosition(std::int32_t slot, std::uint32_t byteOffset) override;
  bool IsPlaying(std::int32_t slot) override;
  std::uint32_t GetSampleRate(std::int32_t slot) override;
  std::uint32_t GetBitsPerSample(std::int32_t slot) override;
  std::uint32_t GetChannels(std::int32_t slot) override;
  std::uint32_t GetDataSize(std::int32_t slot) override;
  std::uint32_t GetLength(std::int32_t slot) override;
  std::uint32_t GetBytesPerFrame(std::int32_t slot) override;
  void SetDevice(std::int32_t device) override;
  std::uint32_t GetDeviceCount() override;
  TextString GetDeviceName(std::uint32_t device) override;

  // Fades for the slot's voices, heard from the next buffer mixed: in, from
  // silence to the level's own amplitude (set it before Play, so the sound
  // never starts loud); out, from the amplitude now to silence, stopping the
  // voices at the end. Over ms milliseconds of output; nothing without Open.
  void FadeIn(std::int32_t slot, std::uint32_t ms);
  void FadeOut(std::int32_t slot, std::uint32_t ms);

  MixEngine* Engine() const { return engine_; }
  std::int32_t VoiceCount(std::int32_t slot) const;
  MixVoice* Voice(std::int32_t slot, int place) const;

 private:
  static bool ValidSlot(std::int32_t slot) { return slot >= 0 && slot < kSlots; }
  // The slot's first voice's sound, when the slot is valid and loaded.
  const Sound* FirstSound(std::int32_t slot) const;
  [[nodiscard]] WaveMixStatus LoadBlock(std::int32_t slot, MemoryBlock* block, const WAVEFORMATEX* format,
                std::int32_t voices, std::uint32_t flags);

  MixEngine* engine_ = nullptr;
  WAVEFORMATEX format_ = {};
  MixVoice* voices_[kSlots][kVoicesPerSlot];
  std::int32_t voiceCount_[kSlots];
  std::int32_t nextVoice_[kSlots];
};
