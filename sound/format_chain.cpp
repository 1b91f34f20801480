#include "sound/format_chain.h"

#include "sound/acm_stream.h"
#include "sound/wave_format.h"

FormatChain::FormatChain(const WAVEFORMATEX* sourceFormat, const WAVEFORMATEX* targetFormat,
                         SampleStream* source)
    : last_(source) {
  open_ = 1;
  if (SameSampleLayout(*sourceFormat, *targetFormat)) return;
  std::vector<std::uint8_t> s = CopyFormat(sourceFormat);
  auto addStage = [&](const WAVEFORMATEX* to) {
    last_ = new AcmStream(AsFormat(s), to, last_);
    s = CopyFormat(to);
    ++stages_;
  };
  WAVEFORMATEX pcm;
  if (AsFormat(s)->wFormatTag != WAVE_FORMAT_PCM) {
    MakePcmFormat(&pcm, AsFormat(s)->nSamplesPerSec, 16, AsFormat(s)->nChannels);
    addStage(&pcm);
  }
  const bool rateForCodec = targetFormat->wFormatTag != WAVE_FORMAT_PCM &&
                            targetFormat->nSamplesPerSec != AsFormat(s)->nSamplesPerSec;
  if (rateForCodec || AsFormat(s)->wBitsPerSample != 16 ||
      AsFormat(s)->nChannels != targetFormat->nChannels) {
    MakePcmFormat(&pcm, targetFormat->nSamplesPerSec, 16, targetFormat->nChannels);
    addStage(&pcm);
  }
  addStage(targetFormat);
}

FormatChain::~FormatChain() { delete last_; }

std::uint32_t FormatChain::Read(void* destination, std::uint32_t count) {
  return last_ ? last_->Read(destination, count) : 0;
}
std::int32_t FormatChain::Seek(std::int32_t offset, std::int32_t origin) {
  return last_ ? last_->Seek(offset, origin) : 0;
}
bool FormatChain::IsEof() { return !last_ || last_->IsEof(); }
std::uint32_t FormatChain::Length() { return last_ ? last_->Length() : 0; }
bool FormatChain::IsOpen() { return last_ && last_->IsOpen(); }
