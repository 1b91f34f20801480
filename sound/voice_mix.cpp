#include "sound/voice_mix.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sound/mix_input.h"
#include "sound/sample_stream.h"

MixInput::~MixInput() = default;

void MixInput::SetVolume(std::int32_t volume) {
  volume_ = std::clamp(volume, -10000, 0);
  gainsChannels_ = 0;
}

void MixInput::SetPan(std::int32_t pan) {
  pan_ = std::clamp(pan, -10000, 10000);
  gainsChannels_ = 0;
}

const MixGains& MixInput::Gains(std::uint32_t channels) {
  if (gainsChannels_ != channels) {
    gains_ = ComputeMixGains(volume_, pan_, channels);
    gainsChannels_ = channels;
  }
  return gains_;
}

static std::int32_t Factor(double gain) { return std::int32_t(32767.0 * gain); }

MixGains ComputeMixGains(std::int32_t volume, std::int32_t pan, std::uint32_t channels) {
  volume = std::clamp(volume, -10000, 0);
  pan = std::clamp(pan, -10000, 10000);
  const double g = std::pow(0.5, -volume / 1000.0);
  MixGains gains;
  gains.left = gains.right = Factor(g);
  if (channels == 2 && pan > 0) gains.left = Factor(g * std::pow(0.5, pan / 1000.0));
  if (channels == 2 && pan < 0) gains.right = Factor(g * std::pow(0.5, -pan / 1000.0));
  gains.full = gains.left == 32767 && gains.right == 32767;
  return gains;
}

bool ReadVoiceSamples(SampleStream* stream, bool loop, std::uint8_t* scratch, std::uint32_t n,
                      std::uint32_t bits) {
  const std::uint8_t silence = bits == 8 ? 0x80 : 0;
  std::uint32_t got = 0, want = n;
  bool stop = false;
  for (;;) {
    std::uint32_t now = stream->Read(scratch + got, want);
    if (now == 0 && loop) {
      stream->Seek(0, SEEK_FROM_START);
      now = stream->Read(scratch + got, want);
    } else if (now == 0) {
      std::memset(scratch + got, bits == 8 ? 0x7F : 0, want);
      stop = true;
      now = want;
    }
    got += now;
    want -= now;
    if (want == 0 || now == 0) break;
  }
  if (want == n) stop = true;
  if (want != 0) std::memset(scratch + got, silence, want);
  return stop;
}

std::uint32_t MixVoices(const MixKernel& kernel, std::uint8_t* dst, std::uint32_t request,
                        const List& playing) {
  const std::uint32_t n = request & ~7u;
  if (n == 0 || !kernel.Valid()) return 0;
  std::memset(dst, 0, n);
  for (ListNode* node = playing.First(); node;) {
    ListNode* next = node->next;
    auto* voice = static_cast<MixInput*>(node->data);
    std::uint8_t* scratch = voice->Scratch();
    if (ReadVoiceSamples(voice->Stream(), voice->Loops(), scratch, n, kernel.bits))
      voice->StopWhileMixing();
    const MixGains& gains = voice->Gains(kernel.channels);
    kernel.accumulate(dst, scratch, n, gains.left, gains.right, !gains.full);
    node = next;
  }
  if (kernel.finish) kernel.finish(dst, n);
  return n;
}

std::uint32_t FillMixBuffer(const MixKernel& kernel, std::uint8_t* dst, std::uint32_t capacity,
                            std::uint32_t bufferBytes, const List& playing) {
  std::uint32_t filled = 0;
  for (;;) {
    const std::uint32_t done =
        MixVoices(kernel, dst + filled, std::min(capacity - filled, bufferBytes), playing);
    if (done == 0) return filled;
    filled += done;
  }
}
