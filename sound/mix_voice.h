// MixVoice: one playable instance of a Sound in a MixEngine. It reads the
// sound's samples through a FormatChain that converts them to the engine's
// output format; its volume, pan and loop flag live on the engine's board
// (MixBoard), which every operation here goes through. Voices are started
// after the engine is active: the scratch takes the engine's buffer size
// then. Caller's thread only. Target only.
#pragma once

#include <cstdint>

#include "sound/mix_board.h"
#include "sound/sound_status.h"

class MixEngine;
class SampleStream;
class Sound;

class MixVoice : public MixInput {
 public:
  // Attaches itself to the engine and builds the stream.
  MixVoice(Sound* sound, bool ownsSound, MixEngine* engine);
  ~MixVoice() override;

  // Attached to the engine (false only when memory ran out).
  bool Attached() const { return attached_; }

  // MIX_VOICE_CANNOT_START when there is no sound, no data, no stream, or
  // startFrame is not below the sound's length in frames; else seeks to the
  // frame and plays. A playing voice is stopped first.
  [[nodiscard]] MixVoiceStatus Start(std::uint32_t startFrame, bool loop);
  void Stop();
  bool IsPlaying() const;
  // MIX_VOICE_CANNOT_SEEK when there is no sound, no data or no frame size;
  // else seeks to the frame that holds byteOffset of the sound's own bytes
  // (the stream's position is in output bytes).
  [[nodiscard]] MixVoiceStatus Seek(std::uint32_t byteOffset);
  std::uint32_t Tell() const;
  // Clamped to -10000 ... 0 and -10000 ... 10000; heard from the next buffer.
  void SetVolume(std::int32_t volume);
  void SetPan(std::int32_t pan);
  void SetLevels(std::int32_t volume, std::int32_t pan);
  std::int32_t Volume() const;
  std::int32_t Pan() const;

  Sound* GetSound() const { return sound_; }

  // The stream from the sound's bytes to the engine's output format, anew.
  void OutputFormatChanged() override { BuildStream(); }

 private:
  void BuildStream();

  Sound* sound_;
  MixEngine* engine_;
  bool ownsSound_;
  bool attached_ = false;
  std::uint8_t* scratch_ = nullptr;
  std::uint32_t scratchBytes_ = 0;
  SampleStream* stream_ = nullptr;
};
