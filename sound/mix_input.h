// MixInput: what the mixing loop needs of one playing voice: its stream,
// loop flag and scratch, and its volume and pan with the gains they give
// (worked out again only when one of them, or the channel count, changes).
// The engine's playing list holds MixInput pointers; MixVoice is the one
// real kind.
#pragma once

#include <cstdint>

#include "sound/voice_mix.h"

class SampleStream;

class MixInput {
 public:
  virtual ~MixInput();
  // The voice's samples, already in the engine's output format.
  virtual SampleStream* Stream() = 0;
  virtual bool Loops() const = 0;
  // At least one output buffer's worth of bytes.
  virtual std::uint8_t* Scratch() = 0;
  // Leaves the playing list; called by the mixing loop, which already holds
  // the engine's lock and has stepped past this voice's node.
  virtual void StopWhileMixing() = 0;

  std::int32_t Volume() const { return volume_; }
  std::int32_t Pan() const { return pan_; }
  // Clamped to -10000 ... 0.
  void SetVolume(std::int32_t volume);
  // Clamped to -10000 ... 10000.
  void SetPan(std::int32_t pan);
  const MixGains& Gains(std::uint32_t channels);

 private:
  std::int32_t volume_ = 0;
  std::int32_t pan_ = 0;
  std::uint32_t gainsChannels_ = 0;  // 0: the gains must be worked out
  MixGains gains_ = {32767, 32767, true};
};
