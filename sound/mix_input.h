// MixInput: what the mixing loop needs of one playing voice. The engine's
// playing list holds MixInput pointers; MixVoice is the one real kind.
#pragma once

#include <cstdint>

class SampleStream;

class MixInput {
 public:
  virtual ~MixInput();
  // The voice's samples, already in the engine's output format.
  virtual SampleStream* Stream() = 0;
  virtual bool Loops() const = 0;
  virtual std::int32_t Volume() const = 0;  // -10000 ... 0
  virtual std::int32_t Pan() const = 0;     // -10000 ... 10000
  // At least one output buffer's worth of bytes.
  virtual std::uint8_t* Scratch() = 0;
  // Leaves the playing list; called by the mixing loop, which already holds
  // the engine's lock and has stepped past this voice's node.
  virtual void StopWhileMixing() = 0;
};
