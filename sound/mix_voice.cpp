#include "sound/mix_voice.h"

#include "gfx/wrapped_memory_block.h"
#include "sound/format_chain.h"
#include "sound/memory_stream.h"
#include "sound/mix_engine.h"
#include "sound/sound.h"
#include "sound/wave_format.h"

MixVoice::MixVoice(Sound* sound, bool ownsSound, MixEngine* engine)
    : sound_(sound), engine_(engine), ownsSound_(ownsSound) {
  attached_ = engine_->AttachVoice(this) == MIX_VOICE_OK;
  BuildStream();
}

MixVoice::~MixVoice() {
  engine_->DetachVoice(this);
  if (scratch_) GlobalFree(scratch_);
  delete stream_;
  if (ownsSound_) delete sound_;
}

// A streamed sound has no bytes: its stream is empty and it plays nothing.
void MixVoice::BuildStream() {
  SampleStream* stream = nullptr;
  if (sound_ && sound_->Format()) {
    auto* bytes = new WrappedMemoryBlock(const_cast<std::uint8_t*>(sound_->Data()),
                                         sound_->DataSize(), false, true);
    stream = new FormatChain(sound_->Format(), &engine_->OutputFormat(),
                             new MemoryStream(bytes, true));
  }
  // The board stops reading the old stream before it goes.
  delete engine_->SetVoiceStream(this, stream);
  stream_ = stream;
}

MixVoiceStatus MixVoice::Start(std::uint32_t startFrame, bool loop) {
  Stop();
  if (!sound_ || !sound_->Data() || !stream_ || startFrame >= sound_->FrameCount())
    return MIX_VOICE_CANNOT_START;
  const std::uint32_t needed = engine_->BufferBytes();
  const std::uint32_t frameBytes = BytesPerFrameOfCode(OutputFormatCode(engine_->OutputFormat()));
  if (scratchBytes_ < needed || !scratch_) {
    // Not playing (stopped above): the board no longer reads the old scratch.
    if (scratch_) GlobalFree(scratch_);
    scratch_ = static_cast<std::uint8_t*>(GlobalAlloc(GMEM_FIXED, needed ? needed : 8));
    scratchBytes_ = scratch_ ? needed : 0;
    if (!scratch_) return MIX_VOICE_NO_MEMORY;
  }
  return engine_->StartVoice(this, std::int32_t(startFrame * frameBytes), loop, scratch_);
}

void MixVoice::Stop() { engine_->StopVoice(this); }

bool MixVoice::IsPlaying() const { return engine_->IsVoicePlaying(this); }

MixVoiceStatus MixVoice::Seek(std::uint32_t byteOffset) {
  if (!sound_ || !sound_->Data() || !stream_) return MIX_VOICE_CANNOT_SEEK;
  const std::uint32_t frameBytes = BytesPerFrameOfCode(sound_->FormatCode());
  if (frameBytes == 0) return MIX_VOICE_CANNOT_SEEK;
  const std::uint32_t outputBytes = BytesPerFrameOfCode(OutputFormatCode(engine_->OutputFormat()));
  // The stream clamps the position to its length: the new position needs no check.
  (void)engine_->SeekVoice(this, std::int32_t(byteOffset / frameBytes * outputBytes));
  return MIX_VOICE_OK;
}

std::uint32_t MixVoice::Tell() const { return std::uint32_t(engine_->TellVoice(this)); }

void MixVoice::SetVolume(std::int32_t volume) { engine_->SetVoiceVolume(this, volume); }
void MixVoice::SetPan(std::int32_t pan) { engine_->SetVoicePan(this, pan); }
void MixVoice::SetLevels(std::int32_t volume, std::int32_t pan) {
  engine_->SetVoiceLevels(this, volume, pan);
}
std::int32_t MixVoice::Volume() const { return engine_->VoiceVolume(this); }
std::int32_t MixVoice::Pan() const { return engine_->VoicePan(this); }
