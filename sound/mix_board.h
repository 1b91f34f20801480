// MixBoard: everything the mixer's two threads share, behind one lock: the
// list of attached voices, the list of playing ones, and each voice's stream,
// scratch, loop flag, volume, pan and gains. MixEngine is a MixBoard with a
// wave device and an output thread; the board itself is portable, so its
// locking is tested on the host.
//
// Threads:
//   caller's thread  every operation but Mix and Fill: attaching, detaching,
//                    starting, stopping, seeking, levels, the channel count
//   output thread    Mix and Fill, once per buffer the device returns
// Every public operation takes the lock itself and holds it for its whole
// work; none calls out of the board while holding it. Levels turn into gains
// when they are set (and when the channel count changes), under the lock, so
// a buffer is always mixed with the gains of one whole setting.
//
// Volume and pan are in units where a level L gives the gain g = 2^(L/1000).
// Gains are 16-bit factors trunc(32767 x g); a pan > 0 lowers the left
// channel by 0.5^(pan/1000), a pan < 0 the right by 0.5^(-pan/1000). Scaling
// is skipped when every factor in use is 32767.
//
// A fade is a second, gradual factor on top of the level, for fading a sound
// in or out without a click: it moves in a straight line from one amplitude
// to another (1.0 = the level's own), sample frame by sample frame, over a
// given number of frames, and may stop the voice when it has reached 0. A
// voice not fading is mixed exactly as its level alone says.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "gfx/list.h"
#include "sound/mix_kernel.h"
#include "sound/sound_status.h"

class SampleStream;

struct MixGains {
  std::int32_t left;
  std::int32_t right;
  bool full;  // every factor in use is 32767: no scaling
};

MixGains ComputeMixGains(std::int32_t volume, std::int32_t pan, std::uint32_t channels);

// Reads n bytes of a voice into its scratch. At the end of the stream a
// looping voice rewinds and reads on; a voice that does not loop has the rest
// filled with 0x7F (8-bit) or 0 (16-bit) and must stop. A voice whose stream
// gives nothing at all must stop too, and what could not be read is silence.
// Returns true when the voice must stop.
bool ReadVoiceSamples(SampleStream* stream, bool loop, std::uint8_t* scratch, std::uint32_t n,
                      std::uint32_t bits);

// A fade's amplitude as a 32.32 fixed-point factor: kFadeUnity is 1.0.
constexpr std::int64_t kFadeUnity = std::int64_t(1) << 32;

struct MixFade {
  std::int64_t amplitude = kFadeUnity;  // now
  std::int64_t target = kFadeUnity;     // at the end
  std::int64_t step = 0;                // per sample frame
  std::uint32_t framesLeft = 0;         // 0: not fading, amplitude == target
  bool stopAtEnd = false;               // a fade to 0 stops the voice at its end

  bool Active() const { return framesLeft != 0 || amplitude != kFadeUnity; }
};

// A fade from `from` to `to` (kFadeUnity = 1.0, both clamped to 0 ... 1.0)
// over `frames` sample frames; 0 frames jumps to `to` at once.
MixFade MakeMixFade(std::int64_t from, std::int64_t to, std::uint32_t frames, bool stopAtEnd);

// Scales n bytes of a voice's samples, as read from its stream (8-bit
// unsigned or 16-bit signed, `channels` interleaved), by the fade, frame by
// frame, and moves the fade on by the frames it covered.
void ApplyMixFade(MixFade* fade, std::uint8_t* samples, std::uint32_t n, std::uint32_t bits,
                  std::uint32_t channels);

// One voice on the board. Its state belongs to the board it is attached to
// and is read and written only under the board's lock, through the board's
// operations; the kind of voice (MixVoice) adds what it plays.
class MixInput {
 public:
  MixInput() = default;
  MixInput(const MixInput&) = delete;
  MixInput& operator=(const MixInput&) = delete;
  virtual ~MixInput();
  // The board's output format changed (caller's thread, no mixing meanwhile):
  // the voice builds its stream anew and hands it over with SetVoiceStream.
  virtual void OutputFormatChanged() = 0;

 private:
  friend class MixBoard;
  SampleStream* stream_ = nullptr;   // the voice's own; the board only reads it
  std::uint8_t* scratch_ = nullptr;  // at least one output buffer's worth while playing
  bool loop_ = false;
  std::int32_t volume_ = 0;
  std::int32_t pan_ = 0;
  MixGains gains_ = {32767, 32767, true};
  MixFade fade_;
  ListNode* voicesNode_ = nullptr;
  ListNode* playingNode_ = nullptr;
};

class MixBoard {
 public:
  explicit MixBoard(std::uint32_t channels) : channels_(channels) {}
  MixBoard(const MixBoard&) = delete;
  MixBoard& operator=(const MixBoard&) = delete;
  // Detaches every voice still attached (the voices themselves are their owners').
  ~MixBoard();

  // Joins the voices list; MIX_VOICE_NO_MEMORY when no list node could be had.
  [[nodiscard]] MixVoiceStatus AttachVoice(MixInput* voice);
  // Leaves both lists; the voice's state is the voice's own again.
  void DetachVoice(MixInput* voice);
  // The stream the board reads from now on; returns the one it read before.
  SampleStream* SetVoiceStream(MixInput* voice, SampleStream* stream);

  // Seeks the voice's stream to byte `position` of the output, stores the loop
  // flag and the scratch, and appends the voice to the playing list (a playing
  // voice is stopped first). MIX_VOICE_CANNOT_START without a stream or scratch,
  // MIX_VOICE_NO_MEMORY when no list node could be had (the voice is then stopped).
  [[nodiscard]] MixVoiceStatus StartVoice(MixInput* voice, std::int32_t position, bool loop,
                                     std::uint8_t* scratch);
  void StopVoice(MixInput* voice);
  void StopAllVoices();
  bool IsVoicePlaying(const MixInput* voice) const;
  // The stream's new position in bytes, -1 without a stream.
  std::int32_t SeekVoice(MixInput* voice, std::int32_t position);
  std::int32_t TellVoice(const MixInput* voice) const;

  // Volume clamped to -10000 ... 0, pan to -10000 ... 10000; the gains follow at once.
  void SetVoiceLevels(MixInput* voice, std::int32_t volume, std::int32_t pan);
  void SetVoiceVolume(MixInput* voice, std::int32_t volume);
  void SetVoicePan(MixInput* voice, std::int32_t pan);
  std::int32_t VoiceVolume(const MixInput* voice) const;
  std::int32_t VoicePan(const MixInput* voice) const;
  MixGains VoiceGains(const MixInput* voice) const;

  // The voice's fade from now on (see MixFade); it goes on through stops
  // and starts, so a fade set before StartVoice applies from the first buffer.
  void SetVoiceFade(MixInput* voice, const MixFade& fade);
  // A fade from the voice's amplitude now to `to`, in one step under the lock.
  void FadeVoiceTo(MixInput* voice, std::int64_t to, std::uint32_t frames, bool stopAtEnd);
  // The voice's fade amplitude now (kFadeUnity = 1.0).
  std::int64_t VoiceFadeAmplitude(const MixInput* voice) const;

  // Every voice's gains worked out again for the new channel count.
  void SetChannels(std::uint32_t channels);
  std::uint32_t VoiceCount() const;
  std::uint32_t PlayingCount() const;
  // The attached voices as they are now, in attaching order.
  std::vector<MixInput*> AttachedVoices() const;

  // One kernel call: n = request rounded down to a multiple of 8 bytes of dst
  // mixed from every playing voice (each may stop); 8-bit results unsigned.
  // Returns n.
  std::uint32_t Mix(const MixKernel& kernel, std::uint8_t* dst, std::uint32_t request);
  // Fills up to capacity bytes by kernel calls of at most bufferBytes each,
  // until one returns 0; returns the bytes filled.
  std::uint32_t Fill(const MixKernel& kernel, std::uint8_t* dst, std::uint32_t capacity,
                     std::uint32_t bufferBytes);

 private:
  // With the lock held.
  void StopLocked(MixInput* voice);
  void UpdateGainsLocked(MixInput* voice);
  std::uint32_t MixLocked(const MixKernel& kernel, std::uint8_t* dst, std::uint32_t request);

  mutable std::mutex lock_;
  List voices_;
  List playing_;
  std::uint32_t channels_;
};
