#include "sound/mix_voice.h"

#include "gfx/wrapped_memory_block.h"
#include "sound/format_chain.h"
#include "sound/memory_stream.h"
#include "sound/mix_engine.h"
#include "sound/sound.h"
#include "sound/wave_format.h"

MixVoice::MixVoice(Sound* sound, bool ownsSound, MixEngine* engine)
    : sound_(sound), engine_(engine), ownsSound_(ownsSound) {
  engine_->Lock();
  voicesNode_ = engine_->Voices().PushBack(this);
  engine_->Unlock();
  BuildStream();
}

MixVoice::~MixVoice() {
  Stop();
  engine_->Lock();
  if (voicesNode_) engine_->Voices().Remove(voicesNode_);
  engine_->Unlock();
  if (scratch_) GlobalFree(scratch_);
  delete stream_;
  if (ownsSound_) delete sound_;
}

// A streamed sound has no bytes: its stream is empty and it plays nothing.
void MixVoice::BuildStream() {
  delete stream_;
  stream_ = nullptr;
  if (!sound_ || !sound_->Format()) return;
  auto* bytes = new WrappedMemoryBlock(const_cast<std::uint8_t*>(sound_->Data()),
                                       sound_->DataSize(), false, true);
  stream_ = new FormatChain(sound_->Format(), &engine_->OutputFormat(),
                            new MemoryStream(bytes, true));
}

int MixVoice::Start(std::uint32_t startFrame, bool loop) {
  Stop();
  if (!sound_ || !sound_->Data() || !stream_ || startFrame >= sound_->FrameCount()) return 1;
  const std::uint32_t needed = engine_->BufferBytes();
  const std::uint32_t frameBytes = BytesPerFrameOfCode(OutputFormatCode(engine_->OutputFormat()));
  if (scratchBytes_ < needed || !scratch_) {
    if (scratch_) GlobalFree(scratch_);
    scratch_ = static_cast<std::uint8_t*>(GlobalAlloc(GMEM_FIXED, needed ? needed : 8));
    scratchBytes_ = scratch_ ? needed : 0;
    if (!scratch_) return 1;
  }
  engine_->Lock();
  stream_->Seek(std::int32_t(startFrame * frameBytes), SEEK_FROM_START);
  loop_ = loop;
  playingNode_ = engine_->Playing().PushBack(static_cast<MixInput*>(this));
  engine_->Unlock();
  return 0;
}

int MixVoice::Stop() {
  engine_->Lock();
  if (playingNode_) engine_->Playing().Remove(playingNode_);
  playingNode_ = nullptr;
  engine_->Unlock();
  return 0;
}

void MixVoice::StopWhileMixing() {
  if (playingNode_) engine_->Playing().Remove(playingNode_);
  playingNode_ = nullptr;
}

int MixVoice::Seek(std::uint32_t byteOffset) {
  if (!sound_ || !sound_->Data() || !stream_) return 2;
  const std::uint32_t frameBytes = BytesPerFrameOfCode(sound_->FormatCode());
  if (frameBytes == 0) return 2;
  const std::uint32_t outputBytes = BytesPerFrameOfCode(OutputFormatCode(engine_->OutputFormat()));
  engine_->Lock();
  stream_->Seek(std::int32_t(byteOffset / frameBytes * outputBytes), SEEK_FROM_START);
  engine_->Unlock();
  return 0;
}

std::uint32_t MixVoice::Tell() {
  if (!stream_) return 0;
  engine_->Lock();
  const std::int32_t at = stream_->Seek(0, SEEK_FROM_CURRENT);
  engine_->Unlock();
  return std::uint32_t(at);
}
