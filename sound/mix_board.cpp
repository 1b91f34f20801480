#include "sound/mix_board.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sound/sample_stream.h"

MixInput::~MixInput() = default;

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

MixFade MakeMixFade(std::int64_t from, std::int64_t to, std::uint32_t frames, bool stopAtEnd) {
  MixFade fade;
  fade.amplitude = std::clamp<std::int64_t>(from, 0, kFadeUnity);
  fade.target = std::clamp<std::int64_t>(to, 0, kFadeUnity);
  fade.framesLeft = frames;
  fade.step = frames ? (fade.target - fade.amplitude) / std::int64_t(frames) : 0;
  fade.stopAtEnd = stopAtEnd;
  if (frames == 0) fade.amplitude = fade.target;
  return fade;
}

void ApplyMixFade(MixFade* fade, std::uint8_t* samples, std::uint32_t n, std::uint32_t bits,
                  std::uint32_t channels) {
  const std::uint32_t bytesPerSample = bits / 8;
  const std::uint32_t frameBytes = bytesPerSample * channels;
  if (frameBytes == 0) return;
  for (std::uint32_t at = 0; at + frameBytes <= n; at += frameBytes) {
    const std::int64_t factor = fade->amplitude >> 16;  // 0 ... 65536
    for (std::uint32_t c = 0; c < channels; ++c) {
      std::uint8_t* p = samples + at + c * bytesPerSample;
      if (bits == 8) {
        *p = std::uint8_t(((std::int64_t(*p) - 128) * factor >> 16) + 128);
      } else {
        const auto s = std::int16_t(p[0] | p[1] << 8);
        const auto scaled = std::uint16_t(std::int16_t(s * factor >> 16));
        p[0] = std::uint8_t(scaled);
        p[1] = std::uint8_t(scaled >> 8);
      }
    }
    if (fade->framesLeft == 0) continue;
    fade->amplitude += fade->step;
    if (--fade->framesLeft == 0) fade->amplitude = fade->target;
  }
}

MixBoard::~MixBoard() {
  std::lock_guard<std::mutex> hold(lock_);
  while (ListNode* node = playing_.First()) StopLocked(static_cast<MixInput*>(node->data));
  while (ListNode* node = voices_.First()) {
    static_cast<MixInput*>(node->data)->voicesNode_ = nullptr;
    voices_.Remove(node);
  }
}

MixVoiceStatus MixBoard::AttachVoice(MixInput* voice) {
  std::lock_guard<std::mutex> hold(lock_);
  if (voice->voicesNode_) return MIX_VOICE_OK;
  voice->voicesNode_ = voices_.PushBack(voice);
  UpdateGainsLocked(voice);
  return voice->voicesNode_ ? MIX_VOICE_OK : MIX_VOICE_NO_MEMORY;
}

void MixBoard::DetachVoice(MixInput* voice) {
  std::lock_guard<std::mutex> hold(lock_);
  StopLocked(voice);
  if (voice->voicesNode_) voices_.Remove(voice->voicesNode_);
  voice->voicesNode_ = nullptr;
}

SampleStream* MixBoard::SetVoiceStream(MixInput* voice, SampleStream* stream) {
  std::lock_guard<std::mutex> hold(lock_);
  SampleStream* before = voice->stream_;
  voice->stream_ = stream;
  if (!stream) StopLocked(voice);
  return before;
}

MixVoiceStatus MixBoard::StartVoice(MixInput* voice, std::int32_t position, bool loop,
                               std::uint8_t* scratch) {
  std::lock_guard<std::mutex> hold(lock_);
  StopLocked(voice);
  if (!voice->stream_ || !scratch) return MIX_VOICE_CANNOT_START;
  voice->stream_->Seek(position, SEEK_FROM_START);
  voice->loop_ = loop;
  voice->scratch_ = scratch;
  voice->playingNode_ = playing_.PushBack(voice);
  return voice->playingNode_ ? MIX_VOICE_OK : MIX_VOICE_NO_MEMORY;
}

void MixBoard::StopLocked(MixInput* voice) {
  if (voice->playingNode_) playing_.Remove(voice->playingNode_);
  voice->playingNode_ = nullptr;
}

void MixBoard::StopVoice(MixInput* voice) {
  std::lock_guard<std::mutex> hold(lock_);
  StopLocked(voice);
}

void MixBoard::StopAllVoices() {
  std::lock_guard<std::mutex> hold(lock_);
  while (ListNode* node = playing_.First()) StopLocked(static_cast<MixInput*>(node->data));
}

bool MixBoard::IsVoicePlaying(const MixInput* voice) const {
  std::lock_guard<std::mutex> hold(lock_);
  return voice->playingNode_ != nullptr;
}

std::int32_t MixBoard::SeekVoice(MixInput* voice, std::int32_t position) {
  std::lock_guard<std::mutex> hold(lock_);
  return voice->stream_ ? voice->stream_->Seek(position, SEEK_FROM_START) : -1;
}

std::int32_t MixBoard::TellVoice(const MixInput* voice) const {
  std::lock_guard<std::mutex> hold(lock_);
  return voice->stream_ ? voice->stream_->Seek(0, SEEK_FROM_CURRENT) : 0;
}

void MixBoard::UpdateGainsLocked(MixInput* voice) {
  voice->gains_ = ComputeMixGains(voice->volume_, voice->pan_, channels_);
}

void MixBoard::SetVoiceLevels(MixInput* voice, std::int32_t volume, std::int32_t pan) {
  std::lock_guard<std::mutex> hold(lock_);
  voice->volume_ = std::clamp(volume, -10000, 0);
  voice->pan_ = std::clamp(pan, -10000, 10000);
  UpdateGainsLocked(voice);
}

void MixBoard::SetVoiceVolume(MixInput* voice, std::int32_t volume) {
  std::lock_guard<std::mutex> hold(lock_);
  voice->volume_ = std::clamp(volume, -10000, 0);
  UpdateGainsLocked(voice);
}

void MixBoard::SetVoicePan(MixInput* voice, std::int32_t pan) {
  std::lock_guard<std::mutex> hold(lock_);
  voice->pan_ = std::clamp(pan, -10000, 10000);
  UpdateGainsLocked(voice);
}

std::int32_t MixBoard::VoiceVolume(const MixInput* voice) const {
  std::lock_guard<std::mutex> hold(lock_);
  return voice->volume_;
}

std::int32_t MixBoard::VoicePan(const MixInput* voice) const {
  std::lock_guard<std::mutex> hold(lock_);
  return voice->pan_;
}

MixGains MixBoard::VoiceGains(const MixInput* voice) const {
  std::lock_guard<std::mutex> hold(lock_);
  return voice->gains_;
}

void MixBoard::SetChannels(std::uint32_t channels) {
  std::lock_guard<std::mutex> hold(lock_);
  channels_ = channels;
  for (ListNode* node = voices_.First(); node; node = node->next)
    UpdateGainsLocked(static_cast<MixInput*>(node->data));
}

void MixBoard::SetVoiceFade(MixInput* voice, const MixFade& fade) {
  std::lock_guard<std::mutex> hold(lock_);
  voice->fade_ = fade;
}

void MixBoard::FadeVoiceTo(MixInput* voice, std::int64_t to, std::uint32_t frames,
                           bool stopAtEnd) {
  std::lock_guard<std::mutex> hold(lock_);
  voice->fade_ = MakeMixFade(voice->fade_.amplitude, to, frames, stopAtEnd);
}

std::int64_t MixBoard::VoiceFadeAmplitude(const MixInput* voice) const {
  std::lock_guard<std::mutex> hold(lock_);
  return voice->fade_.amplitude;
}

std::uint32_t MixBoard::VoiceCount() const {
  std::lock_guard<std::mutex> hold(lock_);
  return voices_.Count();
}

std::uint32_t MixBoard::PlayingCount() const {
  std::lock_guard<std::mutex> hold(lock_);
  return playing_.Count();
}

std::vector<MixInput*> MixBoard::AttachedVoices() const {
  std::lock_guard<std::mutex> hold(lock_);
  std::vector<MixInput*> voices;
  voices.reserve(voices_.Count());
  for (ListNode* node = voices_.First(); node; node = node->next)
    voices.push_back(static_cast<MixInput*>(node->data));
  return voices;
}

std::uint32_t MixBoard::MixLocked(const MixKernel& kernel, std::uint8_t* dst,
                                  std::uint32_t request) {
  const std::uint32_t n = request & ~7u;
  if (n == 0 || !kernel.Valid()) return 0;
  std::memset(dst, 0, n);
  for (ListNode* node = playing_.First(); node;) {
    ListNode* next = node->next;  // the voice may leave the list
    auto* voice = static_cast<MixInput*>(node->data);
    bool stop = ReadVoiceSamples(voice->stream_, voice->loop_, voice->scratch_, n, kernel.bits);
    MixFade& fade = voice->fade_;
    if (fade.Active()) {
      ApplyMixFade(&fade, voice->scratch_, n, kernel.bits, kernel.channels);
      // Faded out: the voice has played its last buffer, and its fade is done with.
      if (fade.stopAtEnd && fade.framesLeft == 0 && fade.amplitude == 0) {
        stop = true;
        fade = MixFade();
      }
    }
    if (stop) StopLocked(voice);
    const MixGains& gains = voice->gains_;
    kernel.accumulate(dst, voice->scratch_, n, gains.left, gains.right, !gains.full);
    node = next;
  }
  if (kernel.finish) kernel.finish(dst, n);
  return n;
}

std::uint32_t MixBoard::Mix(const MixKernel& kernel, std::uint8_t* dst, std::uint32_t request) {
  std::lock_guard<std::mutex> hold(lock_);
  return MixLocked(kernel, dst, request);
}

std::uint32_t MixBoard::Fill(const MixKernel& kernel, std::uint8_t* dst, std::uint32_t capacity,
                             std::uint32_t bufferBytes) {
  std::lock_guard<std::mutex> hold(lock_);
  std::uint32_t filled = 0;
  for (;;) {
    const std::uint32_t done =
        MixLocked(kernel, dst + filled, std::min(capacity - filled, bufferBytes));
    if (done == 0) return filled;
    filled += done;
  }
}
