// MixVoice: one playable instance of a Sound in a MixEngine. It reads the
// sound's samples through a FormatChain that converts them to the engine's
// output format, and carries its volume, pan and loop flag (MixInput). Voices
// are started after the engine is active: the scratch takes the engine's
// buffer size then. Target only.
#pragma once

#include <cstdint>

#include "gfx/list.h"
#include "sound/mix_input.h"

class MixEngine;
class Sound;

class MixVoice : public MixInput {
 public:
  // Joins the engine's voice list under its lock and builds the stream.
  MixVoice(Sound* sound, bool ownsSound, MixEngine* engine);
  ~MixVoice() override;

  // 1 when there is no sound, no data, or startFrame is not below the
  // sound's length in frames; else seeks to the frame, joins the playing
  // list and returns 0. A playing voice is stopped first.
  int Start(std::uint32_t startFrame, bool loop);
  int Stop();
  bool IsPlaying() const { return playingNode_ != nullptr; }
  // 2 when there is no sound, no data or no frame size; else seeks to the
  // frame that holds byteOffset of the sound's own bytes (the stream's
  // position is in output bytes).
  int Seek(std::uint32_t byteOffset);
  std::uint32_t Tell();
  // The stream from the sound's bytes to the engine's output format, anew.
  void BuildStream();

  Sound* GetSound() const { return sound_; }

  SampleStream* Stream() override { return stream_; }
  bool Loops() const override { return loop_; }
  std::uint8_t* Scratch() override { return scratch_; }
  void StopWhileMixing() override;

 private:
  Sound* sound_;
  ListNode* voicesNode_ = nullptr;
  ListNode* playingNode_ = nullptr;
  MixEngine* engine_;
  bool ownsSound_;
  bool loop_ = false;
  std::uint8_t* scratch_ = nullptr;
  std::uint32_t scratchBytes_ = 0;
  SampleStream* stream_ = nullptr;
};
