// WaveMixerBase: the sound front end's interface, 34 operations in slot
// order, each with a default that does nothing or reports failure: loads 5
// (not supported), AllocSlot -1, queries 0, GetDeviceName the empty text.
// WaveMixer is the real one. Target only.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

#include "gfx/text_string.h"
#include "sound/sound_status.h"

class WaveMixerBase {
 public:
  virtual ~WaveMixerBase();
  virtual void Open(HINSTANCE instance, HWND owner, const WAVEFORMATEX* format,
                    std::uint32_t kernelChoice);
  virtual std::uint32_t GetDeviceCaps();
  virtual std::int32_t AllocSlot();
  virtual void FreeSlot(std::int32_t slot);
  [[nodiscard]] virtual WaveMixStatus LoadFile(std::int32_t slot, const char* path, std::uint32_t reserved,
                       std::int32_t voices, std::uint32_t flags);
  [[nodiscard]] virtual WaveMixStatus LoadResource(std::int32_t slot, HMODULE module, const char* name,
                           std::int32_t voices, std::uint32_t flags);
  [[nodiscard]] virtual WaveMixStatus LoadMemory(std::int32_t slot, std::uint32_t reserved, const WAVEFORMATEX* format,
                         const void* data, std::uint32_t length, std::uint32_t reserved2,
                         std::uint32_t flags);
  virtual void UnloadSlot(std::int32_t slot);
  virtual std::int32_t Reserved9(std::int32_t argument);
  virtual void Activate(bool on);
  virtual bool IsActive();
  virtual void Play(std::int32_t slot, std::uint32_t startFrame, std::int32_t pan,
                    std::int32_t volume, std::int32_t reserved, bool loop);
  virtual void Stop(std::int32_t slot);
  virtual void StopAll();
  virtual std::int32_t GetVolume(std::int32_t slot);
  virtual void SetVolume(std::int32_t slot, std::int32_t level);
  virtual std::int32_t GetPan(std::int32_t slot);
  virtual void SetPan(std::int32_t slot, std::int32_t pan);
  virtual std::int32_t Reserved19(std::int32_t argument);
  virtual void Reserved20(std::int32_t a, std::int32_t b);
  virtual std::uint32_t GetPosition(std::int32_t slot);
  virtual void SetPosition(std::int32_t slot, std::uint32_t byteOffset);
  virtual bool IsPlaying(std::int32_t slot);
  virtual std::uint32_t GetSampleRate(std::int32_t slot);
  virtual std::uint32_t GetBitsPerSample(std::int32_t slot);
  virtual std::uint32_t GetChannels(std::int32_t slot);
  virtual std::uint32_t GetDataSize(std::int32_t slot);
  virtual std::uint32_t GetLength(std::int32_t slot);
  virtual std::uint32_t GetBytesPerFrame(std::int32_t slot);
  virtual void SetDevice(std::int32_t device);
  virtual std::int32_t GetDeviceIndex();
  virtual std::uint32_t GetDeviceCount();
  virtual TextString GetDeviceName(std::uint32_t device);
};
